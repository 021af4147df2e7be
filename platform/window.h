// Windows: classes, the window tree, position and size, focus and activation,
// painting and window DCs, system metrics. Win32 names, values and rules; only the
// subset the program uses. One thread; nothing here blocks.
//
// Handles are checked against a table: a destroyed window's handle stays invalid
// (IsWindow is FALSE) and every call given it fails with the Win32-style result
// (FALSE, 0 or null).
#pragma once

#include "win_types.h"

// ---- Classes ---------------------------------------------------------------------
// Registers a class; returns its atom (0xC000 and up), 0 when the name is taken or
// missing, or the procedure is null. Class names compare case-insensitively.
ATOM RegisterClassW(const WNDCLASSW* wc);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* out);
// The class name of a window; returns the units copied (without the NUL).
int GetClassNameW(HWND hwnd, LPWSTR buffer, int size);

// ---- Creation and destruction ---------------------------------------------------------
// Sends WM_NCCREATE then WM_CREATE (lParam: the CREATESTRUCTW) before it returns; 0
// from WM_NCCREATE or -1 from WM_CREATE fails the creation (the window gets
// WM_NCDESTROY and the result is null). Then WM_SIZE and WM_MOVE, and with
// WS_VISIBLE the window is shown (and a top-level window activated).
// CW_USEDEFAULT places a top-level window on the work area (the screen below the
// 26-pixel task bar), a child at 0. A WS_CHILD window needs a valid parent; a
// top-level window given a parent is owned by that parent's top-level window.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
inline HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
// Destroys the window's owned windows first; then WM_DESTROY goes to the window and
// then to its children (so a handler still finds its children alive), then
// WM_NCDESTROY to the children and last to the window. FALSE for an invalid handle
// or a window already being destroyed.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

// ---- Tree and lookup -----------------------------------------------------------------
// The parent of a child window; the owner of an owned top-level window; else null.
HWND GetParent(HWND hwnd);
// GW_HWNDFIRST/LAST/NEXT/PREV (siblings in z-order), GW_OWNER, GW_CHILD (topmost child).
HWND GetWindow(HWND hwnd, UINT cmd);
BOOL IsChild(HWND parent, HWND hwnd);
// Top-level windows only, topmost first. A null class or title matches any; an empty
// title matches only an empty title.
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND parent, int id);
// The deepest visible window at a screen point.
HWND WindowFromPoint(POINT screen);

// ---- Attributes ------------------------------------------------------------------------
// GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_USERDATA, GWL_WNDPROC, GWL_HWNDPARENT (read
// only), and byte offsets >= 0 into the class's cbWndExtra bytes (DWL_MSGRESULT,
// DWL_USER of dialogs). 0 for an invalid handle or index.
LONG GetWindowLongW(HWND hwnd, int index);
LONG SetWindowLongW(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
// Through WM_SETTEXT / WM_GETTEXT, so a control may keep its text its own way.
BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size);
int GetWindowTextLengthW(HWND hwnd);

// ---- Position, size, visibility ---------------------------------------------------------
// SW_HIDE, SW_SHOW/SW_SHOWNORMAL (activates a top-level window), SW_SHOWNA,
// SW_SHOWNOACTIVATE; SW_MINIMIZE hides. Sends WM_SHOWWINDOW and WM_WINDOWPOSCHANGED.
// Returns whether the window was visible before.
BOOL ShowWindow(HWND hwnd, int cmd);
// Sends WM_WINDOWPOSCHANGING, then WM_WINDOWPOSCHANGED with a WINDOWPOS carrying the
// flags as given, then WM_MOVE (client origin) when it moved and WM_SIZE (client
// width and height) when its size changed. A size change repaints the whole window
// (SWP_NOREDRAW is accepted; surfaces keep no stale pixels worth saving).
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);
// Client coordinates: (0, 0) to the client size, less the non-client parts (see
// GetSystemMetrics(SM_CXVSCROLL) for WS_VSCROLL).
BOOL GetClientRect(HWND hwnd, RECT* rect);
// Screen coordinates.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* pt);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
// Maps `count` points from one window's client coordinates to another's (null: the
// screen). Returns the offset as MAKELONG(dx, dy).
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL IsWindowVisible(HWND hwnd);  // the window and all its ancestors

// ---- Focus, activation, enabling -----------------------------------------------------
// Activation goes to top-level windows: the old one gets WM_ACTIVATE(WA_INACTIVE) and
// loses the focus, the new one comes to the top and gets WM_ACTIVATE(WA_ACTIVE), whose
// default handling gives it the focus. Keys go to the focus window, or to the active
// window while no window has the focus.
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);
// WM_KILLFOCUS to the old, WM_SETFOCUS to the new window; activates the new window's
// top-level window first. Returns the previous focus window, null on failure.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// Returns nonzero when the window was disabled before. Disabling the focus window (or
// an ancestor of it) takes the focus away. Sends WM_ENABLE when the state changes.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
// Mouse messages go to the capture window, whatever is under the point.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Painting --------------------------------------------------------------------------
// Adds to the update region (client coordinates; null = all of it) of the window and
// of the visible children the rectangle covers; erase asks for WM_ERASEBKGND at
// BeginPaint. A null window invalidates every window. WM_PAINT is generated only
// when the queue holds nothing else.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
// Removes the window's update region (a union rectangle) entirely when the rectangle
// covers it, else leaves it. Null rect validates all.
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// FALSE when the window has nothing to paint.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
// Sends WM_PAINT at once when the window (or a child) has an update region.
BOOL UpdateWindow(HWND hwnd);
// Sends WM_ERASEBKGND when erasing was asked (ps->fErase says whether the window
// still has to erase), validates the update region and returns a client DC.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// A client DC (GetWindowDC: the whole window) that may be kept: each drawing call
// lands on the window's current position and size. GetDC(null) gives a DC for
// measuring only. ReleaseDC returns 1, 0 for a DC it did not make.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

// ---- System --------------------------------------------------------------------------
// SM_CXSCREEN/SM_CYSCREEN the screen size; SM_CXVSCROLL/SM_CYHSCROLL 13;
// SM_CXEDGE/SM_CYEDGE 2; SM_CXBORDER/SM_CYBORDER 1; SM_CXDLGFRAME/SM_CYDLGFRAME 2;
// SM_CYCAPTION 26; SM_CXICON/SM_CYICON 32; SM_CXSMICON/SM_CYSMICON 16; else 0.
int GetSystemMetrics(int index);
// SPI_GETWORKAREA (pvParam: RECT*): the screen less the task bar. FALSE otherwise.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* pvParam, UINT winIni);
// Height of the task bar band at the top of the screen that the work area leaves out.
enum : int { TASKBAR_HEIGHT = 26 };
DWORD GetTickCount();
