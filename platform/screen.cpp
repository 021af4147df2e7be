// The screen: its size, and the composition of the visible top-level windows.
#include "gdi.h"
#include "surface.h"
#include "window.h"
#include "window_internal.h"

namespace {
struct ScreenState {
    int width = 480;
    int height = 640;
    bool dirty = true;
};
ScreenState& S() {
    static ScreenState s;
    return s;
}
// What shows where no window is.
const uint32_t kDesktopPixel = 0x404040;
}  // namespace

void ScreenSetSize(int width, int height) {
    S().width = width;
    S().height = height;
    S().dirty = true;
    GdiSetScreenSize(width, height);
}

void ScreenGetSize(int* width, int* height) {
    *width = S().width;
    *height = S().height;
}

void ScreenMarkDirty() { S().dirty = true; }

bool ScreenTakeDirty() {
    bool d = S().dirty;
    S().dirty = false;
    return d;
}

bool ScreenCompose(Surface* out) {
    int sw = S().width, sh = S().height;
    if (!out->pixels) {
        if (!SurfaceCreate(out, sw, sh, kDesktopPixel)) return false;
    } else if (out->width != sw || out->height != sh) {
        if (!SurfaceResize(out, sw, sh, kDesktopPixel)) return false;
    }
    for (int i = 0; i < sw * sh; ++i) out->pixels[i] = kDesktopPixel;
    const std::vector<HWND>& tops = WindowTopLevels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        WindowRec* w = WindowLookup(*it);
        if (!w || !(w->style & WS_VISIBLE) || !w->hasSurface) continue;
        int ww = w->rect.right - w->rect.left, wh = w->rect.bottom - w->rect.top;
        if (ww > w->surface.width) ww = w->surface.width;
        if (wh > w->surface.height) wh = w->surface.height;
        for (int y = 0; y < wh; ++y) {
            int sy = w->rect.top + y;
            if (sy < 0 || sy >= sh) continue;
            for (int x = 0; x < ww; ++x) {
                int sx = w->rect.left + x;
                if (sx < 0 || sx >= sw) continue;
                out->pixels[(size_t)sy * sw + sx] = w->surface.pixels[(size_t)y * w->surface.width + x];
            }
        }
    }
    return true;
}
