// The window scroll bar: presses on its parts become WM_VSCROLL requests, and its
// range and position move the thumb.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "platform/scrollbar.h"
#include "platform/shell_hooks.h"
#include "shell_test_fixture.h"

namespace {

// A 200 x 300 window at 0,26: the bar is x 187..199, y 26..325; arrows 13 high, the
// track 274 pixels, the default thumb 13.
class ScrollBar : public ::testing::Test {
protected:
    HWND hwnd = nullptr;
    void SetUp() override {
        ShellTestStart();
        hwnd = MakeOwner(WS_VISIBLE | WS_VSCROLL, 0, 26, 200, 300);
        Drain();
    }
    void TearDown() override { PlatformShutdown(); }
    void Set(int min, int max, int pos) {
        SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS, min, max, 0, pos, 0};
        SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
    }
    std::vector<Received> Press(int y, int releaseY = -1) {
        Owner().got.clear();
        ShellInputMouse(WM_LBUTTONDOWN, 193, y);
        if (releaseY >= 0) ShellInputMouse(WM_MOUSEMOVE, 193, releaseY);
        ShellInputMouse(WM_LBUTTONUP, 193, releaseY >= 0 ? releaseY : y);
        Drain();
        return Owner().got;
    }
};

Received Vs(int request, int pos = 0) { return Received{WM_VSCROLL, MAKEWPARAM(request, pos), 0}; }

TEST_F(ScrollBar, PressesBecomeRequests) {
    struct Case {
        int pos;  // of 0..100
        int y;
        std::vector<Received> expected;
    };
    const Case cases[] = {
        {0, 26 + 5, {Vs(SB_LINEUP), Vs(SB_ENDSCROLL)}},
        {0, 325 - 5, {Vs(SB_LINEDOWN), Vs(SB_ENDSCROLL)}},
        {0, 26 + 13 + 40, {Vs(SB_PAGEDOWN), Vs(SB_ENDSCROLL)}},
        {0, 26 + 13 + 5, {Vs(SB_THUMBPOSITION, 0), Vs(SB_ENDSCROLL)}},  // on the thumb, not moved
        {100, 26 + 13 + 40, {Vs(SB_PAGEUP), Vs(SB_ENDSCROLL)}},
        {100, 325 - 13 - 5, {Vs(SB_THUMBPOSITION, 100), Vs(SB_ENDSCROLL)}},  // the thumb is at the bottom
        {50, 26 + 13 + 100, {Vs(SB_PAGEUP), Vs(SB_ENDSCROLL)}},
        {50, 26 + 13 + 200, {Vs(SB_PAGEDOWN), Vs(SB_ENDSCROLL)}},
    };
    for (const Case& c : cases) {
        Set(0, 100, c.pos);
        EXPECT_EQ(Press(c.y), c.expected) << c.pos << " at " << c.y;
    }
    // Left of the bar is the client area: not the scroll bar's.
    EXPECT_FALSE(ShellInputMouse(WM_LBUTTONDOWN, 150, 100));
}

TEST_F(ScrollBar, DraggingTheThumbTracksThenSetsThePosition) {
    Set(0, 100, 0);
    int thumb = 26 + 13 + 6;
    // Far past the end: the last position.
    std::vector<Received> expected = {Vs(SB_THUMBTRACK, 100), Vs(SB_THUMBPOSITION, 100), Vs(SB_ENDSCROLL)};
    EXPECT_EQ(Press(thumb, 600), expected);
    // Half-way down the room the thumb has (274 - 13 = 261): about position 50.
    Owner().got.clear();
    ShellInputMouse(WM_LBUTTONDOWN, 193, thumb);
    ShellInputMouse(WM_MOUSEMOVE, 193, thumb + 130);
    SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(hwnd, SB_VERT, &si);
    EXPECT_EQ(si.nTrackPos, 50);
    EXPECT_EQ(si.nPos, 0);  // the window sets the position itself
    ShellInputMouse(WM_LBUTTONUP, 193, thumb + 130);
    Drain();
    expected = {Vs(SB_THUMBTRACK, 50), Vs(SB_THUMBPOSITION, 50), Vs(SB_ENDSCROLL)};
    EXPECT_EQ(Owner().got, expected);
}

TEST_F(ScrollBar, RangeAndPositionMoveTheThumbAndShowInTheDump) {
    Set(0, 100, 50);
    HDC dc = GetWindowDC(hwnd);
    // 50 of 0..100 puts the thumb's top at 13 + 261 / 2 = 143 in the bar.
    struct Case {
        int y;
        COLORREF colour;
    };
    const Case cases[] = {{142, 0xE0E0E0}, {143, 0xFFFFFF}, {150, 0xC0C0C0}, {155, 0x808080}, {156, 0xE0E0E0}};
    for (const Case& c : cases) EXPECT_EQ(GetPixel(dc, 193, c.y), c.colour) << c.y;
    ReleaseDC(hwnd, dc);
    std::string dump = DumpWindowTree();
    EXPECT_NE(dump.find("  scrollbar \"\" 187,26,13,300 min=0 max=100 pos=50\n"), std::string::npos) << dump;
    // Positions are kept in the range; an empty range has no thumb to press.
    SCROLLINFO si{sizeof si, SIF_POS, 0, 0, 0, 400, 0};
    EXPECT_EQ(SetScrollInfo(hwnd, SB_VERT, &si, TRUE), 100);
    Set(0, 0, 0);
    EXPECT_EQ(Press(26 + 100), std::vector<Received>{Vs(SB_ENDSCROLL)});
}

TEST_F(ScrollBar, PressesOnADisabledWindowAreDropped) {
    Set(0, 100, 0);
    EnableWindow(hwnd, FALSE);
    EXPECT_TRUE(Press(26 + 5).empty());
}

}  // namespace
