// Bitmaps: creation in the two depths the program uses, and block copies.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi_internal.h"

namespace {

int MonoStride(int width) { return (width + 15) / 16 * 2; }

bool MonoBit(const GdiObjectRec* bm, int x, int y) {
    return (bm->bits[(size_t)y * bm->stride + x / 8] >> (7 - x % 8)) & 1;
}

void SetMonoBit(GdiObjectRec* bm, int x, int y, bool on) {
    uint8_t& b = bm->bits[(size_t)y * bm->stride + x / 8];
    uint8_t mask = (uint8_t)(0x80 >> (x % 8));
    b = on ? (b | mask) : (b & ~mask);
}

// Where a blit reads from or writes to: a 32-bit target or a 1-bpp bitmap.
struct BlitSide {
    DrawTarget target;     // 32 bpp
    GdiObjectRec* mono;    // 1 bpp, whole bitmap drawable
};

bool ResolveSide(DcRec* d, BlitSide* side) {
    side->mono = nullptr;
    if (d->kind == DC_MEMORY && d->bitmap && d->bitmap->bpp == 1) {
        side->mono = d->bitmap;
        return true;
    }
    return GdiTarget(d, &side->target);
}

// The drawable rectangle of a side in DC coordinates.
RECT SideRect(const BlitSide& s) {
    if (s.mono) return RECT{0, 0, s.mono->surface.width, s.mono->surface.height};
    const DrawTarget& t = s.target;
    return RECT{t.clip.left - t.origin.x, t.clip.top - t.origin.y, t.clip.right - t.origin.x,
                t.clip.bottom - t.origin.y};
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        GdiFail("bitmap size out of range");
        return nullptr;
    }
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) {
        GdiFail("only 1 and 32 bits per pixel, one plane");
        return nullptr;
    }
    GdiObjectRec* o = GdiNewObject(GDI_KIND_BITMAP);
    if (!o) return nullptr;
    o->bpp = (int)bitsPerPixel;
    o->surface.width = width;
    o->surface.height = height;
    if (bitsPerPixel == 1) {
        o->stride = MonoStride(width);
        size_t bytes = (size_t)o->stride * height;
        o->bits = (uint8_t*)std::calloc(bytes, 1);
        if (o->bits && bits) std::memcpy(o->bits, bits, bytes);
    } else {
        o->stride = width * 4;
        size_t count = (size_t)width * height;
        o->surface.pixels = (uint32_t*)std::calloc(count, 4);
        if (o->surface.pixels && bits) {
            std::memcpy(o->surface.pixels, bits, count * 4);
            for (size_t i = 0; i < count; ++i) o->surface.pixels[i] &= 0xFFFFFF;
        }
    }
    if (!o->bits && !o->surface.pixels) {
        DeleteObject(o);
        GdiFail("out of memory for bitmap pixels");
        return nullptr;
    }
    return o;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) { return CreateBitmap(width, height, 1, 32, nullptr); }

int GetObjectW(HGDIOBJ obj, int size, void* out) {
    GdiObjectRec* o = GdiObject(obj, GDI_KIND_BITMAP);
    if (!o || !out || size < (int)sizeof(BITMAP)) return 0;
    BITMAP bm{};
    bm.bmWidth = o->surface.width;
    bm.bmHeight = o->surface.height;
    bm.bmWidthBytes = o->stride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = (WORD)o->bpp;
    std::memcpy(out, &bm, sizeof bm);
    return (int)sizeof bm;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    DcRec* d = GdiDc(dst);
    DcRec* s = d ? GdiDc(src) : nullptr;
    if (!s) return FALSE;
    if (rop != SRCCOPY) return GdiFail("only SRCCOPY");
    GdiTrace(d, "BitBlt %d,%d,%d,%d from %d,%d\n", x, y, width, height, srcX, srcY);
    BlitSide from, to;
    if (!ResolveSide(s, &from) || !ResolveSide(d, &to)) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    // Clip against both sides: the block shrinks where either side ends.
    RECT sr = SideRect(from), dr = SideRect(to);
    int x0 = 0, y0 = 0, x1 = width, y1 = height;
    x0 = std::max({x0, (int)sr.left - srcX, (int)dr.left - x});
    y0 = std::max({y0, (int)sr.top - srcY, (int)dr.top - y});
    x1 = std::min({x1, (int)sr.right - srcX, (int)dr.right - x});
    y1 = std::min({y1, (int)sr.bottom - srcY, (int)dr.bottom - y});
    if (x0 >= x1 || y0 >= y1) return TRUE;

    // Read the block first, so a copy within one surface cannot read what it wrote.
    int w = x1 - x0, h = y1 - y0;
    std::vector<uint32_t> block((size_t)w * h);
    uint32_t fg = GdiPixel(d->textColour), bg = GdiPixel(d->bkColour);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            int sx = srcX + x0 + i, sy = srcY + y0 + j;
            uint32_t p;
            if (from.mono)
                p = MonoBit(from.mono, sx, sy) ? (to.mono ? 1u : bg) : (to.mono ? 0u : fg);
            else {
                p = from.target.surface->pixels[(size_t)(sy + from.target.origin.y) * from.target.surface->width +
                                                 sx + from.target.origin.x];
                if (to.mono) p = p == GdiPixel(s->bkColour) ? 1u : 0u;
            }
            block[(size_t)j * w + i] = p;
        }
    }
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            int dx = x + x0 + i, dy = y + y0 + j;
            uint32_t p = block[(size_t)j * w + i];
            if (to.mono)
                SetMonoBit(to.mono, dx, dy, p != 0);
            else
                to.target.surface->pixels[(size_t)(dy + to.target.origin.y) * to.target.surface->width + dx +
                                          to.target.origin.x] = p;
        }
    }
    return TRUE;
}
