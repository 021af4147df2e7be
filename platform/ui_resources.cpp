#include "ui_resources.h"

#include <cstring>

#include "gdi.h"
#include "resource.h"

namespace {

// The width and height at the start of an image resource; false when there is none.
bool ImageHeader(const void* data, DWORD size, int* width, int* height) {
    if (!data || size < 4) return false;
    const BYTE* p = (const BYTE*)data;
    *width = p[0] | p[1] << 8;
    *height = p[2] | p[3] << 8;
    return *width > 0 && *height > 0;
}

// True when the resource holds a whole 32-bpp image after its header.
bool ColourImage(const void* data, DWORD size, int* width, int* height) {
    return ImageHeader(data, size, width, height) && (size_t)size - 4 >= (size_t)*width * *height * 4;
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
    int w, h;
    if (!ImageHeader(data, size, &w, &h)) return nullptr;
    const BYTE* bits = (const BYTE*)data + 4;
    // CreateBitmap copies the bits bytewise, so the resource's alignment does not matter.
    if (size == 4 + (size_t)(w + 15) / 16 * 2 * h) return CreateBitmap(w, h, 1, 1, bits);
    return ColourImage(data, size, &w, &h) ? CreateBitmap(w, h, 1, 32, bits) : nullptr;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    DWORD size;
    const void* data = Find(instance, name, RT_GROUP_ICON, &size);
    int w, h;
    return ColourImage(data, size, &w, &h) ? (HICON)data : nullptr;
}

bool IconPixels(HICON icon, int* width, int* height, const uint32_t** pixels) {
    // An icon handle is its resource, checked whole by LoadIconW.
    if (!ImageHeader(icon, 4, width, height)) return false;
    *pixels = (const uint32_t*)((const BYTE*)icon + 4);
    return true;
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
