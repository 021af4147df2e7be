// The task bar, the work area below it, full-screen control and dialog set-up.
#include <gtest/gtest.h>

#include "platform/commandbar.h"
#include "platform/shell.h"
#include "platform/shell_hooks.h"
#include "shell_test_fixture.h"

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override { ShellTestStart(); }
    void TearDown() override { PlatformShutdown(); }
};

TEST_F(Shell, TheTaskBarIsFoundByClassAndHiddenByFullScreen) {
    HWND bar = ShellCreateTaskBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(ShellCreateTaskBar(), bar);
    EXPECT_EQ(FindWindowW(u"HHTaskBar", u""), bar);
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 480);
    EXPECT_EQ(r.bottom, 26);
    EXPECT_TRUE(IsWindowVisible(bar));
    struct Case {
        DWORD state;
        bool visible;
        DWORD recorded;
    };
    const Case cases[] = {
        {SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON, false, SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON},
        {SHFS_HIDESIPBUTTON, false, SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON},
        {SHFS_SHOWTASKBAR | SHFS_SHOWSTARTICON, true, SHFS_HIDESIPBUTTON},
        {SHFS_SHOWSIPBUTTON, true, 0},
    };
    HWND main = MakeOwner();
    for (const Case& c : cases) {
        EXPECT_TRUE(SHFullScreen(main, c.state));
        EXPECT_EQ(IsWindowVisible(bar) != FALSE, c.visible) << c.state;
        EXPECT_EQ(ShellFullScreenState(), c.recorded) << c.state;
    }
    // Showing the task bar leaves the activation with the program.
    EXPECT_EQ(GetActiveWindow(), main);
    // The orderly close reaches the program's window, not the task bar above it.
    InputClose();
    Drain();
    std::vector<Received> closed = {{WM_CLOSE, 0, 0}};
    EXPECT_EQ(Owner().got, closed);
    EXPECT_TRUE(IsWindow(bar));
}

TEST_F(Shell, DefaultWindowsGetTheWorkAreaAndTheTaskBarShowsTheirTitle) {
    ShellCreateTaskBar();
    HWND main = MakeOwner();
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom, 640);
    EXPECT_EQ(r.right - r.left, 480);
    ShellActiveChanged();
    Drain();
    EXPECT_NE(DumpWindowTree().find("HHTaskBar \"\" 0,0,480,26\n  title \"Velmora\"\n"), std::string::npos);
    SetWindowTextW(main, u"Choose Section");
    EXPECT_NE(DumpWindowTree().find("title \"Choose Section\""), std::string::npos);
    // A new screen: the task bar spans it, the window takes the new work area.
    InputResize(600, 800);
    EXPECT_TRUE(SHHandleWMSettingChange(main, SETTINGCHANGE_RESET, 0, nullptr));
    GetWindowRect(main, &r);
    EXPECT_EQ(r.right, 600);
    EXPECT_EQ(r.top, 26);
    EXPECT_EQ(r.bottom, 800);
    GetWindowRect(FindWindowW(u"HHTaskBar", u""), &r);
    EXPECT_EQ(r.right, 600);
    InputResize(480, 640);
}

TEST_F(Shell, InitDialogSizesAndRecordsItsFlags) {
    HWND dialog = MakeOwner(WS_VISIBLE | WS_POPUP, 40, 100, 200, 150);
    struct Case {
        DWORD flags;
        RECT expected;
        bool okButton;
    };
    const Case cases[] = {
        {SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR, {0, 26, 480, 640}, false},
        {SHIDIF_DONEBUTTON | 30, {0, 26, 480, 640}, true},
        {SHIDIF_SIZEDLG, {0, 26, 480, 614}, true},  // the OK button stays once given
    };
    for (const Case& c : cases) {
        SHINITDLGINFO info{SHIDIM_FLAGS, dialog, c.flags};
        EXPECT_TRUE(SHInitDialog(&info));
        RECT r;
        GetWindowRect(dialog, &r);
        EXPECT_EQ(r.top, c.expected.top) << c.flags;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.flags;
        EXPECT_EQ(r.right, c.expected.right) << c.flags;
        EXPECT_EQ(ShellDialogFlags(dialog), c.flags);
        EXPECT_EQ((GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0, c.okButton) << c.flags;
    }
    SHINITDLGINFO gone{SHIDIM_FLAGS, nullptr, 0};
    EXPECT_FALSE(SHInitDialog(&gone));
    DestroyWindow(dialog);
    EXPECT_EQ(ShellDialogFlags(dialog), 0u);
    EXPECT_TRUE(SHHandleWMSettingChange(nullptr, 0, 0, nullptr));
    EXPECT_TRUE(SipShowIM(SIPF_OFF));
    EXPECT_EQ(ShellSipState(), (DWORD)SIPF_OFF);
    InitCommonControls();
}

}  // namespace
