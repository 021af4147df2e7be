// Rectangles, lines and single pixels.
#include <cstdlib>
#include <utility>

#include "gdi_internal.h"

namespace {

// Fills a DC-relative rectangle with a colour, clipped to the target.
void FillDcRect(const DrawTarget& t, int left, int top, int right, int bottom, COLORREF colour) {
    RECT r;
    if (GdiClipRect(t, left, top, right, bottom, &r)) GdiFillSurface(t.surface, r, GdiPixel(colour));
}

}  // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DcRec* d = GdiDc(dc);
    GdiObjectRec* b = d ? GdiObject(brush, GDI_KIND_BRUSH) : nullptr;
    if (!b || !rect) return 0;
    GdiTrace(d, "FillRect %d,%d,%d,%d %s\n", (int)rect->left, (int)rect->top, (int)(rect->right - rect->left),
             (int)(rect->bottom - rect->top), GdiTraceColour(b->colour, b->isNull).c_str());
    DrawTarget t;
    if (!GdiTarget(d, &t)) return 0;
    if (!b->isNull) FillDcRect(t, rect->left, rect->top, rect->right, rect->bottom, b->colour);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    DcRec* d = GdiDc(dc);
    if (!d || !rect) return FALSE;
    GdiTrace(d, "InvertRect %d,%d,%d,%d\n", (int)rect->left, (int)rect->top, (int)(rect->right - rect->left),
             (int)(rect->bottom - rect->top));
    DrawTarget t;
    if (!GdiTarget(d, &t)) return FALSE;
    RECT r;
    if (!GdiClipRect(t, rect->left, rect->top, rect->right, rect->bottom, &r)) return TRUE;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) t.surface->pixels[(size_t)y * t.surface->width + x] ^= 0xFFFFFF;
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    DcRec* d = GdiDc(dc);
    if (!d) return FALSE;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    GdiObjectRec* pen = d->pen;
    GdiObjectRec* brush = d->brush;
    GdiTrace(d, "Rectangle %d,%d,%d,%d pen=%s brush=%s\n", left, top, right - left, bottom - top,
             GdiTraceColour(pen->colour, pen->isNull).c_str(), GdiTraceColour(brush->colour, brush->isNull).c_str());
    DrawTarget t;
    if (!GdiTarget(d, &t)) return FALSE;
    if (pen->isNull) {
        if (!brush->isNull) FillDcRect(t, left, top, right - 1, bottom - 1, brush->colour);
        return TRUE;
    }
    if (!brush->isNull) FillDcRect(t, left + 1, top + 1, right - 1, bottom - 1, brush->colour);
    FillDcRect(t, left, top, right, top + 1, pen->colour);
    FillDcRect(t, left, bottom - 1, right, bottom, pen->colour);
    FillDcRect(t, left, top, left + 1, bottom, pen->colour);
    FillDcRect(t, right - 1, top, right, bottom, pen->colour);
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    DcRec* d = GdiDc(dc);
    if (!d) return FALSE;
    if (previous) *previous = d->position;
    d->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    DcRec* d = GdiDc(dc);
    if (!d) return FALSE;
    POINT from = d->position;
    d->position = POINT{x, y};
    GdiObjectRec* pen = d->pen;
    GdiTrace(d, "LineTo %d,%d %d,%d pen=%s\n", (int)from.x, (int)from.y, x, y,
             GdiTraceColour(pen->colour, pen->isNull).c_str());
    DrawTarget t;
    if (!GdiTarget(d, &t)) return FALSE;
    if (pen->isNull) return TRUE;
    uint32_t pixel = GdiPixel(pen->colour);
    // Bresenham, the end point excluded so that joined lines do not overdraw.
    int x0 = from.x, y0 = from.y;
    int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        long px = (long)x0 + t.origin.x, py = (long)y0 + t.origin.y;
        if (px >= t.clip.left && px < t.clip.right && py >= t.clip.top && py < t.clip.bottom)
            t.surface->pixels[(size_t)py * t.surface->width + px] = pixel;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    DcRec* d = GdiDc(dc);
    DrawTarget t;
    RECT r;
    if (!d || !GdiTarget(d, &t) || !GdiClipRect(t, x, y, x + 1, y + 1, &r)) return CLR_INVALID;
    t.surface->pixels[(size_t)r.top * t.surface->width + r.left] = GdiPixel(colour);
    return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DcRec* d = GdiDc(dc);
    DrawTarget t;
    RECT r;
    if (!d || !GdiTarget(d, &t) || !GdiClipRect(t, x, y, x + 1, y + 1, &r)) return CLR_INVALID;
    return GdiColour(t.surface->pixels[(size_t)r.top * t.surface->width + r.left]);
}
