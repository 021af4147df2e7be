// The shell's small calls: full-screen control, dialog set-up, setting changes and the
// input panel. What they were asked is recorded for the dialog manager and tests.
#include <algorithm>
#include <vector>

#include "message.h"
#include "shell.h"
#include "shell_internal.h"
#include "window.h"

namespace {
struct Records {
    DWORD fullScreen;  // the hide bits of the last SHFullScreen call
    DWORD sip;
    struct Dialog {
        HWND hwnd;
        DWORD flags;
    };
    std::vector<Dialog> dialogs;
};
Records& R() {
    static Records r;
    return r;
}
}  // namespace

BOOL SHFullScreen(HWND, DWORD state) {
    ShellInit();
    HWND bar = ShellCreateTaskBar();
    if (state & SHFS_HIDETASKBAR) ShowWindow(bar, SW_HIDE);
    if (state & SHFS_SHOWTASKBAR) ShowWindow(bar, SW_SHOWNA);
    DWORD& f = R().fullScreen;
    if (state & SHFS_HIDESIPBUTTON) f |= SHFS_HIDESIPBUTTON;
    if (state & SHFS_SHOWSIPBUTTON) f &= ~(DWORD)SHFS_HIDESIPBUTTON;
    if (state & SHFS_HIDESTARTICON) f |= SHFS_HIDESTARTICON;
    if (state & SHFS_SHOWSTARTICON) f &= ~(DWORD)SHFS_HIDESTARTICON;
    ShellTaskBarRefresh();
    return TRUE;
}

DWORD ShellFullScreenState() { return R().fullScreen; }

BOOL SHInitDialog(SHINITDLGINFO* info) {
    ShellInit();
    if (!info || !IsWindow(info->hDlg)) return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    auto& d = R().dialogs;
    d.erase(std::remove_if(d.begin(), d.end(), [&](const Records::Dialog& x) { return !IsWindow(x.hwnd) || x.hwnd == info->hDlg; }),
            d.end());
    d.push_back(Records::Dialog{info->hDlg, info->dwFlags});
    if (info->dwFlags & SHIDIF_DONEBUTTON)
        SetWindowLongW(info->hDlg, GWL_EXSTYLE, GetWindowLongW(info->hDlg, GWL_EXSTYLE) | (LONG)WS_EX_CAPTIONOKBTN);
    if (info->dwFlags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIZEDLG)) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        // Without the full-screen flag the dialog stops above the menu bar.
        if (!(info->dwFlags & SHIDIF_SIZEDLGFULLSCREEN)) work.bottom -= kShellBarHeight;
        MoveWindow(info->hDlg, work.left, work.top, work.right - work.left, work.bottom - work.top, TRUE);
    }
    ShellTaskBarRefresh();
    return TRUE;
}

DWORD ShellDialogFlags(HWND dialog) {
    for (const Records::Dialog& x : R().dialogs)
        if (x.hwnd == dialog && IsWindow(dialog)) return x.flags;
    return 0;
}

// A new screen size: the window takes the new work area (or, when it reaches the top
// of the screen in full-screen mode, the whole height).
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM, SHACTIVATEINFO*) {
    if (wParam != SETTINGCHANGE_RESET || !IsWindow(hwnd) || (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) return TRUE;
    RECT r, work;
    GetWindowRect(hwnd, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int top = r.top == 0 ? 0 : work.top;
    MoveWindow(hwnd, work.left, top, work.right - work.left, work.bottom - top, TRUE);
    return TRUE;
}

BOOL SipShowIM(DWORD flags) {
    R().sip = flags;
    return TRUE;
}

DWORD ShellSipState() { return R().sip; }
