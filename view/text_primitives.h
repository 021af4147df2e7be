// Measuring and drawing 8-bit text on a device context: the primitives shared by the
// article view, the search banner and dialog, and the outline. Text is 8-bit; each byte
// is drawn as the UTF-16 code unit of the same value.
//
// Single-threaded: the shared widening buffer and the measuring scratch rely on it.
#pragma once

#include "platform/win_types.h"

// Colours (COLORREF, 0x00BBGGRR).
enum : COLORREF {
    kColourBlack = 0x000000,
    kColourHeadingBlue = 0xFF0000,     // text of styles with bits 2 and 3 both set
    kColourHighlightText = 0xFF0000,   // characters of a search match
    kColourHighlightBack = 0x00FFFF,   // behind a search match (yellow)
    kColourWhite = 0xFFFFFF,
};

// DrawTextRun's format: DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX. Callers
// pass the measured width, so centring puts the run exactly at x.
enum : UINT { kTextRunFormat = 0x0825 };

// A UTF-16 buffer that only grows; `capacity` counts characters, the NUL not included.
struct WidenBuffer {
    WCHAR* text;
    int capacity;
};

// The one buffer every measuring and drawing call widens into. Starts empty and lives
// until the process ends.
extern WidenBuffer g_widenBuffer;

// Widens at most `count` characters of `text` (stopping at its NUL) into UTF-16, NUL-
// terminated. With a buffer the result lives in it, valid until the next call on that
// buffer; without one the result is a new LocalAlloc block the caller frees. Returns
// null when memory is short; a buffer that cannot grow keeps its old memory. A null
// text widens as "".
WCHAR* WidenText(const BYTE* text, WidenBuffer* buffer, int count);

// On entry *width is the widest run allowed in pixels and *count the characters to
// consider (at most those before the text's NUL; the NUL also stops it). On return
// *count is how many leading characters fit and *width their pixel width. A negative
// width allows nothing. Returns 0, or -1 when the widening buffer cannot grow (then
// *count and *width are 0).
int MeasureText(HDC dc, const BYTE* text, int* width, int* count);

// After a successful MeasureText: the pixel width of the first n measured characters,
// 1 <= n <= the fit count it returned. The same number a second MeasureText of those n
// characters would give (advances are plain, so widths add up); valid until the next
// MeasureText.
int MeasuredPrefixWidth(int n);

// Draws `count` characters (again not beyond the NUL) in the rectangle x, y, width,
// height, centred, filling it with the background colour in opaque mode. Draws nothing
// when the widening buffer cannot grow.
void DrawTextRun(HDC dc, const BYTE* text, int count, int x, int y, int width, int height);

// DrawTextRun in the given text and background colours; the DC's colours are restored.
void DrawColouredText(HDC dc, const BYTE* text, int count, int x, int y, int width, int height,
                      COLORREF textColour, COLORREF backColour);

// The same for text held as char (search strings, titles).
inline WCHAR* WidenText(const char* text, WidenBuffer* buffer, int count) {
    return WidenText((const BYTE*)text, buffer, count);
}
inline int MeasureText(HDC dc, const char* text, int* width, int* count) {
    return MeasureText(dc, (const BYTE*)text, width, count);
}
inline void DrawTextRun(HDC dc, const char* text, int count, int x, int y, int width, int height) {
    DrawTextRun(dc, (const BYTE*)text, count, x, y, width, height);
}
inline void DrawColouredText(HDC dc, const char* text, int count, int x, int y, int width, int height,
                             COLORREF textColour, COLORREF backColour) {
    DrawColouredText(dc, (const BYTE*)text, count, x, y, width, height, textColour, backColour);
}
