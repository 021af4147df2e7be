// Where a window's drawing lands: its top-level window's surface, at its offset,
// clipped to itself and every ancestor's client area. Asked at every drawing call, so
// a kept DC follows the window.
#include <algorithm>

#include "window.h"
#include "window_internal.h"

namespace {
// GetDC(null): a DC to measure with; it draws into a pixel nobody sees.
Surface& Scratch() {
    static Surface s{};
    if (!s.pixels) SurfaceCreate(&s, 1, 1, 0xFFFFFF);
    return s;
}

RECT Clip(RECT a, const RECT& b) {
    a.left = std::max(a.left, b.left);
    a.top = std::max(a.top, b.top);
    a.right = std::min(a.right, b.right);
    a.bottom = std::min(a.bottom, b.bottom);
    if (a.right < a.left) a.right = a.left;
    if (a.bottom < a.top) a.bottom = a.top;
    return a;
}
}  // namespace

bool WindowDrawTarget(HWND hwnd, bool whole, Surface** surface, POINT* origin, RECT* clip) {
    if (!hwnd) {
        Surface& s = Scratch();
        if (!s.pixels) return false;
        *surface = &s;
        *origin = POINT{0, 0};
        *clip = RECT{0, 0, 1, 1};
        return true;
    }
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return false;
    WindowRec* top = WindowLookup(WindowTopLevelOf(hwnd));
    if (!top || !top->hasSurface) return false;
    POINT topOrigin{top->rect.left, top->rect.top};
    POINT win = WindowScreenOrigin(w);
    POINT cli = WindowClientScreenOrigin(w);
    RECT cr;
    GetClientRect(hwnd, &cr);
    RECT area;
    if (whole) {
        *origin = POINT{win.x - topOrigin.x, win.y - topOrigin.y};
        area = RECT{origin->x, origin->y, origin->x + (w->rect.right - w->rect.left),
                    origin->y + (w->rect.bottom - w->rect.top)};
    } else {
        *origin = POINT{cli.x - topOrigin.x, cli.y - topOrigin.y};
        area = RECT{origin->x, origin->y, origin->x + cr.right, origin->y + cr.bottom};
    }
    area = Clip(area, RECT{0, 0, top->surface.width, top->surface.height});
    // Ancestors clip their children to their client areas; a hidden child draws nothing.
    for (WindowRec* p = w; p->parent; p = WindowLookup(p->parent)) {
        if (!(p->style & WS_VISIBLE)) area = RECT{0, 0, 0, 0};
        WindowRec* parent = WindowLookup(p->parent);
        POINT po = WindowClientScreenOrigin(parent);
        RECT pr;
        GetClientRect(parent->handle, &pr);
        area = Clip(area, RECT{po.x - topOrigin.x, po.y - topOrigin.y, po.x - topOrigin.x + pr.right,
                               po.y - topOrigin.y + pr.bottom});
    }
    *surface = &top->surface;
    *clip = area;
    return true;
}
