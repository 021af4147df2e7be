// The default window procedure.
#include "gdi.h"
#include "message.h"
#include "shell_hooks.h"
#include "window.h"
#include "window_internal.h"

namespace {
HBRUSH ClassBrush(const WindowRec* w) {
    HBRUSH b = WindowClassOf(w)->wc.hbrBackground;
    // A system colour index + 1, as classes may give it.
    uintptr_t v = (uintptr_t)b;
    if (b && v <= 32) return GetStockObject(v == COLOR_BTNFACE + 1 ? LTGRAY_BRUSH : WHITE_BRUSH);
    return b;
}
}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return 0;
    switch (msg) {
        case WM_NCCREATE: {
            const CREATESTRUCTW* cs = (const CREATESTRUCTW*)lParam;
            if (cs) w->text = WStr(cs->lpszName);
            return TRUE;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_ERASEBKGND: {
            HBRUSH brush = ClassBrush(w);
            if (!brush) return 0;
            RECT rc;
            GetClientRect(hwnd, &rc);
            FillRect((HDC)wParam, &rc, brush);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTEXT:
            w->text = WStr((LPCWSTR)lParam);
            if (!w->parent) {
                ScreenMarkDirty();
                ShellActiveChanged();  // the task bar shows the foreground window's title
            }
            return TRUE;
        case WM_GETTEXT: {
            LPWSTR buffer = (LPWSTR)lParam;
            int size = (int)wParam;
            if (!buffer || size <= 0) return 0;
            int n = (int)w->text.size() < size - 1 ? (int)w->text.size() : size - 1;
            for (int i = 0; i < n; ++i) buffer[i] = w->text[i];
            buffer[n] = 0;
            return n;
        }
        case WM_GETTEXTLENGTH:
            return (LRESULT)w->text.size();
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) SetFocus(hwnd);
            return 0;
    }
    return 0;
}
