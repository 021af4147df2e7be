// The handheld shell: its menu bar at the bottom of the screen, full-screen control,
// dialog set-up and setting changes. The task bar is a top-level window of class
// "HHTaskBar" with an empty title, at the top of the screen.
#pragma once

#include "win_types.h"

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;      // RCDATA menu-bar resource
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;          // out: the menu bar
};
enum : DWORD { SHCMBF_EMPTYBAR = 0x0001, SHCMBF_HIDDEN = 0x0002, SHCMBF_HIDESIPBUTTON = 0x0004 };
// The menu of one of the menu bar's dropdown buttons: wParam 0, lParam its command id.
enum : UINT { SHCMBM_GETSUBMENU = WM_USER + 401 };

// Creates the menu bar from the RCDATA words (menu id, button count, seven words a
// button) and the menu resource they name; FALSE (hwndMB null) when a resource is
// missing or malformed.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

enum : DWORD {
    SHFS_SHOWTASKBAR = 0x0001,
    SHFS_HIDETASKBAR = 0x0002,
    SHFS_SHOWSIPBUTTON = 0x0004,
    SHFS_HIDESIPBUTTON = 0x0008,
    SHFS_SHOWSTARTICON = 0x0010,
    SHFS_HIDESTARTICON = 0x0020,
};
BOOL SHFullScreen(HWND hwnd, DWORD state);

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
enum : DWORD { SHIDIM_FLAGS = 0x0001 };
enum : DWORD {
    SHIDIF_DONEBUTTON = 0x0001,
    SHIDIF_SIZEDLG = 0x0002,
    SHIDIF_SIZEDLGFULLSCREEN = 0x0004,
    SHIDIF_SIPDOWN = 0x0008,
    SHIDIF_FULLSCREENNOMENUBAR = 0x0010,
};
BOOL SHInitDialog(SHINITDLGINFO* info);

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};
BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// The input panel (soft keyboard).
enum : DWORD { SIPF_OFF = 0, SIPF_ON = 1 };
BOOL SipShowIM(DWORD flags);

// Creates the shell's task bar window if there is none (the program finds it by
// class "HHTaskBar"); the layer calls it at start.
HWND ShellCreateTaskBar();

// What the shell recorded. The SHInitDialog flags of a dialog (0 when none or the
// dialog is gone); a dialog manager draws the caption's OK button from them (the
// call also sets WS_EX_CAPTIONOKBTN).
DWORD ShellDialogFlags(HWND dialog);
// SHFS_HIDESIPBUTTON and SHFS_HIDESTARTICON as the SHFullScreen calls left them.
DWORD ShellFullScreenState();
// The flags of the last SipShowIM call.
DWORD ShellSipState();
