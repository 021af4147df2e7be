// Focus, activation, enabling, and where input from the backend lands.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/backend.h"
#include "window_recorder.h"

namespace {

struct Posted {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Posted> TakePosted() {
    std::vector<Posted> out;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_PAINT) {
            DispatchMessageW(&m);
            continue;
        }
        out.push_back(Posted{m.hwnd, m.message, m.wParam, m.lParam});
    }
    return out;
}

TEST(WindowInput, FocusAndActivationMessagesInOrder) {
    RecorderStart({WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
    HWND a = MakeWindow(u"A", WS_VISIBLE, 0, 0, 100, 100);
    HWND edit = MakeWindow(u"E", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a, 1);
    HWND b = MakeWindow(u"B", WS_VISIBLE, 0, 0, 100, 100);
    EXPECT_EQ(GetActiveWindow(), b);
    Rec().log.clear();
    // Focusing a child of an inactive window activates that window first.
    EXPECT_EQ(SetFocus(edit), b);
    std::vector<Recorded> expected = {{"B", WM_ACTIVATE}, {"B", WM_KILLFOCUS}, {"A", WM_ACTIVATE},
                                      {"A", WM_SETFOCUS}, {"A", WM_KILLFOCUS}, {"E", WM_SETFOCUS}};
    EXPECT_EQ(Rec().log, expected);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetForegroundWindow(), a);
    // Disabling the focus window takes the focus away.
    Rec().log.clear();
    EXPECT_FALSE(EnableWindow(edit, FALSE));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(edit, TRUE));
    EXPECT_EQ(SetFocus(nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(edit));
    PlatformShutdown();
}

TEST(WindowInput, KeysGoToTheFocusOrTheActiveWindow) {
    RecorderStart({});
    HWND main = MakeWindow(u"M", WS_VISIBLE, 0, 0, 100, 100);
    HWND child = MakeWindow(u"C", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, main, 1);
    SetFocus(nullptr);
    InputKey(VK_NEXT, true);
    InputKey(VK_NEXT, false);
    SetFocus(child);
    InputChar(u'x');
    auto got = TakePosted();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].hwnd, main);
    EXPECT_EQ(got[0].message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(got[0].wParam, (WPARAM)VK_NEXT);
    EXPECT_EQ(got[1].message, (UINT)WM_KEYUP);
    EXPECT_EQ(got[2].hwnd, child);
    EXPECT_EQ(got[2].message, (UINT)WM_CHAR);
    PlatformShutdown();
}

TEST(WindowInput, PressesLandInClientCoordinatesOfTheWindowUnderThePoint) {
    RecorderStart({});
    HWND back = MakeWindow(u"Back", WS_VISIBLE, 0, 26, 480, 614);
    HWND main = MakeWindow(u"M", WS_VISIBLE | WS_VSCROLL, 0, 26, 480, 614);
    HWND button = MakeWindow(u"B", WS_CHILD | WS_VISIBLE, 100, 100, 50, 20, main, 7);
    TakePosted();
    InputMouse(WM_LBUTTONDOWN, 10, 40);
    InputMouse(WM_LBUTTONUP, 110, 130);
    InputMouse(WM_LBUTTONDOWN, 475, 300);  // the scroll bar's: no client press (the bar may scroll)
    InputMouse(WM_LBUTTONUP, 475, 300);
    EnableWindow(button, FALSE);
    InputMouse(WM_LBUTTONDOWN, 110, 130);  // a disabled window gets nothing
    EnableWindow(button, TRUE);
    SetCapture(button);
    InputMouse(WM_LBUTTONUP, 0, 30);  // the capture gets it, in its coordinates
    ReleaseCapture();
    auto got = TakePosted();
    got.erase(std::remove_if(got.begin(), got.end(),
                             [](const Posted& p) { return p.message < WM_MOUSEMOVE || p.message > WM_LBUTTONDBLCLK; }),
              got.end());
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].hwnd, main);
    EXPECT_EQ(got[0].message, (UINT)WM_LBUTTONDOWN);
    EXPECT_EQ(got[0].wParam, (WPARAM)MK_LBUTTON);
    EXPECT_EQ(got[0].lParam, MAKELPARAM(10, 14));
    EXPECT_EQ(got[1].hwnd, button);
    EXPECT_EQ(got[1].lParam, MAKELPARAM(10, 4));
    EXPECT_EQ(got[2].hwnd, button);
    EXPECT_EQ((short)LOWORD(got[2].lParam), -100);
    EXPECT_EQ((short)HIWORD(got[2].lParam), -96);
    // A press on an inactive window activates it.
    SetForegroundWindow(back);
    SetWindowPos(back, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InputMouse(WM_LBUTTONDOWN, 10, 40);
    EXPECT_EQ(GetActiveWindow(), main);
    PlatformShutdown();
}

TEST(WindowInput, CloseGoesToTheTopmostUnownedWindowAfterTheHook) {
    static int hookCalls;
    static bool hookCancels;
    RecorderStart({WM_CLOSE});
    HWND main = MakeWindow(u"M", WS_VISIBLE, 0, 0, 100, 100);
    MakeWindow(u"D", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, main);
    MakeWindow(u"Bar", WS_POPUP | WS_VISIBLE, 0, 0, 480, 26, nullptr, 0, WS_EX_TOPMOST);  // the shell's
    InputSetCloseHook([] {
        ++hookCalls;
        return hookCancels;
    });
    hookCancels = true;
    InputClose();
    EXPECT_TRUE(TakePosted().empty());
    hookCancels = false;
    InputClose();
    auto got = TakePosted();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].hwnd, main);
    EXPECT_EQ(got[0].message, (UINT)WM_CLOSE);
    EXPECT_EQ(hookCalls, 2);
    InputSetCloseHook(nullptr);
    // With no window left, the close ends the loop.
    PlatformShutdown();
    InputClose();
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.wParam, 0u);
}

TEST(WindowInput, ResizeAndFocusReachTheProgram) {
    static LPARAM settingW;
    RecorderStart({WM_SETTINGCHANGE, WM_ACTIVATE});
    Rec().answer = [](HWND, UINT msg, WPARAM w, LPARAM, LRESULT*) {
        if (msg == WM_SETTINGCHANGE) settingW = (LPARAM)w;
        return false;
    };
    HWND main = MakeWindow(u"M", WS_VISIBLE, 0, 0, 100, 100);
    Rec().log.clear();
    InputResize(640, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(settingW, (LPARAM)SETTINGCHANGE_RESET);
    InputFocus(false);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    InputFocus(true);
    EXPECT_EQ(GetActiveWindow(), main);
    std::vector<Recorded> expected = {{"M", WM_SETTINGCHANGE}, {"M", WM_ACTIVATE}, {"M", WM_ACTIVATE}};
    EXPECT_EQ(Rec().log, expected);
    InputResize(480, 640);
    PlatformShutdown();
}

}  // namespace
