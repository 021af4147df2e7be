// Device contexts, GDI objects, stock objects, selection and the DC's colours.
#include <cstdlib>
#include <new>
#include <unordered_set>

#include "gdi_internal.h"
#include "heap.h"

namespace {

// Live handles, so a stale or foreign handle is refused instead of followed.
std::unordered_set<const void*>& LiveObjects() {
    static std::unordered_set<const void*> set;
    return set;
}
std::unordered_set<const void*>& LiveDcs() {
    static std::unordered_set<const void*> set;
    return set;
}

const char* g_lastError = "";
int g_screenWidth = 480;
int g_screenHeight = 640;

const int kStockCount = DEFAULT_GUI_FONT + 1;
GdiObjectRec g_stock[kStockCount];
bool g_stockReady = false;

void InitStock() {
    if (g_stockReady) return;
    g_stockReady = true;
    struct Entry { int index; int kind; COLORREF colour; bool isNull; };
    const Entry entries[] = {
        {WHITE_BRUSH, GDI_KIND_BRUSH, 0xFFFFFF, false}, {LTGRAY_BRUSH, GDI_KIND_BRUSH, 0xC0C0C0, false},
        {GRAY_BRUSH, GDI_KIND_BRUSH, 0x808080, false},  {DKGRAY_BRUSH, GDI_KIND_BRUSH, 0x404040, false},
        {BLACK_BRUSH, GDI_KIND_BRUSH, 0x000000, false}, {NULL_BRUSH, GDI_KIND_BRUSH, 0, true},
        {WHITE_PEN, GDI_KIND_PEN, 0xFFFFFF, false},     {BLACK_PEN, GDI_KIND_PEN, 0x000000, false},
        {NULL_PEN, GDI_KIND_PEN, 0, true},              {SYSTEM_FONT, GDI_KIND_FONT, 0, false},
        {DEFAULT_GUI_FONT, GDI_KIND_FONT, 0, false},
    };
    for (const Entry& e : entries) {
        GdiObjectRec& o = g_stock[e.index];
        o.kind = e.kind;
        o.stock = true;
        o.colour = e.colour;
        o.isNull = e.isNull;
    }
}

// What a new memory DC holds, as on the original system: one monochrome pixel, so the
// bitmap SelectObject hands back first can be selected again to free the real one.
uint8_t g_defaultBits[2] = {0x80, 0};
GdiObjectRec g_defaultBitmap = [] {
    GdiObjectRec o{};
    o.kind = GDI_KIND_BITMAP;
    o.stock = true;
    o.bpp = 1;
    o.surface.width = 1;
    o.surface.height = 1;
    o.bits = g_defaultBits;
    o.stride = 2;
    return o;
}();

bool IsStockIndex(int index) {
    return (index >= WHITE_BRUSH && index <= NULL_PEN) || index == SYSTEM_FONT || index == DEFAULT_GUI_FONT;
}

DcRec* NewDc(int kind) {
    void* mem = LocalAlloc(LMEM_ZEROINIT, sizeof(DcRec));
    if (!mem) {
        GdiFail("out of memory for a device context");
        return nullptr;
    }
    InitStock();
    DcRec* dc = new (mem) DcRec{};
    dc->kind = kind;
    dc->textColour = 0x000000;
    dc->bkColour = 0xFFFFFF;
    dc->bkMode = OPAQUE;
    dc->font = &g_stock[SYSTEM_FONT];
    dc->pen = &g_stock[BLACK_PEN];
    dc->brush = &g_stock[WHITE_BRUSH];
    if (kind == DC_MEMORY) dc->bitmap = &g_defaultBitmap;
    LiveDcs().insert(dc);
    return dc;
}

void Release(HGDIOBJ obj) {
    if (obj && obj->selected > 0) obj->selected--;
}

void FreeDc(DcRec* dc) {
    Release(dc->font);
    Release(dc->pen);
    Release(dc->brush);
    Release(dc->bitmap);
    delete dc->trace;
    LiveDcs().erase(dc);
    dc->~DcRec();
    LocalFree(dc);
}

COLORREF ColourOrInvalid(HDC dc, COLORREF DcRec::*field, COLORREF value, bool set) {
    DcRec* d = GdiDc(dc);
    if (!d) return CLR_INVALID;
    COLORREF old = d->*field;
    if (set) d->*field = value & 0xFFFFFF;
    return old;
}

}  // namespace

int GdiFail(const char* why) {
    g_lastError = why;
    return 0;
}

const char* GdiLastError() { return g_lastError; }

void GdiSetScreenSize(int width, int height) {
    if (width > 0 && height > 0) {
        g_screenWidth = width;
        g_screenHeight = height;
    }
}

DcRec* GdiDc(HDC dc) {
    if (!dc || !LiveDcs().count(dc)) {
        GdiFail("not a device context");
        return nullptr;
    }
    return dc;
}

GdiObjectRec* GdiObject(HGDIOBJ obj, int kind) {
    if (!obj) {
        GdiFail("null object");
        return nullptr;
    }
    bool stock = (obj >= &g_stock[0] && obj < &g_stock[kStockCount]) || obj == &g_defaultBitmap;
    if (!stock && !LiveObjects().count(obj)) {
        GdiFail("not a GDI object");
        return nullptr;
    }
    if (kind && obj->kind != kind) {
        GdiFail("GDI object of another kind");
        return nullptr;
    }
    return obj;
}

GdiObjectRec* GdiNewObject(int kind) {
    void* mem = LocalAlloc(LMEM_ZEROINIT, sizeof(GdiObjectRec));
    if (!mem) {
        GdiFail("out of memory for a GDI object");
        return nullptr;
    }
    GdiObjectRec* o = new (mem) GdiObjectRec{};
    o->kind = kind;
    LiveObjects().insert(o);
    return o;
}

bool GdiTarget(DcRec* dc, DrawTarget* t) {
    if (dc->kind == DC_WINDOW) {
        Surface* s = nullptr;
        POINT origin{};
        RECT clip{};
        if (!WindowDrawTarget(dc->hwnd, dc->whole, &s, &origin, &clip) || !s || !s->pixels) {
            GdiFail("the window has no surface");
            return false;
        }
        // The window manager's clip must never reach outside the surface.
        if (clip.left < 0) clip.left = 0;
        if (clip.top < 0) clip.top = 0;
        if (clip.right > s->width) clip.right = s->width;
        if (clip.bottom > s->height) clip.bottom = s->height;
        *t = DrawTarget{s, origin, clip};
        return true;
    }
    GdiObjectRec* bm = dc->bitmap;
    if (!bm || bm->bpp != 32) {
        GdiFail("no 32-bpp bitmap selected into the memory DC");
        return false;
    }
    *t = DrawTarget{&bm->surface, POINT{0, 0}, RECT{0, 0, bm->surface.width, bm->surface.height}};
    return true;
}

bool GdiClipRect(const DrawTarget& t, int left, int top, int right, int bottom, RECT* out) {
    long l = (long)left + t.origin.x, tp = (long)top + t.origin.y;
    long r = (long)right + t.origin.x, b = (long)bottom + t.origin.y;
    if (l < t.clip.left) l = t.clip.left;
    if (tp < t.clip.top) tp = t.clip.top;
    if (r > t.clip.right) r = t.clip.right;
    if (b > t.clip.bottom) b = t.clip.bottom;
    if (l >= r || tp >= b) return false;
    *out = RECT{(LONG)l, (LONG)tp, (LONG)r, (LONG)b};
    return true;
}

void GdiFillSurface(Surface* s, const RECT& r, uint32_t pixel) {
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* row = s->pixels + (size_t)y * s->width;
        for (int x = r.left; x < r.right; ++x) row[x] = pixel;
    }
}

FontInstance* GdiDcFont(DcRec* dc, bool* underline) {
    GdiObjectRec* f = dc->font;
    if (underline) *underline = f->underline;
    if (f->stock) return FontDefaultInstance();
    return f->font;
}

HDC GdiCreateWindowDC(HWND hwnd, bool whole) {
    DcRec* dc = NewDc(DC_WINDOW);
    if (!dc) return nullptr;
    dc->hwnd = hwnd;
    dc->whole = whole;
    return dc;
}

void GdiDeleteWindowDC(HDC dc) {
    DcRec* d = GdiDc(dc);
    if (d && d->kind == DC_WINDOW) FreeDc(d);
}

HDC CreateCompatibleDC(HDC) { return NewDc(DC_MEMORY); }

BOOL DeleteDC(HDC dc) {
    DcRec* d = GdiDc(dc);
    if (!d) return FALSE;
    if (d->kind != DC_MEMORY) return GdiFail("DeleteDC of a window DC");
    FreeDc(d);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    DcRec* d = GdiDc(dc);
    GdiObjectRec* o = d ? GdiObject(obj, 0) : nullptr;
    if (!o) return nullptr;
    HGDIOBJ* slot = nullptr;
    switch (o->kind) {
        case GDI_KIND_FONT: slot = &d->font; break;
        case GDI_KIND_PEN: slot = &d->pen; break;
        case GDI_KIND_BRUSH: slot = &d->brush; break;
        case GDI_KIND_BITMAP:
            if (d->kind != DC_MEMORY) {
                GdiFail("a bitmap goes into a memory DC only");
                return nullptr;
            }
            if (!o->stock && o->selected > 0 && d->bitmap != o) {
                GdiFail("the bitmap is selected into another DC");
                return nullptr;
            }
            slot = &d->bitmap;
            break;
        default: return nullptr;
    }
    HGDIOBJ old = *slot;
    if (old == o) return old;
    Release(old);
    o->selected++;
    *slot = o;
    return old;
}

BOOL DeleteObject(HGDIOBJ obj) {
    GdiObjectRec* o = GdiObject(obj, 0);
    if (!o) return FALSE;
    if (o->stock) return TRUE;
    if (o->selected > 0) return GdiFail("DeleteObject of an object still selected into a DC");
    std::free(o->surface.pixels);
    std::free(o->bits);
    LiveObjects().erase(o);
    o->~GdiObjectRec();
    LocalFree(o);
    return TRUE;
}

HGDIOBJ GetStockObject(int index) {
    InitStock();
    if (!IsStockIndex(index)) {
        GdiFail("no stock object of that index");
        return nullptr;
    }
    return &g_stock[index];
}

int GetDeviceCaps(HDC, int index) {
    switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY: return 96;
        case HORZRES: return g_screenWidth;
        case VERTRES: return g_screenHeight;
        case BITSPIXEL: return 32;
        default: return 0;
    }
}

COLORREF SetTextColor(HDC dc, COLORREF c) { return ColourOrInvalid(dc, &DcRec::textColour, c, true); }
COLORREF GetTextColor(HDC dc) { return ColourOrInvalid(dc, &DcRec::textColour, 0, false); }
COLORREF SetBkColor(HDC dc, COLORREF c) { return ColourOrInvalid(dc, &DcRec::bkColour, c, true); }
COLORREF GetBkColor(HDC dc) { return ColourOrInvalid(dc, &DcRec::bkColour, 0, false); }

int SetBkMode(HDC dc, int mode) {
    DcRec* d = GdiDc(dc);
    if (!d) return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) return GdiFail("unknown background mode");
    int old = d->bkMode;
    d->bkMode = mode;
    return old;
}

int GetBkMode(HDC dc) {
    DcRec* d = GdiDc(dc);
    return d ? d->bkMode : 0;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    GdiObjectRec* o = GdiNewObject(GDI_KIND_BRUSH);
    if (o) o->colour = colour & 0xFFFFFF;
    return o;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL) {
        GdiFail("only solid and null pens");
        return nullptr;
    }
    GdiObjectRec* o = GdiNewObject(GDI_KIND_PEN);
    if (!o) return nullptr;
    o->colour = colour & 0xFFFFFF;
    o->isNull = style == PS_NULL;
    return o;
}
