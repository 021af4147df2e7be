// Update regions (one union rectangle a window), WM_PAINT generation, BeginPaint and
// EndPaint, window DCs, and the plain non-client strips.
#include <algorithm>

#include "gdi.h"
#include "message.h"
#include "shell_hooks.h"
#include "surface.h"
#include "window.h"
#include "window_internal.h"

namespace {

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

RECT Union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

std::vector<HDC>& MadeDcs() {
    static std::vector<HDC> dcs;
    return dcs;
}

HDC MakeDc(HWND hwnd, bool whole) {
    HDC dc = GdiCreateWindowDC(hwnd, whole);
    if (dc) MadeDcs().push_back(dc);
    return dc;
}

bool DropDc(HDC dc) {
    auto& dcs = MadeDcs();
    auto it = std::find(dcs.begin(), dcs.end(), dc);
    if (it == dcs.end()) return false;
    dcs.erase(it);
    GdiDeleteWindowDC(dc);
    return true;
}

void FillSurfaceRect(Surface* s, RECT r, const RECT& clip, uint32_t pixel) {
    r = Intersect(r, clip);
    r = Intersect(r, RECT{0, 0, s->width, s->height});
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) s->pixels[(size_t)y * s->width + x] = pixel;
}

}  // namespace

void PaintInvalidate(WindowRec* w, const RECT* rect, bool erase) {
    if (!w) return;
    RECT client;
    GetClientRect(w->handle, &client);
    RECT r = rect ? Intersect(*rect, client) : client;
    if (Empty(r)) return;
    w->update = w->hasUpdate ? Union(w->update, r) : r;
    w->hasUpdate = true;
    w->erase = w->erase || erase;
    if (w->style & WS_CLIPCHILDREN) return;
    POINT origin = WindowClientScreenOrigin(w);
    for (HWND k : w->children) {
        WindowRec* c = WindowLookup(k);
        if (!(c->style & WS_VISIBLE)) continue;
        POINT co = WindowClientScreenOrigin(c);
        RECT inChild{r.left + origin.x - co.x, r.top + origin.y - co.y, r.right + origin.x - co.x,
                     r.bottom + origin.y - co.y};
        PaintInvalidate(c, &inChild, erase);
    }
}

HWND PaintNextWindow(HWND filter) {
    std::vector<HWND> all;
    WindowCollect(&all);
    for (HWND h : all) {
        WindowRec* w = WindowLookup(h);
        if (!w->hasUpdate || w->destroying || !WindowReallyVisible(w)) continue;
        if (filter && h != filter && !IsChild(filter, h)) continue;
        return h;
    }
    return nullptr;
}

void PaintNonClient(WindowRec* w) {
    RECT in = WindowNonClientInsets(w);
    if (!in.left && !in.top && !in.right && !in.bottom) return;
    Surface* s;
    POINT o;
    RECT clip;
    if (!WindowDrawTarget(w->handle, true, &s, &o, &clip) || !s) return;
    int width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
    RECT whole{o.x, o.y, o.x + width, o.y + height};
    int edge = (int)in.left;
    // Frame: black for WS_BORDER, grey for the client edge.
    for (int i = 0; i < edge; ++i) {
        uint32_t px = (i == 0 && (w->style & WS_CAPTION) == WS_BORDER) ? 0x000000 : 0x808080;
        FillSurfaceRect(s, RECT{whole.left + i, whole.top + i, whole.right - i, whole.top + i + 1}, clip, px);
        FillSurfaceRect(s, RECT{whole.left + i, whole.bottom - i - 1, whole.right - i, whole.bottom - i}, clip, px);
        FillSurfaceRect(s, RECT{whole.left + i, whole.top + i, whole.left + i + 1, whole.bottom - i}, clip, px);
        FillSurfaceRect(s, RECT{whole.right - i - 1, whole.top + i, whole.right - i, whole.bottom - i}, clip, px);
    }
    // The scroll bar's place, until the scroll bar itself draws there.
    if (w->style & WS_VSCROLL) {
        int sb = GetSystemMetrics(SM_CXVSCROLL);
        FillSurfaceRect(s, RECT{whole.right - edge - sb, whole.top + edge, whole.right - edge, whole.bottom - edge},
                        clip, 0xC0C0C0);
    }
    ShellPaintNonClient(w->handle);
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!hwnd) {
        for (HWND h : WindowTopLevels()) PaintInvalidate(WindowLookup(h), nullptr, erase != FALSE);
        return TRUE;
    }
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    PaintInvalidate(w, rect, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    if (!w->hasUpdate) return TRUE;
    if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                  rect->bottom >= w->update.bottom)) {
        w->hasUpdate = false;
        w->erase = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
    return w->hasUpdate ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    if (w->hasUpdate && WindowReallyVisible(w)) SendMessageW(hwnd, WM_PAINT, 0, 0);
    if (!(w = WindowLookup(hwnd))) return TRUE;
    std::vector<HWND> kids = w->children;
    for (HWND k : kids) UpdateWindow(k);
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || !ps) return nullptr;
    *ps = PAINTSTRUCT{};
    ps->rcPaint = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
    bool erase = w->erase;
    w->hasUpdate = false;
    w->erase = false;
    HDC dc = MakeDc(hwnd, false);
    if (!dc) return nullptr;
    ps->hdc = dc;
    ps->fErase = erase ? (SendMessageW(hwnd, WM_ERASEBKGND, (WPARAM)dc, 0) ? FALSE : TRUE) : FALSE;
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    DropDc(ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (hwnd && !WindowLookup(hwnd)) return nullptr;
    return MakeDc(hwnd, false);
}

HDC GetWindowDC(HWND hwnd) {
    if (hwnd && !WindowLookup(hwnd)) return nullptr;
    return MakeDc(hwnd, true);
}

int ReleaseDC(HWND, HDC dc) { return DropDc(dc) ? 1 : 0; }
