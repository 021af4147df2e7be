// The shell's own records and helpers, shared by its files (shell_*, toolbar*,
// commandbar*, menu*, popup_menu*, scrollbar*, msgbox_modal*). Nothing outside
// platform/ includes it.
#pragma once

#include "win_types.h"

// ---- Start (shell_taskbar.cpp) ----
// Registers the shell's window classes (again after PlatformShutdown forgot them),
// creates the task bar, installs the close hook, the dump hook and, when a script or
// a window backend runs, the modal message box. Every shell entry point calls it.
void ShellInit();
// The task bar shows the current foreground window's title.
void ShellTaskBarRefresh();

// ---- Look (shell_draw.cpp) ----
enum : COLORREF {
    kShellGrey = 0xC0C0C0,
    kShellLight = 0xFFFFFF,
    kShellDark = 0x808080,
    kShellBlack = 0x000000,
    kShellTaskBar = 0x402010,   // dark blue-black
    kShellSelect = 0x800000,    // navy, selected menu item
    kShellTip = 0xE1FFFF,       // pale yellow
};
enum : int { kShellBarHeight = 26 };
void ShellFill(HDC dc, const RECT& r, COLORREF colour);
// One-pixel light and dark edges: raised (light top-left) or sunken.
void ShellEdge(HDC dc, const RECT& r, bool sunken);
// A one-pixel outline.
void ShellFrame(HDC dc, const RECT& r, COLORREF colour);
// The shell's font (13-pixel sans; bold for titles), made once.
HFONT ShellFont(bool bold);
// Text in a rectangle, transparent, with the shell's font.
void ShellText(HDC dc, LPCWSTR text, int n, RECT r, UINT format, COLORREF colour, bool bold = false);
int ShellTextWidth(LPCWSTR text, int n, bool bold = false);
// A check mark, a triangle (up or down) and a cross, in `colour`, centred in r.
void ShellDrawCheck(HDC dc, const RECT& r, COLORREF colour);
void ShellDrawArrow(HDC dc, const RECT& r, bool up, COLORREF colour);
void ShellDrawCross(HDC dc, const RECT& r, COLORREF colour);
bool ShellPointIn(const RECT& r, int x, int y);
// The top-level window a window belongs to.
HWND ShellTopLevel(HWND hwnd);
// A window of the shell's own (bar, task bar, popup, tooltip) that takes a press gives
// the activation back: to `previous` when it can take it, else to `fallback`.
void ShellGiveBackActivation(HWND self, HWND previous, HWND fallback);

// ---- Menus (menu.cpp) ----
struct MenuItemInfo {
    UINT id;
    UINT flags;  // MF_CHECKED, MF_GRAYED, MF_SEPARATOR, MF_POPUP
    LPCWSTR text;  // label, 0x08, shortcut text
    int length;
    HMENU popup;
};
// Null for a stale or foreign handle.
bool MenuIsValid(HMENU menu);
// The item at a position; false past the end.
bool MenuGetItem(HMENU menu, int position, MenuItemInfo* out);
// Parses a menu template (the bytes of an RT_MENU resource); null when malformed.
HMENU MenuFromTemplate(const void* data, DWORD size);

// ---- Popup menus (popup_menu.cpp) ----
// Runs `menu` as a popup at screen x, y (its bottom at y when `above`), kept on the
// screen; the chosen command, or 0 when dismissed. `owner` is disabled for nothing:
// the popup takes the mouse and keys while it is open.
UINT PopupMenuRun(HMENU menu, int x, int y, bool above, HWND owner);
// Cancels an open popup; true when one was open.
bool PopupMenuCancel();
bool PopupMenuOpen();

// ---- Bars (toolbar.cpp) ----
enum : int { kBarMenuBar = 0, kBarCommandBar = 1 };
// A bar window: a top-level window owned by `owner` (the menu bar) or a child of it
// (the command bar). Commands go to `owner`.
HWND ToolbarCreate(int kind, HWND owner, int x, int y, int width, int id);
// A dropdown button with its popup; `label` is copied.
bool ToolbarAddMenuButton(HWND bar, LPCWSTR label, UINT command, HMENU popup);
// The menu the bar destroys with itself (and CommandBar_GetMenu returns).
void ToolbarSetMenu(HWND bar, HMENU menu);
HMENU ToolbarGetMenu(HWND bar);
// The popup of the dropdown button with this command; null when there is none.
HMENU ToolbarSubMenu(HWND bar, UINT command);
// Adds images from a bitmap resource; the index of the first, or -1.
int ToolbarAddBitmap(HWND bar, HINSTANCE instance, UINT bitmapId, int count);
bool ToolbarAddClose(HWND bar);
bool ToolbarIsBar(HWND bar);

// ---- Scroll bars (scrollbar.cpp) ----
// The scroll bar of a WS_VSCROLL window in screen coordinates; false without one.
bool ScrollBarRect(HWND hwnd, RECT* out);
void ScrollBarDraw(HWND hwnd);

// ---- Message boxes (msgbox_modal.cpp) ----
int MessageBoxModal(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
bool MessageBoxModalCancel();
