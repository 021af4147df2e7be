// The main window driven through its messages: where the view goes, keys, taps, the
// scroll bar, resizing and the ways the program ends.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tests/app/frame_window_fixture.h"
#include "view/text_view.h"

namespace {

using MainWindow = FrameWindowTest;

// Lesson 1 is long enough to page both ways from here.
constexpr int kFrom = 50;
constexpr int kBar = 26;

uint32_t WithField(uint32_t mask, uint32_t value) { return (kDefaultFlags & ~mask) | value; }

void ClearSettings() { RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey); }

}  // namespace

TEST_F(MainWindow, FirstStartPutsLessonOneAboveTheMenuBar) {
    ASSERT_NE(Start(), nullptr);
    ASSERT_NE(g_app.view, nullptr);
    EXPECT_EQ(g_app.lesson, 1);
    EXPECT_EQ(g_app.menuBarMode, 1);
    EXPECT_EQ(g_app.barHeight, kBar);
    EXPECT_EQ(Boxes(), 0);
    RECT client;
    GetClientRect(g_app.mainWindow, &client);
    const TextView* v = g_app.view;
    EXPECT_EQ(v->x, 0);
    EXPECT_EQ(v->y, 0);
    EXPECT_EQ(v->width, client.right);
    EXPECT_EQ(v->height, client.bottom - kBar);
    EXPECT_NE(GetWindowLongW(g_app.mainWindow, GWL_STYLE) & WS_VSCROLL, 0);
    // The menu bar leaves the scroll bar's column free.
    RECT bar, window;
    GetWindowRect(g_app.barWindow, &bar);
    GetWindowRect(g_app.mainWindow, &window);
    EXPECT_EQ(bar.right, window.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(bar.bottom - bar.top, kBar);
    int max, pos;
    ScrollBar(&max, &pos);
    EXPECT_GT(v->maxTopLine, 2 * v->linesShown);
    EXPECT_EQ(max, v->maxTopLine);
    EXPECT_EQ(pos, 0);
}

TEST_F(MainWindow, ScrollBarExistsWhenEitherOfItsFlagBitsIsSet) {
    struct Case {
        uint32_t bits;
        bool scrollBar;
    } cases[] = {{0x00, false}, {0x40, true}, {0x80, true}, {0xC0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        StoreNumber(u"Flags", WithField(kFlagScrollBar, c.bits));
        Start();
        ASSERT_NE(g_app.view, nullptr);
        EXPECT_EQ((GetWindowLongW(g_app.mainWindow, GWL_STYLE) & WS_VSCROLL) != 0, c.scrollBar);
        RECT client;
        GetClientRect(g_app.mainWindow, &client);
        EXPECT_EQ(client.right, c.scrollBar ? 480 - GetSystemMetrics(SM_CXVSCROLL) : 480);
        EXPECT_EQ(g_app.view->width, client.right);
        // Paging still works without a bar to keep up to date.
        ShowAt(0);
        Send(WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(Top(), 1);
        Stop();
        EXPECT_EQ(StoredNumber(u"Flags"), WithField(kFlagScrollBar, c.bits));
    }
}

TEST_F(MainWindow, KeysMoveTheTopLine) {
    Start();
    ASSERT_NE(g_app.view, nullptr);
    const int max = g_app.view->maxTopLine;
    struct Case {
        const char* what;
        WPARAM key;
        int from;
        int (*expected)(int shown, int max);
    } cases[] = {
        {"page down", VK_NEXT, kFrom, [](int s, int) { return kFrom + s - 1; }},
        {"page up", VK_PRIOR, kFrom, [](int s, int) { return kFrom - (s - 1); }},
        {"page up near the top", VK_PRIOR, 3, [](int, int) { return 0; }},
        {"home", VK_HOME, kFrom, [](int, int) { return 0; }},
        {"end", VK_END, kFrom, [](int, int m) { return m; }},
        {"end from the top", VK_END, 0, [](int, int m) { return m; }},
        {"up", VK_UP, kFrom, [](int, int) { return kFrom - 1; }},
        {"down", VK_DOWN, kFrom, [](int, int) { return kFrom + 1; }},
        {"up at the top", VK_UP, 0, [](int, int) { return 0; }},
        {"down at the end", VK_DOWN, max, [](int, int m) { return m; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowAt(c.from);
        int shown = g_app.view->linesShown;
        ASSERT_GT(shown, 2);
        EXPECT_EQ(Send(WM_KEYDOWN, c.key, 0), 0);
        EXPECT_EQ(Top(), c.expected(shown, max));
        int barMax, barPos;
        ScrollBar(&barMax, &barPos);
        EXPECT_EQ(barMax, max);
        EXPECT_EQ(barPos, Top());
    }
    EXPECT_EQ(g_app.lesson, 1);
}

TEST_F(MainWindow, KeyPagingSizeComesFromItsFlagsField) {
    // Field values 2 and 4 page by half; the scroll bar's page ignores the field.
    for (uint32_t field = 0; field < 8; ++field) {
        SCOPED_TRACE(field);
        StoreNumber(u"Flags", WithField(kFlagKeyPageField, field << 20));
        Start();
        ASSERT_NE(g_app.view, nullptr);
        ShowAt(kFrom);
        int shown = g_app.view->linesShown;
        int size = (field == 2 || field == 4) ? shown / 2 : shown - 1;
        Send(WM_KEYDOWN, VK_NEXT, 0);
        EXPECT_EQ(Top(), kFrom + size);
        ShowAt(kFrom);
        Send(WM_KEYDOWN, VK_PRIOR, 0);
        EXPECT_EQ(Top(), kFrom - size);
        ShowAt(kFrom);
        Send(WM_VSCROLL, SB_PAGEDOWN, 0);
        EXPECT_EQ(Top(), kFrom + shown - 1);
        Stop();
    }
}

TEST_F(MainWindow, KeysThatCannotMoveDoNotRepaint) {
    Start();
    ASSERT_NE(g_app.view, nullptr);
    const int max = g_app.view->maxTopLine;
    struct Case {
        const char* what;
        WPARAM key;
        int from;
        bool paints;
    } cases[] = {
        {"home at the top", VK_HOME, 0, false},     {"end at the max top line", VK_END, max, false},
        {"end past it", VK_END, max + 5, false},    {"page down at the end", VK_NEXT, max, false},
        {"down moves and paints", VK_DOWN, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowAt(c.from);
        ASSERT_EQ(Top(), c.from);
        ASSERT_TRUE(GdiTraceBegin(g_app.view->dc));
        Send(WM_KEYDOWN, c.key, 0);
        std::string drawn = GdiTraceEnd(g_app.view->dc);
        EXPECT_EQ(!drawn.empty(), c.paints) << drawn.substr(0, 200);
        EXPECT_EQ(Top() != c.from, c.paints);
    }
}

TEST_F(MainWindow, KeysOutsideTheTableAreNotHandled) {
    Start();
    ASSERT_NE(g_app.view, nullptr);
    ASSERT_EQ(g_app.searchString[0], 0);
    // Return searches again only with a search string; the shortcut texts of the menus
    // (Ctrl+D, F3) bind nothing.
    struct Case {
        WPARAM key;
        LRESULT result;
    } cases[] = {{VK_RETURN, 0}, {'A', 1}, {'D', 1}, {VK_F3, 1}, {VK_ESCAPE, 1}, {VK_TAB, 1}, {VK_SPACE, 1}, {VK_DELETE, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ShowAt(kFrom);
        EXPECT_EQ(Send(WM_KEYDOWN, c.key, 0), c.result);
        EXPECT_EQ(Top(), kFrom);
        EXPECT_EQ(g_app.lesson, 1);
        EXPECT_EQ(Boxes(), 0);
        EXPECT_TRUE(IsWindow(g_app.mainWindow));
    }
}

namespace {

// How far a tap should move the view: back or forward by a page less one line or by
// half the lines shown, or not at all.
enum Move { kNone, kBackPage, kForwardPage, kBackHalf, kForwardHalf };

int Expected(Move move, int shown) {
    switch (move) {
    case kBackPage: return kFrom - (shown - 1);
    case kForwardPage: return kFrom + shown - 1;
    case kBackHalf: return kFrom - shown / 2;
    case kForwardHalf: return kFrom + shown / 2;
    default: return kFrom;
    }
}

}  // namespace

TEST_F(MainWindow, TapsPageByTheUpperAndLowerHalf) {
    Start();
    ASSERT_NE(g_app.view, nullptr);
    const TextView v = *g_app.view;
    const int midX = v.x + v.width / 2, midY = v.y + v.height / 2;
    struct Case {
        const char* what;
        int x, y;
        Move move;
    } cases[] = {
        {"upper half", midX, v.y + 10, kBackPage},
        {"lower half", midX, v.y + v.height - 10, kForwardPage},
        {"the middle row", midX, midY, kForwardPage},
        {"just above the middle", midX, midY - 1, kBackPage},
        {"top left corner", v.x, v.y, kBackPage},
        {"bottom right corner", v.x + v.width, v.y + v.height, kForwardPage},
        {"below the view", midX, v.y + v.height + 1, kNone},
        {"right of the view", v.x + v.width + 1, midY, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowAt(kFrom);
        int shown = g_app.view->linesShown;
        EXPECT_EQ(Send(WM_LBUTTONDOWN, 0, MAKELPARAM(c.x, c.y)), 0);
        EXPECT_EQ(Top(), Expected(c.move, shown));
        int max, pos;
        ScrollBar(&max, &pos);
        EXPECT_EQ(pos, Top());
    }
}

TEST_F(MainWindow, TapPagingFollowsItsFlags) {
    const uint32_t noPaging = kDefaultFlags & ~kFlagTapPaging;
    const uint32_t leftRight = kDefaultFlags & ~kFlagTapUpperLower;
    enum Where { kUpper, kLower, kLeft, kRight, kCentre };
    struct Case {
        const char* what;
        uint32_t flags;
        Where where;
        Move move;
    } cases[] = {
        {"paging off", noPaging, kLower, kNone},
        {"paging off, upper half", noPaging, kUpper, kNone},
        {"left half", leftRight, kLeft, kBackPage},
        {"right half", leftRight, kRight, kForwardPage},
        {"middle column", leftRight, kCentre, kForwardPage},
        {"left/right ignores the rows", leftRight, kUpper, kForwardPage},
        {"tap field 2", WithField(kFlagTapPageField, 0x2000000), kLower, kForwardHalf},
        {"tap field 4", WithField(kFlagTapPageField, 0x4000000), kUpper, kBackHalf},
        {"tap field 7", WithField(kFlagTapPageField, 0x7000000), kLower, kForwardPage},
        {"tap field 0", WithField(kFlagTapPageField, 0), kLower, kForwardPage},
        {"the key field leaves taps alone", WithField(kFlagKeyPageField, 0x200000), kLower, kForwardPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreNumber(u"Flags", c.flags);
        Start();
        ASSERT_NE(g_app.view, nullptr);
        const TextView& v = *g_app.view;
        int x = v.x + v.width / 2, y = v.y + v.height / 2;
        switch (c.where) {
        case kUpper: x = v.x + v.width - 5, y = v.y + 5; break;
        case kLower: y = v.y + v.height - 5; break;
        case kLeft: x = v.x + 5, y = v.y + v.height - 5; break;
        case kRight: x = v.x + v.width - 5, y = v.y + 5; break;
        case kCentre: y = v.y + 5; break;
        }
        ShowAt(kFrom);
        int shown = v.linesShown;
        Send(WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
        EXPECT_EQ(Top(), Expected(c.move, shown));
        Stop();
    }
}

TEST_F(MainWindow, GutterWidensTheTapAreaBesideAndAboveTheView) {
    BootValues boot;
    boot.gutter = 10;
    Start(boot);
    ASSERT_NE(g_app.view, nullptr);
    RECT client;
    GetClientRect(g_app.mainWindow, &client);
    const TextView v = *g_app.view;
    EXPECT_EQ(v.x, 10);
    EXPECT_EQ(v.y, 10);
    EXPECT_EQ(v.width, client.right - 20);
    EXPECT_EQ(v.height, client.bottom - kBar - 20);
    const int right = v.x + v.width, bottom = v.y + v.height, midY = v.y + v.height / 2;
    struct Case {
        const char* what;
        int x, y;
        bool pages;
    } cases[] = {
        {"10 px left", v.x - 10, midY, true},        {"11 px left", v.x - 11, midY, false},
        {"10 px right", right + 10, midY, true},     {"11 px right", right + 11, midY, false},
        {"10 px above", v.x + 5, v.y - 10, true},    {"11 px above", v.x + 5, v.y - 11, false},
        {"on the bottom edge", v.x + 5, bottom, true}, {"1 px below", v.x + 5, bottom + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowAt(kFrom);
        // Called directly: a tap message cannot carry a point left of or above the
        // client area.
        TapPage(c.x, c.y);
        EXPECT_EQ(Top() != kFrom, c.pages);
    }
    // Through the message: 10 px right of the view.
    ShowAt(kFrom);
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(right + 10, midY));
    EXPECT_NE(Top(), kFrom);
}

TEST_F(MainWindow, GutterOfHalfTheSpanOrMoreKeepsTheFullSpan) {
    // The client area less the menu bar is 467 x 588.
    struct Case {
        int gutter;
        int x, y, width, height;
    } cases[] = {
        {233, 233, 233, 1, 122},
        {234, 0, 234, 467, 120},
        {293, 0, 293, 467, 2},
        {294, 0, 0, 467, 588},
        {400, 0, 0, 467, 588},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gutter);
        BootValues boot;
        boot.gutter = c.gutter;
        Start(boot);
        ASSERT_NE(g_app.view, nullptr);
        RECT client;
        GetClientRect(g_app.mainWindow, &client);
        ASSERT_EQ(client.right, 467);
        ASSERT_EQ(client.bottom - kBar, 588);
        EXPECT_EQ(g_app.view->x, c.x);
        EXPECT_EQ(g_app.view->y, c.y);
        EXPECT_EQ(g_app.view->width, c.width);
        EXPECT_EQ(g_app.view->height, c.height);
        Stop();
    }
}

TEST_F(MainWindow, ResizeLaysTheLessonOutAgainAtTheSameOrigin) {
    BootValues boot;
    boot.gutter = 10;
    Start(boot);
    ASSERT_NE(g_app.view, nullptr);
    const int wideMax = g_app.view->maxTopLine;
    MoveWindow(g_app.mainWindow, 0, 26, 300, 500, TRUE);
    Pump();
    RECT client;
    GetClientRect(g_app.mainWindow, &client);
    ASSERT_EQ(client.bottom, 500);
    EXPECT_EQ(g_app.view->x, 10);
    EXPECT_EQ(g_app.view->y, 10);
    EXPECT_EQ(g_app.view->width, client.right - 20);
    EXPECT_EQ(g_app.view->height, 500 - 20 - kBar);
    EXPECT_GT(g_app.view->maxTopLine, wideMax);
    int max, pos;
    ScrollBar(&max, &pos);
    EXPECT_EQ(max, g_app.view->maxTopLine);

    // No room left below the bar: the view keeps its size.
    const int width = g_app.view->width, height = g_app.view->height;
    MoveWindow(g_app.mainWindow, 0, 26, 300, kBar, TRUE);
    Pump();
    EXPECT_EQ(g_app.view->width, width);
    EXPECT_EQ(g_app.view->height, height);
    EXPECT_TRUE(IsWindow(g_app.mainWindow));
}

TEST_F(MainWindow, ScrollBarRequests) {
    Start();
    ASSERT_NE(g_app.view, nullptr);
    const int max = g_app.view->maxTopLine;
    struct Case {
        const char* what;
        WORD request;
        WORD position;
        int (*expected)(int shown, int max);
    } cases[] = {
        {"line up", SB_LINEUP, 0, [](int, int) { return kFrom - 1; }},
        {"line down", SB_LINEDOWN, 0, [](int, int) { return kFrom + 1; }},
        {"page up", SB_PAGEUP, 0, [](int s, int) { return kFrom - (s - 1); }},
        {"page down", SB_PAGEDOWN, 0, [](int s, int) { return kFrom + s - 1; }},
        {"thumb position", SB_THUMBPOSITION, 80, [](int, int) { return 80; }},
        {"thumb track", SB_THUMBTRACK, 20, [](int, int) { return 20; }},
        {"a negative position is before the top", SB_THUMBPOSITION, 0xFFF6, [](int, int) { return 0; }},
        {"thumb past the end", SB_THUMBTRACK, 30000, [](int, int m) { return m; }},
        {"top", SB_TOP, 0, [](int, int) { return 0; }},
        {"bottom moves one row", SB_BOTTOM, 0, [](int, int) { return kFrom + 1; }},
        {"end scroll", SB_ENDSCROLL, 0, [](int, int) { return kFrom; }},
        {"unknown request", 9, 0, [](int, int) { return kFrom; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowAt(kFrom);
        int shown = g_app.view->linesShown;
        EXPECT_EQ(Send(WM_VSCROLL, MAKEWPARAM(c.request, c.position), 0), 1);
        EXPECT_EQ(Top(), c.expected(shown, max));
        int barMax, barPos;
        ScrollBar(&barMax, &barPos);
        EXPECT_EQ(barMax, max);
        EXPECT_EQ(barPos, Top());
    }
}

TEST_F(MainWindow, ExitsSaveTheSettingsAndQuitWithZero) {
    WINDOWPOS ending = {};
    ending.flags = SWP_NOACTIVATE | 0x10000;
    WINDOWPOS endingHigh = {};
    endingHigh.flags = SWP_NOACTIVATE | 0x80000000u;
    struct Case {
        const char* what;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {"Exit", WM_COMMAND, 40005, 0},
        {"hibernate", WM_HIBERNATE, 0, 0},
        {"close", WM_CLOSE, 0, 0},
        {"position change, bit 16", WM_WINDOWPOSCHANGED, 0, (LPARAM)&ending},
        {"position change, bit 31", WM_WINDOWPOSCHANGED, 0, (LPARAM)&endingHigh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearSettings();
        Start();
        ASSERT_NE(g_app.view, nullptr);
        ShowAt(7);
        EXPECT_EQ(StoredNumber(u"Flags"), -1);
        HWND window = g_app.mainWindow;
        EXPECT_EQ(Send(c.msg, c.wParam, c.lParam), 0);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(quitCode_, 0);
        EXPECT_TRUE(g_settingsSaved);
        EXPECT_EQ(g_app.view, nullptr);
        EXPECT_EQ(StoredNumber(u"Flags"), kDefaultFlags);
        EXPECT_EQ(StoredNumber(u"Lesson"), 1);
        EXPECT_EQ(StoredNumber(u"LastPosition"), 7);
        EXPECT_EQ(StoredNumber(u"FontAsciiBase"), 97);
        DWORD type;
        std::string bytes;
        EXPECT_TRUE(Stored(u"Bookmarks", &type, &bytes));
        EXPECT_FALSE(Stored(u"FontName", &type, &bytes));
        EXPECT_FALSE(Stored(u"FontSize", &type, &bytes));
        EXPECT_FALSE(Stored(u"SearchString", &type, &bytes));
    }
}

TEST_F(MainWindow, OtherPositionChangesKeepTheProgramRunning) {
    Start();
    for (UINT flags : {0u, (UINT)SWP_NOACTIVATE, 0x10000u, 0xFFFF0000u, 0xFFEFu}) {
        SCOPED_TRACE(flags);
        WINDOWPOS pos = {};
        pos.hwnd = g_app.mainWindow;
        pos.flags = flags;
        EXPECT_EQ(Send(WM_WINDOWPOSCHANGED, 0, (LPARAM)&pos), 0);
        EXPECT_TRUE(IsWindow(g_app.mainWindow));
        EXPECT_EQ(quitCode_, -1);
        EXPECT_FALSE(g_settingsSaved);
        EXPECT_EQ(StoredNumber(u"Flags"), -1);
    }
}
