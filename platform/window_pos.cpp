// Window geometry: position, size, visibility, z-order, coordinates, system metrics.
#include <algorithm>

#include "message.h"
#include "window.h"
#include "window_internal.h"

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool InRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The window's rectangle in its parent's client coordinates, for invalidating there.
void InvalidateInParent(WindowRec* w) {
    if (!w->parent) {
        ScreenMarkDirty();
        return;
    }
    WindowRec* p = WindowLookup(w->parent);
    if (p) PaintInvalidate(p, &w->rect, true);
}

HWND DeepestAt(HWND hwnd, POINT screen) {
    WindowRec* w = WindowLookup(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    POINT o = WindowClientScreenOrigin(w);
    POINT local{screen.x - o.x, screen.y - o.y};
    if (!InRect(client, local)) return hwnd;
    for (HWND k : w->children) {
        WindowRec* c = WindowLookup(k);
        if (!(c->style & WS_VISIBLE)) continue;
        if (InRect(c->rect, local)) return DeepestAt(k, screen);
    }
    return hwnd;
}

}  // namespace

RECT WindowNonClientInsets(const WindowRec* w) {
    RECT in{0, 0, 0, 0};
    int edge = 0;
    if ((w->style & WS_CAPTION) == WS_BORDER) edge += 1;
    if (w->exStyle & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
    in.left = in.top = in.right = in.bottom = edge;
    if (w->style & WS_VSCROLL) in.right += GetSystemMetrics(SM_CXVSCROLL);
    return in;
}

POINT WindowScreenOrigin(const WindowRec* w) {
    POINT p{w->rect.left, w->rect.top};
    if (w->parent) {
        POINT o = WindowClientScreenOrigin(WindowLookup(w->parent));
        p.x += o.x;
        p.y += o.y;
    }
    return p;
}

POINT WindowClientScreenOrigin(const WindowRec* w) {
    POINT p = WindowScreenOrigin(w);
    RECT in = WindowNonClientInsets(w);
    return POINT{p.x + in.left, p.y + in.top};
}

void WindowBringToTop(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return;
    if (w->parent) {
        std::vector<HWND>& kids = WindowLookup(w->parent)->children;
        kids.erase(std::remove(kids.begin(), kids.end(), hwnd), kids.end());
        kids.insert(kids.begin(), hwnd);
        InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    std::vector<HWND>& tops = const_cast<std::vector<HWND>&>(WindowTopLevels());
    tops.erase(std::remove(tops.begin(), tops.end(), hwnd), tops.end());
    size_t at = 0;
    if (!(w->exStyle & WS_EX_TOPMOST))
        while (at < tops.size() && (WindowLookup(tops[at])->exStyle & WS_EX_TOPMOST)) ++at;
    tops.insert(tops.begin() + at, hwnd);
    // Owned windows stay above their owner.
    std::vector<HWND> owned;
    for (HWND h : tops)
        if (WindowLookup(h)->owner == hwnd) owned.push_back(h);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) WindowBringToTop(*it);
    ScreenMarkDirty();
}

HWND WindowAtPoint(POINT screen, bool* client) {
    for (HWND h : WindowTopLevels()) {
        WindowRec* w = WindowLookup(h);
        if (!(w->style & WS_VISIBLE) || !InRect(w->rect, screen)) continue;
        HWND hit = DeepestAt(h, screen);
        if (client) {
            RECT rc;
            GetClientRect(hit, &rc);
            POINT p = screen;
            ScreenToClient(hit, &p);
            *client = InRect(rc, p);
        }
        return hit;
    }
    if (client) *client = false;
    return nullptr;
}

HWND WindowFromPoint(POINT screen) { return WindowAtPoint(screen, nullptr); }

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || !rect) return FALSE;
    RECT in = WindowNonClientInsets(w);
    int cw = std::max(0, Width(w->rect) - (int)in.left - (int)in.right);
    int ch = std::max(0, Height(w->rect) - (int)in.top - (int)in.bottom);
    *rect = RECT{0, 0, cw, ch};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || !rect) return FALSE;
    POINT o = WindowScreenOrigin(w);
    *rect = RECT{o.x, o.y, o.x + Width(w->rect), o.y + Height(w->rect)};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = WindowClientScreenOrigin(w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = WindowClientScreenOrigin(w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT a{0, 0}, b{0, 0};
    if (from && !ClientToScreen(from, &a)) return 0;
    if (to && !ClientToScreen(to, &b)) return 0;
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(dx, dy);
}

BOOL IsWindowVisible(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    return w && WindowReallyVisible(w);
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    if (flags & SWP_NOMOVE) {
        x = w->rect.left;
        y = w->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        cx = Width(w->rect);
        cy = Height(w->rect);
    }
    if (cx < 0) cx = 0;
    if (cy < 0) cy = 0;
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos);
    if (!(w = WindowLookup(hwnd))) return FALSE;
    x = pos.x, y = pos.y, cx = std::max(0, pos.cx), cy = std::max(0, pos.cy);

    RECT oldClient;
    GetClientRect(hwnd, &oldClient);
    POINT oldOrigin = WindowClientScreenOrigin(w);
    bool sized = cx != Width(w->rect) || cy != Height(w->rect);
    bool moved = x != w->rect.left || y != w->rect.top;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;

    if ((moved || sized) && wasVisible) InvalidateInParent(w);
    w->rect = RECT{x, y, x + cx, y + cy};
    if (sized && w->hasSurface) SurfaceResize(&w->surface, cx > 0 ? cx : 1, cy > 0 ? cy : 1, 0xFFFFFF);
    if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    bool visible = (w->style & WS_VISIBLE) != 0;
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
        if (insertAfter == HWND_NOTOPMOST) w->exStyle &= ~WS_EX_TOPMOST;
        if (insertAfter == HWND_BOTTOM && !w->parent) {
            std::vector<HWND>& tops = const_cast<std::vector<HWND>&>(WindowTopLevels());
            tops.erase(std::remove(tops.begin(), tops.end(), hwnd), tops.end());
            tops.push_back(hwnd);
            ScreenMarkDirty();
        } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
            WindowBringToTop(hwnd);
        } else if (WindowRec* after = WindowLookup(insertAfter); after && after->parent == w->parent) {
            std::vector<HWND>& list = w->parent ? WindowLookup(w->parent)->children
                                                : const_cast<std::vector<HWND>&>(WindowTopLevels());
            list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
            list.insert(std::find(list.begin(), list.end(), insertAfter) + 1, hwnd);
            InvalidateInParent(w);
        }
    }
    if (visible && (sized || moved || !wasVisible)) {
        InvalidateInParent(w);
        if (sized || !wasVisible || w->parent) InvalidateRect(hwnd, nullptr, TRUE);
        PaintNonClient(w);
    }
    if (!visible && wasVisible) {
        InvalidateInParent(w);
        WindowActivateNext(hwnd);
    }
    if (visible && !wasVisible && !w->parent && !(flags & SWP_NOACTIVATE)) SetActiveWindow(hwnd);
    else if (visible && !w->parent && !(flags & SWP_NOACTIVATE) && GetActiveWindow() != hwnd) SetActiveWindow(hwnd);

    if (!(w = WindowLookup(hwnd))) return TRUE;
    pos = WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags};
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, (LPARAM)&pos);
    if (!(w = WindowLookup(hwnd))) return TRUE;
    RECT client;
    GetClientRect(hwnd, &client);
    POINT origin = WindowClientScreenOrigin(w);
    if (origin.x != oldOrigin.x || origin.y != oldOrigin.y) {
        POINT p = origin;
        if (w->parent) ScreenToClient(w->parent, &p);
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(p.x, p.y));
    }
    if (WindowLookup(hwnd) && (client.right != oldClient.right || client.bottom != oldClient.bottom))
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : (UINT)SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
    if (!WindowLookup(hwnd)) return FALSE;
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE && cmd != SW_MINIMIZE;
    bool activate = show && (cmd == SW_SHOW || cmd == SW_SHOWNORMAL) && !w->parent;
    if (show == wasVisible) {
        if (activate && GetActiveWindow() != hwnd && !(w->style & WS_DISABLED)) SetActiveWindow(hwnd);
        return wasVisible;
    }
    SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!WindowLookup(hwnd)) return wasVisible;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (!activate) flags |= SWP_NOACTIVATE;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags);
    return wasVisible;
}

int GetSystemMetrics(int index) {
    int w, h;
    switch (index) {
        case SM_CXSCREEN: ScreenGetSize(&w, &h); return w;
        case SM_CYSCREEN: ScreenGetSize(&w, &h); return h;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL: return 13;
        case SM_CYCAPTION: return 26;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
        case SM_CXEDGE:
        case SM_CYEDGE: return 2;
        case SM_CXICON:
        case SM_CYICON: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
    }
    return 0;
}

BOOL SystemParametersInfoW(UINT action, UINT, void* pvParam, UINT) {
    if (action != SPI_GETWORKAREA || !pvParam) return FALSE;
    int w, h;
    ScreenGetSize(&w, &h);
    *(RECT*)pvParam = RECT{0, std::min((int)TASKBAR_HEIGHT, h), w, h};
    return TRUE;
}
