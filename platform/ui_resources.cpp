#include "ui_resources.h"

#include <cstring>
#include <new>

#include "gdi.h"
#include "resource.h"

namespace {

// The header and pixel count of an RT_BITMAP-layout resource; false when malformed.
bool ImageResource(const void* data, DWORD size, int* width, int* height, const uint32_t** pixels) {
    if (!data || size < 4) return false;
    const BYTE* p = (const BYTE*)data;
    int w = p[0] | p[1] << 8, h = p[2] | p[3] << 8;
    if (w == 0 || h == 0 || (size_t)size - 4 < (size_t)w * h * 4) return false;
    *width = w;
    *height = h;
    *pixels = (const uint32_t*)(p + 4);
    return true;
}

const void* Find(HINSTANCE instance, LPCWSTR name, WORD type, DWORD* size) {
    HRSRC res = FindResourceW(instance, name, MAKEINTRESOURCEW(type));
    *size = SizeofResource(instance, res);
    return LoadResource(instance, res);
}

}  // namespace

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    DWORD size;
    const void* data = Find(instance, name, RT_BITMAP, &size);
    if (data && size >= 4) {
        const BYTE* p = (const BYTE*)data;
        int w = p[0] | p[1] << 8, h = p[2] | p[3] << 8;
        size_t rowBytes = (size_t)(w + 15) / 16 * 2;
        if (w > 0 && h > 0 && size == 4 + rowBytes * h) return CreateBitmap(w, h, 1, 1, p + 4);
    }
    int w, h;
    const uint32_t* pixels;
    if (!ImageResource(data, size, &w, &h, &pixels)) return nullptr;
    // The resource bytes may be unaligned: copy them out row by row.
    uint32_t* copy = new (std::nothrow) uint32_t[(size_t)w * h];
    if (!copy) return nullptr;
    std::memcpy(copy, pixels, (size_t)w * h * 4);
    HBITMAP bitmap = CreateBitmap(w, h, 1, 32, copy);
    delete[] copy;
    return bitmap;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    DWORD size;
    const void* data = Find(instance, name, RT_GROUP_ICON, &size);
    int w, h;
    const uint32_t* pixels;
    return ImageResource(data, size, &w, &h, &pixels) ? (HICON)data : nullptr;
}

bool IconPixels(HICON icon, int* width, int* height, const uint32_t** pixels) {
    if (!icon) return false;
    const BYTE* p = (const BYTE*)icon;
    int w = p[0] | p[1] << 8, h = p[2] | p[3] << 8;
    *width = w;
    *height = h;
    *pixels = (const uint32_t*)(p + 4);
    return w > 0 && h > 0;
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    DWORD bytes;
    const void* data = Find(instance, MAKEINTRESOURCEW(id), RT_STRING, &bytes);
    if (!data) {
        buffer[0] = 0;
        return 0;
    }
    int n = (int)(bytes / 2);
    if (n > size - 1) n = size - 1;
    std::memcpy(buffer, data, (size_t)n * 2);
    buffer[n] = 0;
    return n;
}
