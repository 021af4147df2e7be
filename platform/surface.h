// Pixel surfaces and how a device context finds the pixels it draws to. Shared by the
// GDI and the window manager of the layer; nothing above the layer includes it.
#pragma once

#include "win_types.h"

// A 32-bit surface: pixels are 0x00RRGGBB, row by row, `width` pixels a row.
struct Surface {
    uint32_t* pixels;
    int width;
    int height;
};

// Allocates a surface filled with `fill`; false when memory is short.
bool SurfaceCreate(Surface* s, int width, int height, uint32_t fill);
// Changes the size, keeping the overlapping pixels and filling new ones with `fill`.
bool SurfaceResize(Surface* s, int width, int height, uint32_t fill);
void SurfaceDestroy(Surface* s);
// Writes the surface as an 8-bit RGB PNG; false on any failure.
bool SurfaceWritePng(const Surface* s, const char* path);

// Where a window's drawing lands, asked for at every drawing call so that a kept DC
// follows the window's current position and size. `origin` is the surface pixel of
// the DC's (0,0); `clip` is the drawable rectangle in surface pixels. Implemented by
// the window manager; false when the window is gone or has no surface.
// whole = false: the client area; whole = true: the whole window, non-client included.
bool WindowDrawTarget(HWND hwnd, bool whole, Surface** surface, POINT* origin, RECT* clip);

// Device contexts on windows, made by the GDI for GetDC/BeginPaint (window manager).
HDC GdiCreateWindowDC(HWND hwnd, bool whole);
// Releases a DC from GdiCreateWindowDC, restoring nothing: its selections die with it.
void GdiDeleteWindowDC(HDC dc);
