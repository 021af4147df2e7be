// The window manager's own records, shared by its files (window_*, message_*, paint,
// screen, dump) and the backends. Nothing outside platform/ includes it.
#pragma once

#include <string>
#include <vector>

#include "surface.h"
#include "win_types.h"

struct WindowClassRec {
    std::u16string name;
    WNDCLASSW wc;  // lpszClassName points into `name`
};

struct WindowRec {
    HWND handle;
    int cls;  // index into the class table
    WNDPROC proc;
    DWORD style;
    DWORD exStyle;
    LONG_PTR id;        // GWL_ID (children) or the menu handle (top-level windows)
    LONG_PTR userData;  // GWL_USERDATA
    std::vector<uint8_t> extra;  // cbWndExtra bytes: DWL_MSGRESULT, DWL_USER of dialogs
    std::u16string text;
    HINSTANCE instance;
    HWND parent;  // null for top-level windows
    HWND owner;   // top-level windows only
    std::vector<HWND> children;  // z-order, topmost first (= creation order)
    RECT rect;  // the window rectangle in the parent's client coordinates (screen for top-level)
    bool hasUpdate;
    bool erase;
    RECT update;  // client coordinates, valid when hasUpdate
    bool hasSurface;
    Surface surface;  // top-level windows: the window's pixels, window-sized
    bool destroying;
};

// ---- Classes (window_class.cpp) ----
int WindowFindClass(LPCWSTR nameOrAtom);  // -1 when unknown
WindowClassRec* WindowClassAt(int index);
void WindowClassesReset();

// ---- The queue (message_queue.cpp) ----
// Drops the posted messages of a window that goes away.
void MessageQueueDropWindow(HWND hwnd);
void MessageQueueReset();

// ---- The window table (window_tree.cpp) ----
// The record of a live window; null for null, stale or destroyed handles.
WindowRec* WindowLookup(HWND hwnd);
WindowClassRec* WindowClassOf(const WindowRec* w);
// Top-level windows in z-order, topmost first.
const std::vector<HWND>& WindowTopLevels();
// Every live window, parents before children, top-level windows topmost first.
void WindowCollect(std::vector<HWND>* out);
HWND WindowTopLevelOf(HWND hwnd);
// Visible with every ancestor.
bool WindowReallyVisible(const WindowRec* w);
// Case-insensitive class name comparison, as class names are on the original.
bool WindowClassNameEquals(const std::u16string& a, LPCWSTR b);
// Destroys every window and forgets every class (PlatformShutdown, tests).
void WindowManagerReset();

// ---- Geometry (window_pos.cpp) ----
// The margins of the non-client parts: WS_VSCROLL takes SM_CXVSCROLL on the right,
// WS_BORDER a pixel each side, WS_EX_CLIENTEDGE SM_CXEDGE each side.
RECT WindowNonClientInsets(const WindowRec* w);
// The window's top-left in screen coordinates.
POINT WindowScreenOrigin(const WindowRec* w);
// The client area's top-left in screen coordinates.
POINT WindowClientScreenOrigin(const WindowRec* w);
// Puts a top-level window at the top of its band (topmost or normal), its owned
// windows above it.
void WindowBringToTop(HWND hwnd);
// The deepest visible window at a screen point, or null; `client` says whether the
// point lies in its client area.
HWND WindowAtPoint(POINT screen, bool* client);

// ---- Focus and activation (window_focus.cpp) ----
// The window about to go away loses activation, focus and capture.
void WindowForgetForDestroy(HWND hwnd);
// Activates the best remaining window after `gone` was hidden or destroyed.
void WindowActivateNext(HWND gone);
void WindowFocusReset();

// ---- Painting (paint.cpp) ----
// Adds a rectangle (client coordinates of w; null = all) to w's update region and to
// the visible children it covers.
void PaintInvalidate(WindowRec* w, const RECT* rect, bool erase);
// The first visible window that needs painting, parents first; null when none.
HWND PaintNextWindow(HWND filter);
// Fills the non-client strips (the reserved scroll-bar place) straight into the surface.
void PaintNonClient(WindowRec* w);

// ---- Screen (screen.cpp) ----
void ScreenSetSize(int width, int height);
void ScreenGetSize(int* width, int* height);
// Composes the visible top-level windows into `out` (created or resized to the
// screen size). False when memory is short.
bool ScreenCompose(Surface* out);
// The composed screen changed since the last ScreenTakeDirty.
void ScreenMarkDirty();
bool ScreenTakeDirty();

// ---- Text helpers (window_tree.cpp) ----
size_t WStrLen(LPCWSTR s);
std::u16string WStr(LPCWSTR s);
// UTF-16 to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& s);
std::u16string Utf8ToUtf16(const std::string& s);
