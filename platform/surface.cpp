// 32-bit pixel surfaces and their PNG form.
#include "surface.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool ValidSize(int width, int height) {
    return width > 0 && height > 0 && width <= 32768 && height <= 32768;
}

void FillPixels(uint32_t* p, size_t count, uint32_t fill) {
    for (size_t i = 0; i < count; ++i) p[i] = fill;
}

}  // namespace

bool SurfaceCreate(Surface* s, int width, int height, uint32_t fill) {
    if (!s) return false;
    *s = Surface{nullptr, 0, 0};
    if (!ValidSize(width, height)) return false;
    size_t count = (size_t)width * height;
    uint32_t* p = (uint32_t*)std::malloc(count * sizeof(uint32_t));
    if (!p) return false;
    FillPixels(p, count, fill);
    *s = Surface{p, width, height};
    return true;
}

bool SurfaceResize(Surface* s, int width, int height, uint32_t fill) {
    if (!s || !ValidSize(width, height)) return false;
    if (s->pixels && s->width == width && s->height == height) return true;
    Surface n;
    if (!SurfaceCreate(&n, width, height, fill)) return false;
    if (s->pixels) {
        int w = s->width < width ? s->width : width;
        int h = s->height < height ? s->height : height;
        for (int y = 0; y < h; ++y)
            std::memcpy(n.pixels + (size_t)y * width, s->pixels + (size_t)y * s->width, (size_t)w * sizeof(uint32_t));
        std::free(s->pixels);
    }
    *s = n;
    return true;
}

void SurfaceDestroy(Surface* s) {
    if (!s) return;
    std::free(s->pixels);
    *s = Surface{nullptr, 0, 0};
}

bool SurfaceWritePng(const Surface* s, const char* path) {
    if (!s || !s->pixels || !path || !ValidSize(s->width, s->height)) return false;
    FILE* fp = std::fopen(path, "wb");
    if (!fp) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(fp);
        return false;
    }
    std::vector<png_byte> row((size_t)s->width * 3);
    // libpng reports errors by longjmp; nothing with a destructor lives across it but
    // `row`, which is created before the jump buffer is set.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(fp);
        std::remove(path);
        return false;
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, s->width, s->height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s->height; ++y) {
        const uint32_t* src = s->pixels + (size_t)y * s->width;
        for (int x = 0; x < s->width; ++x) {
            row[(size_t)x * 3] = (png_byte)(src[x] >> 16);
            row[(size_t)x * 3 + 1] = (png_byte)(src[x] >> 8);
            row[(size_t)x * 3 + 2] = (png_byte)src[x];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    bool ok = std::fflush(fp) == 0 && !std::ferror(fp);
    ok = std::fclose(fp) == 0 && ok;
    if (!ok) std::remove(path);
    return ok;
}
