// Drawing: device contexts, pens, brushes, bitmaps and fonts, with the Win32 names,
// values and rules the program was written against. Everything is drawn in software
// into 32-bit surfaces (see surface.h). Text comes from FreeType through fontconfig,
// or from the built-in test face (below) whose widths are exact integers.
//
// Failures return the Win32-style result: a null handle, FALSE, 0 or CLR_INVALID;
// GdiLastError() says why. None of these functions throws or aborts. Each Create*
// call makes exactly one LocalAlloc, so the heap hook (heap.h) can fail it.
// Drawing calls (shapes and text) need a 32-bpp target: on a memory DC holding a
// 1-bpp bitmap, or none, they draw nothing and fail; BitBlt handles both depths.
#pragma once

#include "win_types.h"

// ---- Records the GDI adds to win_types.h ----------------------------------------

// GetObjectW of a bitmap. bmBits is always null: the pixels are private.
struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;  // 1 bpp: rows padded to 16 bits; 32 bpp: width * 4
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

// EnumFontFamiliesW callback: return non-zero to go on, 0 to stop.
typedef int (*FONTENUMPROCW)(const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD fontType, LPARAM lParam);

// The face name that selects the built-in test face (any letter case).
#define GDI_TEST_FACE u"Velmora Test"
// The height a LOGFONTW of height 0 gets, and the default font of every new DC.
enum : int { GDI_DEFAULT_FONT_HEIGHT = 16 };

// ---- Device contexts --------------------------------------------------------------
// A new DC: opaque mode, white background, black text, BLACK_PEN, WHITE_BRUSH and the
// default font (DejaVu Sans or the fontconfig sans match, 16 px) selected.

// A memory DC; `dc` is ignored (every DC is 32-bit). It starts with a 1 x 1 monochrome
// stock bitmap, which the first SelectObject of a bitmap returns (select it back to
// release yours); it draws nothing until a 32-bpp bitmap is selected. Fails (null)
// when memory is short.
HDC CreateCompatibleDC(HDC dc);
// Deletes a memory DC; its selected objects are released, not deleted. FALSE for a
// null or window DC.
BOOL DeleteDC(HDC dc);
// Selects a font, pen, brush or bitmap (bitmaps into memory DCs only; a bitmap can be
// in one DC at a time) and returns the object of that kind it replaces. Null when the
// DC or object is null or invalid, or the bitmap is taken or the DC is a window DC.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
// Deletes a font, pen, brush or bitmap. Stock objects are ignored (TRUE). FALSE for
// null, or an object still selected into a DC (it stays alive, as on the original).
BOOL DeleteObject(HGDIOBJ obj);
// WHITE_BRUSH .. NULL_PEN, SYSTEM_FONT, DEFAULT_GUI_FONT; null for other indices.
HGDIOBJ GetStockObject(int index);
// LOGPIXELSX/Y 96; HORZRES/VERTRES the screen size (GdiSetScreenSize; default
// 480 x 640); BITSPIXEL 32; 0 for other indices.
int GetDeviceCaps(HDC dc, int index);

// ---- Colours and modes (each returns the previous value; CLR_INVALID or 0 on a null DC)
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);  // TRANSPARENT or OPAQUE; 0 for any other mode
int GetBkMode(HDC dc);

// ---- Shapes -------------------------------------------------------------------------
// Solid brush of a colour. Null when memory is short.
HBRUSH CreateSolidBrush(COLORREF colour);
// PS_SOLID (any width is drawn one pixel wide) or PS_NULL; null for other styles.
HPEN CreatePen(int style, int width, COLORREF colour);
// Fills left..right-1 x top..bottom-1 with the brush (the DC's own brush is not
// used). 0 for a null DC/rect/brush; an empty rectangle draws nothing and returns 1.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Inverts the colours of the pixels of the rectangle. FALSE on a null DC or rect.
BOOL InvertRect(HDC dc, const RECT* rect);
// Outline (current pen) and inside (current brush) of left..right-1 x top..bottom-1.
// With the null pen the brush fills one pixel less on the right and bottom, as on
// the original system. FALSE on a null DC.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// The current position for LineTo; FALSE on a null DC.
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// A one-pixel line with the current pen from the current position to (x, y), the end
// point excluded; (x, y) becomes the current position. FALSE on a null DC.
BOOL LineTo(HDC dc, int x, int y);
// One pixel. SetPixel returns the colour set, or CLR_INVALID outside the drawable
// area; GetPixel returns CLR_INVALID there.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);

// ---- Bitmaps ------------------------------------------------------------------------
// 1 or 32 bits per pixel, one plane. `bits` (optional) are rows top first: 1 bpp rows
// are padded to 16 bits, most significant bit leftmost, 1 = white; 32 bpp pixels are
// 0x00RRGGBB. Without bits the bitmap is black. Null for other depths, a non-positive
// size, or when memory is short.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// A 32-bpp bitmap (whatever `dc` is), black. Null as CreateBitmap.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// Copies a block (SRCCOPY only). A 1-bpp source onto a colour destination: 0 bits
// take the destination's text colour, 1 bits its background colour. A colour source
// onto a 1-bpp destination: pixels of the source's background colour become 1, all
// others 0. Pixels outside either side are skipped. FALSE for a null DC, a source
// without a bitmap, or another raster operation.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
// A bitmap's BITMAP record (size >= sizeof(BITMAP)); returns the bytes written, 0 for
// anything else.
int GetObjectW(HGDIOBJ obj, int size, void* out);

// ---- Fonts and text -------------------------------------------------------------------
// lfHeight < 0: character height (em) in pixels; > 0: cell height (ascent + descent);
// 0: GDI_DEFAULT_FONT_HEIGHT. lfWeight >= 600 is bold; lfUnderline draws an underline.
// The face goes through fontconfig; a missing face ("Tahoma", "System", an empty name)
// gets the sans match. Null when no font file can be loaded or memory is short.
HFONT CreateFontIndirectW(const LOGFONTW* lf);
// Metrics of the selected font. tmMaxCharWidth is the widest advance over code units
// 0x20..0xFF (0x80..0x9F as their Windows-1252 characters). FALSE on a null DC.
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* tm);
// Plain advances, no kerning or shaping. `fit` (optional) = how many leading units
// have their running sum <= maxExtent (maxExtent < 0: all n); `dx` (optional, n
// entries) = the running sums; `size` = the extent of all n units (cy = tmHeight).
// FALSE on a null DC/size or n < 0.
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int n, int maxExtent, int* fit, int* dx, SIZE* size);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int n, SIZE* size);
// Text in a rectangle: DT_LEFT/DT_CENTER/DT_RIGHT, DT_TOP/DT_VCENTER/DT_BOTTOM (the
// vertical ones with DT_SINGLELINE), DT_SINGLELINE, DT_WORDBREAK, DT_CALCRECT (sets
// rect's right and bottom, draws nothing), DT_NOPREFIX (without it '&' marks an
// underlined letter and "&&" is '&'), DT_NOCLIP. n = -1: up to the NUL. In OPAQUE
// mode the rectangle is first filled with the background colour. Glyphs are clipped
// to the rectangle unless DT_NOCLIP. Returns the text height, 0 on a null DC/rect.
int DrawTextW(HDC dc, LPCWSTR text, int n, RECT* rect, UINT format);
// Text with its cell's top-left at (x, y). ETO_OPAQUE fills `rect` with the background
// colour; ETO_CLIPPED clips the glyphs to `rect`. In OPAQUE mode the text cell is
// filled too. `dx` (optional) gives each unit's advance. FALSE on a null DC.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT n, const int* dx);
// One callback per family (family null) or for the one named family, with
// TRUETYPE_FONTTYPE (RASTER_FONTTYPE for the test face, which is listed too).
// Returns the last callback's value, 0 when nothing matched.
int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW proc, LPARAM lParam);

// ---- The test face -------------------------------------------------------------------
// "Velmora Test" draws every glyph as a box filled with the text colour: advance - 1
// pixels wide (a 1-pixel gap on the right), tmAscent pixels high from the cell's top.
// Space (0x20) and no-break space (0xA0) draw nothing. No internal leading, so a
// negative and a positive height give the same font.
//
// Advances at height 16, regular weight:
//   ' ' 4   '!' 4   '"' 5   '#' 8   '$' 8   '%' 12  '&' 10  '\'' 3
//   '(' 5   ')' 5   '*' 6   '+' 8   ',' 4   '-' 5   '.' 4   '/' 5
//   '0'-'9' 8       ':' 4   ';' 4   '<' 8   '=' 8   '>' 8   '?' 7   '@' 13
//   'A'-'Z' 10, except 'I' 4, 'J' 6, 'M' 14, 'W' 14
//   '[' 5   '\\' 5  ']' 5   '^' 8   '_' 8   '`' 5
//   'a'-'z' 8, except 'f' 5, 'i' 3, 'j' 3, 'l' 3, 'm' 12, 'r' 5, 't' 5, 'w' 12
//   '{' 6   '|' 3   '}' 6   '~' 8
//   0x85 ellipsis 14, 0x91-0x92 quotes 3, 0x93-0x94 quotes 5, 0x95 bullet 6,
//   0x96 en dash 8, 0x97 em dash 14; other 0x80-0x9F 8
//   0xA0 4, 0xA1-0xBF 8, 0xC0-0xDE 10, 0xDF-0xFF 8; every other code unit 8.
// Metrics at height 16: tmHeight 16, tmAscent 13, tmDescent 3, tmAveCharWidth 8
// ('x'), tmMaxCharWidth 14.
// Height h (its absolute value; 0 means 16): advance = (a16 * h + 8) / 16, at least 1;
// tmAscent = (13 * h + 8) / 16; tmDescent = h - tmAscent; tmHeight = h.
// Bold (weight >= 600) adds 1 to every advance after scaling, so tmMaxCharWidth 15.
int GdiTestFaceAdvance(WCHAR unit, int height, int weight);

// ---- Window DCs (declared in surface.h) -------------------------------------------------
// GdiCreateWindowDC / GdiDeleteWindowDC: a window DC asks WindowDrawTarget at every
// drawing call and draws nothing (returns FALSE/0) while the window has no surface.

// ---- Tracing ----------------------------------------------------------------------------
// Records every drawing call on `dc` (it still draws) as one text line, coordinates
// as passed to the DC, rectangles as x,y,width,height, colours as the 6 hex digits of
// the COLORREF (0x00BBGGRR), texts in quotes with '"', '\' and units outside 0x20..0x7E
// escaped (\xNN, \uNNNN):
//   FillRect 0,0,480,600 ffffff
//   Rectangle 10,10,20,1 pen=000000 brush=000000          (null pen/brush: "none")
//   LineTo 0,5 20,5 pen=000000
//   InvertRect 0,0,10,10
//   DrawText "Iron" 10,20,40,16 fg=000000 bg=ffffff font=16 flags=0825
//   ExtTextOut "Iron" 10,20 fg=ff0000 bg=none font=20b clip=0,0,100,20
//                     (ETO_OPAQUE adds opaque=x,y,w,h; ETO_CLIPPED adds clip=x,y,w,h)
//   BitBlt 5,5,9,9 from 0,0
// bg=none in TRANSPARENT mode; font=<tmHeight>[b] with b for bold. A second Begin
// clears the record. False on a null DC or when memory is short.
bool GdiTraceBegin(HDC dc);
// Stops recording and returns the lines, each ending in '\n' ("" when nothing was
// recorded or no trace ran). The text stays valid until the next GdiTraceEnd.
const char* GdiTraceEnd(HDC dc);

// ---- Diagnostics and settings ------------------------------------------------------------
// Why the last failing GDI call failed, in English; "" when none has failed.
const char* GdiLastError();
// The screen size GetDeviceCaps reports (the window manager sets it).
void GdiSetScreenSize(int width, int height);
