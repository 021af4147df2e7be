// Message sequences of creation, destruction, sending, posting and painting.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "window_recorder.h"

namespace {

const std::vector<UINT> kLifeMessages = {WM_NCCREATE, WM_CREATE,   WM_SIZE,     WM_MOVE,     WM_SHOWWINDOW,
                                         WM_WINDOWPOSCHANGED,       WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS,
                                         WM_DESTROY, WM_NCDESTROY};

bool FailCreate(HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_CREATE) return false;
    *result = -1;
    return true;
}

bool FailNcCreate(HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_NCCREATE) return false;
    *result = 0;
    return true;
}

struct SequenceCase {
    const char* name;
    bool (*answer)(HWND, UINT, WPARAM, LPARAM, LRESULT*);
    void (*run)();
    std::vector<Recorded> expected;
};

void CreateVisible() { MakeWindow(u"A", WS_VISIBLE, 0, 0, 100, 100); }

void CreateHiddenThenDestroy() { DestroyWindow(MakeWindow(u"A", 0, 0, 0, 100, 100)); }

void CreateRefused() { EXPECT_EQ(MakeWindow(u"A", WS_VISIBLE, 0, 0, 100, 100), nullptr); }

void DestroyFamily() {
    HWND p = MakeWindow(u"P", 0, 0, 0, 200, 200);
    HWND c = MakeWindow(u"C", WS_CHILD, 0, 0, 50, 50, p, 1);
    MakeWindow(u"G", WS_CHILD, 0, 0, 10, 10, c, 2);
    MakeWindow(u"O", WS_POPUP, 0, 0, 50, 50, c);  // owned by P, the child's top-level window
    Rec().log.clear();
    EXPECT_TRUE(DestroyWindow(p));
}

const SequenceCase kSequences[] = {
    {"visible top-level window: created, sized, shown, activated, focused",
     nullptr,
     CreateVisible,
     {{"A", WM_NCCREATE},
      {"A", WM_CREATE},
      {"A", WM_SIZE},
      {"A", WM_MOVE},
      {"A", WM_SHOWWINDOW},
      {"A", WM_ACTIVATE},
      {"A", WM_SETFOCUS},
      {"A", WM_WINDOWPOSCHANGED}}},
    {"hidden window destroyed",
     nullptr,
     CreateHiddenThenDestroy,
     {{"A", WM_NCCREATE}, {"A", WM_CREATE}, {"A", WM_SIZE}, {"A", WM_MOVE}, {"A", WM_DESTROY}, {"A", WM_NCDESTROY}}},
    {"-1 from WM_CREATE fails the creation",
     FailCreate,
     CreateRefused,
     {{"A", WM_NCCREATE}, {"A", WM_CREATE}, {"A", WM_NCDESTROY}}},
    {"0 from WM_NCCREATE fails the creation", FailNcCreate, CreateRefused, {{"A", WM_NCCREATE}, {"A", WM_NCDESTROY}}},
    {"owned windows first, then WM_DESTROY down the tree, WM_NCDESTROY up",
     nullptr,
     DestroyFamily,
     {{"O", WM_DESTROY},
      {"O", WM_NCDESTROY},
      {"P", WM_DESTROY},
      {"C", WM_DESTROY},
      {"G", WM_DESTROY},
      {"G", WM_NCDESTROY},
      {"C", WM_NCDESTROY},
      {"P", WM_NCDESTROY}}},
};

TEST(WindowMessages, SequencesMatchTheTable) {
    for (const SequenceCase& c : kSequences) {
        SCOPED_TRACE(c.name);
        RecorderStart(kLifeMessages);
        Rec().answer = c.answer;
        c.run();
        EXPECT_EQ(Rec().log, c.expected);
    }
    PlatformShutdown();
}

TEST(WindowMessages, CreateSeesItsCreateStructAndChildrenDuringDestroy) {
    static HWND child;
    static bool childAliveAtDestroy;
    static void* createParam;
    RecorderStart({});
    Rec().answer = [](HWND h, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        if (msg == WM_CREATE) createParam = ((CREATESTRUCTW*)lp)->lpCreateParams;
        if (msg == WM_DESTROY && TitleOf(h) == "P") childAliveAtDestroy = IsWindow(child);
        return false;
    };
    int token = 0;
    HWND p = CreateWindowExW(0, u"Rec", u"P", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, &token);
    EXPECT_EQ(createParam, &token);
    child = MakeWindow(u"C", WS_CHILD, 0, 0, 5, 5, p, 3);
    DestroyWindow(p);
    EXPECT_TRUE(childAliveAtDestroy);
    EXPECT_FALSE(IsWindow(p));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(p));
    PlatformShutdown();
}

TEST(WindowMessages, StaleHandlesAreRefusedAfterTheSlotIsReused) {
    RecorderStart({});
    HWND a = MakeWindow(u"A", 0, 0, 0, 10, 10);
    SetWindowLongW(a, GWL_USERDATA, 42);
    DestroyWindow(a);
    HWND b = MakeWindow(u"B", 0, 0, 0, 10, 10);
    SetWindowLongW(b, GWL_USERDATA, 7);
    EXPECT_NE(a, b);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(GetWindowLongW(a, GWL_USERDATA), 0);
    EXPECT_EQ(SendMessageW(a, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(a, WM_USER, 0, 0));
    EXPECT_EQ(GetWindowLongW(b, GWL_USERDATA), 7);
    PlatformShutdown();
}

TEST(WindowMessages, NestedSendsReturnThroughEachLevel) {
    static HWND a, b;
    RecorderStart({WM_USER, WM_USER + 1, WM_USER + 2});
    Rec().answer = [](HWND h, UINT msg, WPARAM w, LPARAM, LRESULT* result) {
        if (msg == WM_USER) *result = SendMessageW(b, WM_USER + 1, w + 1, 0) + 1;
        else if (msg == WM_USER + 1) *result = SendMessageW(a, WM_USER + 2, w + 1, 0) * 10;
        else if (msg == WM_USER + 2) *result = (LRESULT)w;
        else return false;
        return true;
    };
    a = MakeWindow(u"A", 0, 0, 0, 10, 10);
    b = MakeWindow(u"B", 0, 0, 0, 10, 10);
    EXPECT_EQ(SendMessageW(a, WM_USER, 1, 0), 31);  // ((1 + 2) * 10) + 1
    std::vector<Recorded> expected = {{"A", WM_USER}, {"B", WM_USER + 1}, {"A", WM_USER + 2}};
    EXPECT_EQ(Rec().log, expected);
    PlatformShutdown();
}

TEST(WindowMessages, PaintComesOnlyWhenNothingElseIsQueued) {
    RecorderStart({WM_USER, WM_USER + 1, WM_ERASEBKGND, WM_PAINT});
    HWND a = MakeWindow(u"A", WS_VISIBLE, 0, 0, 100, 100);
    PostMessageW(a, WM_USER, 0, 0);
    PostMessageW(a, WM_USER + 1, 0, 0);
    DrainQueue();
    std::vector<Recorded> expected = {{"A", WM_USER}, {"A", WM_USER + 1}, {"A", WM_PAINT}, {"A", WM_ERASEBKGND}};
    EXPECT_EQ(Rec().log, expected);
    // Validated by the default WM_PAINT: nothing more.
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    PlatformShutdown();
}

TEST(WindowMessages, InvalidateWithAndWithoutEraseAndUpdateWindow) {
    RecorderStart({WM_ERASEBKGND, WM_PAINT});
    HWND a = MakeWindow(u"A", WS_VISIBLE, 0, 0, 100, 100);
    UpdateWindow(a);
    EXPECT_EQ(Rec().log.size(), 2u);  // the first paint, at once
    Rec().log.clear();
    UpdateWindow(a);
    EXPECT_TRUE(Rec().log.empty());  // nothing to paint: nothing sent

    RECT r{10, 10, 20, 20};
    InvalidateRect(a, &r, FALSE);
    RECT u;
    EXPECT_TRUE(GetUpdateRect(a, &u, FALSE));
    EXPECT_EQ(u.left, 10);
    EXPECT_EQ(u.bottom, 20);
    RECT r2{50, 0, 60, 5};
    InvalidateRect(a, &r2, FALSE);
    GetUpdateRect(a, &u, FALSE);
    EXPECT_EQ(u.left, 10);
    EXPECT_EQ(u.top, 0);
    EXPECT_EQ(u.right, 60);
    UpdateWindow(a);
    std::vector<Recorded> noErase = {{"A", WM_PAINT}};
    EXPECT_EQ(Rec().log, noErase);

    Rec().log.clear();
    InvalidateRect(a, nullptr, TRUE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(a, &ps);
    EXPECT_NE(dc, nullptr);
    EXPECT_FALSE(ps.fErase);  // the default procedure erased
    EXPECT_EQ(ps.rcPaint.right, 100);
    EndPaint(a, &ps);
    EXPECT_FALSE(GetUpdateRect(a, &u, FALSE));
    std::vector<Recorded> erased = {{"A", WM_ERASEBKGND}};
    EXPECT_EQ(Rec().log, erased);

    // A hidden window is not painted until it shows.
    ShowWindow(a, SW_HIDE);
    InvalidateRect(a, nullptr, TRUE);
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    PlatformShutdown();
}

TEST(WindowMessages, ParentsPaintBeforeTheirChildren) {
    RecorderStart({WM_PAINT});
    HWND p = MakeWindow(u"P", WS_VISIBLE, 0, 0, 100, 100);
    MakeWindow(u"C", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, p, 1);
    DrainQueue();
    std::vector<Recorded> expected = {{"P", WM_PAINT}, {"C", WM_PAINT}};
    EXPECT_EQ(Rec().log, expected);
    // Invalidating the parent over the child repaints both.
    Rec().log.clear();
    RECT r{0, 0, 15, 15};
    InvalidateRect(p, &r, TRUE);
    DrainQueue();
    EXPECT_EQ(Rec().log, expected);
    PlatformShutdown();
}

TEST(WindowMessages, QuitComesAfterThePostedMessagesWithItsCode) {
    RecorderStart({});
    HWND a = MakeWindow(u"A", 0, 0, 0, 10, 10);
    PostMessageW(a, WM_USER, 5, 0);
    PostQuitMessage(7);
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, (UINT)WM_USER);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    // Posted messages of a destroyed window are dropped.
    PostMessageW(a, WM_USER, 0, 0);
    DestroyWindow(a);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    PlatformShutdown();
}

TEST(WindowMessages, PeekNoRemoveLeavesTheMessageAndFiltersApply) {
    RecorderStart({});
    HWND a = MakeWindow(u"A", 0, 0, 0, 10, 10);
    HWND b = MakeWindow(u"B", 0, 0, 0, 10, 10);
    PostMessageW(a, WM_USER, 1, 0);
    PostMessageW(b, WM_USER + 5, 2, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(PeekMessageW(&m, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER + 1, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, a);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    PlatformShutdown();
}

TEST(WindowMessages, TranslateMessageMakesCharacters) {
    struct Case {
        int vk;
        bool shift;
        WCHAR expected;  // 0: no WM_CHAR
    };
    const Case cases[] = {
        {'A', false, u'a'}, {'A', true, u'A'},        {'7', false, u'7'},      {'7', true, u'&'},
        {VK_SPACE, false, u' '}, {VK_RETURN, false, u'\r'}, {VK_ESCAPE, false, 0x1B},
        {VK_OEM_PERIOD, false, u'.'}, {VK_LEFT, false, 0}, {VK_F3, false, 0},
    };
    RecorderStart({});
    HWND a = MakeWindow(u"A", 0, 0, 0, 10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
        // The shift state follows the messages as they are taken from the queue.
        PostMessageW(a, c.shift ? WM_KEYDOWN : WM_KEYUP, VK_SHIFT, 0);
        PostMessageW(a, WM_KEYDOWN, c.vk, 1);
        ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
        ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(TranslateMessage(&m), c.expected ? TRUE : FALSE);
        if (c.expected) {
            ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
            EXPECT_EQ(m.message, (UINT)WM_CHAR);
            EXPECT_EQ(m.wParam, (WPARAM)c.expected);
        }
    }
    PlatformShutdown();
}

TEST(WindowMessages, DefWindowProcClosesAndErases) {
    RecorderStart({});
    HWND a = MakeWindow(u"A", WS_VISIBLE, 0, 0, 40, 30);
    HDC dc = GetDC(a);
    RECT all{0, 0, 40, 30};
    FillRect(dc, &all, GetStockObject(BLACK_BRUSH));
    Surface* s = &WindowLookup(a)->surface;
    EXPECT_EQ(s->pixels[5 * s->width + 5], 0x000000u);
    EXPECT_EQ(SendMessageW(a, WM_ERASEBKGND, (WPARAM)dc, 0), 1);
    EXPECT_EQ(s->pixels[5 * s->width + 5], 0xFFFFFFu);
    ReleaseDC(a, dc);

    // A class without a brush leaves erasing to the window.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Bare";
    RegisterClassW(&wc);
    HWND bare = CreateWindowExW(0, u"Bare", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HDC bdc = GetDC(bare);
    EXPECT_EQ(SendMessageW(bare, WM_ERASEBKGND, (WPARAM)bdc, 0), 0);
    ReleaseDC(bare, bdc);

    EXPECT_EQ(SendMessageW(a, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(a));
    PlatformShutdown();
}

TEST(WindowMessages, TextGoesThroughTheMessages) {
    RecorderStart({WM_SETTEXT, WM_GETTEXT});
    HWND a = MakeWindow(u"Old", 0, 0, 0, 10, 10);
    EXPECT_TRUE(SetWindowTextW(a, u"New title"));
    WCHAR buf[5];
    EXPECT_EQ(GetWindowTextW(a, buf, 5), 4);
    EXPECT_EQ(std::u16string(buf), u"New ");
    EXPECT_EQ(GetWindowTextLengthW(a), 9);
    EXPECT_EQ(Rec().log.size(), 2u);
    PlatformShutdown();
}

}  // namespace
