// Loading the program's own UI resources: bitmaps, icons and strings.
//
// Resource formats (the table in resources/ builds them):
//   RT_BITMAP: u16 width, u16 height (little-endian), then the rows from the top:
//              either width * height pixels of u32 0x00RRGGBB (a colour bitmap), or
//              1 bit a pixel, rows padded to 16 bits, most significant bit leftmost,
//              1 = white (a monochrome bitmap); the size tells which.
//   RT_GROUP_ICON: the same layout as RT_BITMAP (one image; 0xFF000000 in a pixel
//              marks it transparent).
//   RT_STRING: id = the string's id; the bytes are its UTF-16 text, no terminator.
#pragma once

#include "win_types.h"

// A new bitmap (1 or 32 bpp as stored) the caller deletes; null when the resource is missing or
// malformed, or memory is short.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// The icon resource; icons live as long as the program. Null when missing.
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
// The pixels of an icon: width and height, and a pointer to the u32 pixels.
bool IconPixels(HICON icon, int* width, int* height, const uint32_t** pixels);
// Copies string `id` (cut to size - 1 units) and terminates it; its length, or 0 when
// it is missing.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
