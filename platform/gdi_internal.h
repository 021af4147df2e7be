// Records and helpers shared by the GDI's source files; nothing outside the GDI
// includes this.
#pragma once

#include <cstdarg>
#include <string>

#include "gdi.h"
#include "surface.h"

enum GdiKind : int { GDI_KIND_FONT = 1, GDI_KIND_PEN, GDI_KIND_BRUSH, GDI_KIND_BITMAP };

struct FontInstance;  // a face at one size and weight, with its glyph cache (font_face.cpp)

struct GdiObjectRec {
    int kind;
    bool stock;
    int selected;  // how many DCs hold it
    // Pens and brushes.
    COLORREF colour;
    bool isNull;
    // Bitmaps: 32 bpp in `surface`; 1 bpp packed in `bits`, rows of `stride` bytes.
    int bpp;
    Surface surface;
    uint8_t* bits;
    int stride;
    // Fonts.
    FontInstance* font;
    bool underline;
};

enum DcKind : int { DC_MEMORY = 1, DC_WINDOW };

struct DcRec {
    int kind;
    HWND hwnd;
    bool whole;
    HGDIOBJ bitmap;
    HGDIOBJ font;
    HGDIOBJ pen;
    HGDIOBJ brush;
    COLORREF textColour;
    COLORREF bkColour;
    int bkMode;
    POINT position;
    std::string* trace;  // null when not tracing
};

// Where a DC's drawing lands right now: the surface, the surface pixel of the DC's
// (0,0), and the drawable rectangle in surface pixels.
struct DrawTarget {
    Surface* surface;
    POINT origin;
    RECT clip;
};

// A live DC / object of that kind, or null (and an error noted).
DcRec* GdiDc(HDC dc);
GdiObjectRec* GdiObject(HGDIOBJ obj, int kind);
// The 32-bpp target of the DC; false (with an error noted) when there is none.
bool GdiTarget(DcRec* dc, DrawTarget* t);
// Records the reason for a failure and returns `result`.
int GdiFail(const char* why);
// Allocates a zeroed object record through the heap (null on failure).
GdiObjectRec* GdiNewObject(int kind);

// 0x00BBGGRR -> surface pixel 0x00RRGGBB and back.
inline uint32_t GdiPixel(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF GdiColour(uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// Intersects a DC-relative rectangle with the target's clip, giving surface pixels.
// False when nothing is left.
bool GdiClipRect(const DrawTarget& t, int left, int top, int right, int bottom, RECT* out);
// Fills a surface-pixel rectangle already clipped.
void GdiFillSurface(Surface* s, const RECT& r, uint32_t pixel);

// Fonts (font_face.cpp).
FontInstance* FontInstanceGet(const LOGFONTW* lf);  // null when no face can be loaded
FontInstance* FontDefaultInstance();
struct GlyphInfo {
    int advance;
    int left, top;   // bitmap offset from the pen position on the baseline
    int width, height;
    const uint8_t* coverage;  // width*height bytes, 0..255; null for none
    bool box;                 // missing glyph or test face: draw a box instead
};
// The glyph of one code unit (0x80..0x9F mapped); never null. Its advance is
// FontAdvance's.
const GlyphInfo* FontGlyph(FontInstance* f, WCHAR unit);
// The advance of one code unit, without rendering the glyph when the face allows.
int FontAdvance(FontInstance* f, WCHAR unit);
void FontMetrics(FontInstance* f, TEXTMETRICW* tm);
int FontHeight(FontInstance* f);
int FontAscent(FontInstance* f);
bool FontIsBold(FontInstance* f);
bool FontIsTestFace(FontInstance* f);
// The font selected into a DC (never null).
FontInstance* GdiDcFont(DcRec* dc, bool* underline);
// Code units 0x80..0x9F as their Windows-1252 characters; others unchanged.
uint32_t GdiCodePoint(WCHAR unit);

// Tracing (gdi_trace.cpp): append one formatted line to the DC's record if tracing.
void GdiTrace(DcRec* dc, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Quoted, escaped text for a trace line.
std::string GdiTraceText(const WCHAR* text, int n);
// "ffffff", or "none" for a null pen or brush.
std::string GdiTraceColour(COLORREF c, bool isNull);
// "16" or "20b".
std::string GdiTraceFont(DcRec* dc);
