// Rectangles, coordinates, lookup, z-order and composition, kept DCs.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "window_recorder.h"

namespace {

TEST(WindowGeometry, ClientRectLeavesOutTheNonClientParts) {
    struct Case {
        DWORD style, exStyle;
        LONG right, bottom;
    };
    const Case cases[] = {
        {0, 0, 200, 100},
        {WS_VSCROLL, 0, 187, 100},                 // SM_CXVSCROLL = 13 on the right
        {WS_BORDER, 0, 198, 98},                   // a pixel each side
        {WS_BORDER | WS_VSCROLL, 0, 185, 98},
        {0, WS_EX_CLIENTEDGE, 196, 96},            // SM_CXEDGE = 2 each side
    };
    RecorderStart({});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.exStyle);
        HWND h = MakeWindow(u"A", c.style, 10, 20, 200, 100, nullptr, 0, c.exStyle);
        RECT rc;
        ASSERT_TRUE(GetClientRect(h, &rc));
        EXPECT_EQ(rc.left, 0);
        EXPECT_EQ(rc.top, 0);
        EXPECT_EQ(rc.right, c.right);
        EXPECT_EQ(rc.bottom, c.bottom);
        DestroyWindow(h);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 13);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 640);
    PlatformShutdown();
}

TEST(WindowGeometry, DefaultPlacementFillsTheWorkArea) {
    RecorderStart({});
    HWND h = MakeWindow(u"A", WS_VSCROLL, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, TASKBAR_HEIGHT);
    EXPECT_EQ(r.right, 480);
    EXPECT_EQ(r.bottom, 640);
    PlatformShutdown();
}

TEST(WindowGeometry, CoordinatesNestThroughParentsAndBorders) {
    RecorderStart({});
    HWND top = MakeWindow(u"T", WS_VISIBLE, 30, 40, 300, 300);
    HWND mid = MakeWindow(u"M", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, 100, 100, top, 1);
    HWND leaf = MakeWindow(u"L", WS_CHILD | WS_VISIBLE, 5, 6, 10, 10, mid, 2);
    RECT r;
    GetWindowRect(leaf, &r);
    EXPECT_EQ(r.left, 30 + 10 + 1 + 5);
    EXPECT_EQ(r.top, 40 + 20 + 1 + 6);
    POINT p{0, 0};
    ClientToScreen(leaf, &p);
    EXPECT_EQ(p.x, 46);
    ScreenToClient(top, &p);
    EXPECT_EQ(p.x, 16);
    EXPECT_EQ(p.y, 27);
    POINT q{1, 1};
    MapWindowPoints(leaf, top, &q, 1);
    EXPECT_EQ(q.x, 17);
    EXPECT_EQ(WindowFromPoint(POINT{47, 68}), leaf);
    EXPECT_EQ(WindowFromPoint(POINT{31, 41}), top);
    EXPECT_EQ(WindowFromPoint(POINT{0, 0}), nullptr);
    EXPECT_EQ(GetParent(leaf), mid);
    EXPECT_EQ(GetDlgItem(mid, 2), leaf);
    EXPECT_EQ(GetDlgCtrlID(leaf), 2);
    EXPECT_EQ(GetWindow(top, GW_CHILD), mid);
    PlatformShutdown();
}

TEST(WindowGeometry, FindWindowTitleRules) {
    RecorderStart({});
    HWND named = MakeWindow(u"Velmora", 0, 0, 0, 10, 10);
    HWND empty = MakeWindow(u"", 0, 0, 0, 10, 10);  // topmost now
    HWND parent = MakeWindow(u"P", 0, 0, 0, 10, 10);
    MakeWindow(u"Kid", WS_CHILD, 0, 0, 5, 5, parent, 1);
    struct Case {
        const char16_t* cls;
        const char16_t* title;
        HWND expected;
    };
    const Case cases[] = {
        {u"Rec", u"Velmora", named},
        {u"REC", u"Velmora", named},  // class names ignore case
        {u"Rec", u"velmora", nullptr},  // titles do not
        {u"Rec", u"", empty},           // an empty title matches only an empty title
        {u"Rec", nullptr, parent},      // null matches any: the topmost
        {nullptr, u"Velmora", named},
        {u"Rec", u"Kid", nullptr},      // top-level windows only
        {u"Other", nullptr, nullptr},
    };
    for (const Case& c : cases) EXPECT_EQ(FindWindowW(c.cls, c.title), c.expected);
    PlatformShutdown();
}

TEST(WindowGeometry, SetWindowPosReportsFlagsAndClientSizes) {
    static WINDOWPOS seen;
    static LPARAM sizeParam, moveParam;
    static int sizes, moves;
    RecorderStart({WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE});
    Rec().answer = [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        if (msg == WM_WINDOWPOSCHANGED) seen = *(WINDOWPOS*)lp;
        if (msg == WM_SIZE) sizeParam = lp, ++sizes;
        if (msg == WM_MOVE) moveParam = lp, ++moves;
        return false;
    };
    HWND h = MakeWindow(u"A", WS_VISIBLE | WS_VSCROLL, 0, 26, 200, 100);
    sizes = moves = 0;
    Rec().log.clear();
    MoveWindow(h, 5, 0, 300, 200, FALSE);
    std::vector<Recorded> expected = {{"A", WM_WINDOWPOSCHANGED}, {"A", WM_MOVE}, {"A", WM_SIZE}};
    EXPECT_EQ(Rec().log, expected);
    EXPECT_EQ(seen.flags, (UINT)(SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW));
    EXPECT_EQ(seen.x, 5);
    EXPECT_EQ(seen.cy, 200);
    EXPECT_EQ(LOWORD(sizeParam), 287);
    EXPECT_EQ(HIWORD(sizeParam), 200);
    EXPECT_EQ(LOWORD(moveParam), 5);
    EXPECT_EQ(HIWORD(moveParam), 0);
    EXPECT_EQ(WindowLookup(h)->surface.width, 300);
    // Moving only: no WM_SIZE; the same place: neither.
    SetWindowPos(h, nullptr, 7, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(sizes, 1);
    EXPECT_EQ(moves, 2);
    SetWindowPos(h, nullptr, 7, 0, 300, 200, SWP_NOZORDER);
    EXPECT_EQ(sizes, 1);
    EXPECT_EQ(moves, 2);
    PlatformShutdown();
}

TEST(WindowGeometry, AKeptDcFollowsAMovedAndResizedChild) {
    RecorderStart({});
    HWND top = MakeWindow(u"T", WS_VISIBLE, 0, 0, 200, 200);
    HWND child = MakeWindow(u"C", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, 1);
    DrainQueue();
    HDC dc = GetDC(child);
    MoveWindow(child, 100, 50, 20, 20, TRUE);
    RECT big{0, 0, 100, 100};
    FillRect(dc, &big, GetStockObject(BLACK_BRUSH));
    const Surface& s = WindowLookup(top)->surface;
    auto px = [&](int x, int y) { return s.pixels[y * s.width + x]; };
    EXPECT_EQ(px(100, 50), 0x000000u);
    EXPECT_EQ(px(119, 69), 0x000000u);
    EXPECT_EQ(px(120, 69), 0xFFFFFFu);  // clipped to the child
    EXPECT_EQ(px(119, 70), 0xFFFFFFu);
    EXPECT_EQ(px(15, 15), 0xFFFFFFu);   // not the old place
    // Hidden: it draws nothing; destroyed: the DC is harmless.
    ShowWindow(child, SW_HIDE);
    FillRect(dc, &big, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(px(100, 50), 0x000000u);
    DestroyWindow(child);
    EXPECT_EQ(FillRect(dc, &big, GetStockObject(WHITE_BRUSH)), 0);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    PlatformShutdown();
}

TEST(WindowGeometry, TheScreenComposesVisibleWindowsInZOrder) {
    RecorderStart({});
    HWND below = MakeWindow(u"B", WS_VISIBLE, 0, 0, 100, 100);
    HWND above = MakeWindow(u"A", WS_VISIBLE, 50, 50, 100, 100);
    HDC db = GetDC(below), da = GetDC(above);
    RECT all{0, 0, 100, 100};
    FillRect(db, &all, GetStockObject(BLACK_BRUSH));
    FillRect(da, &all, GetStockObject(GRAY_BRUSH));
    Surface screen{};
    ASSERT_TRUE(ScreenCompose(&screen));
    EXPECT_EQ(screen.width, 480);
    uint32_t grey = screen.pixels[60 * 480 + 60];
    EXPECT_NE(grey, 0x000000u);
    EXPECT_EQ(screen.pixels[10 * 480 + 10], 0x000000u);
    // Hiding the upper window uncovers the lower one without a repaint.
    ShowWindow(above, SW_HIDE);
    ScreenCompose(&screen);
    EXPECT_EQ(screen.pixels[60 * 480 + 60], 0x000000u);
    ShowWindow(above, SW_SHOW);
    SetForegroundWindow(below);
    ScreenCompose(&screen);
    EXPECT_EQ(screen.pixels[60 * 480 + 60], 0x000000u);
    EXPECT_EQ(screen.pixels[120 * 480 + 120], grey);
    ReleaseDC(below, db);
    ReleaseDC(above, da);
    SurfaceDestroy(&screen);
    PlatformShutdown();
}

TEST(WindowGeometry, OwnedWindowsStayAboveTheirOwner) {
    RecorderStart({});
    HWND owner = MakeWindow(u"O", WS_VISIBLE, 0, 0, 100, 100);
    HWND dialog = MakeWindow(u"D", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, owner);
    HWND other = MakeWindow(u"X", WS_VISIBLE, 0, 0, 50, 50);
    EXPECT_EQ(GetParent(dialog), owner);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    SetForegroundWindow(owner);
    EXPECT_EQ(GetWindow(other, GW_HWNDFIRST), dialog);
    EXPECT_EQ(GetWindow(dialog, GW_HWNDNEXT), owner);
    EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
    // Destroying the active dialog hands activation back to its owner.
    SetActiveWindow(dialog);
    DestroyWindow(dialog);
    EXPECT_EQ(GetActiveWindow(), owner);
    PlatformShutdown();
}

}  // namespace
