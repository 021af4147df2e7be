// A memory DC with a 32-bpp bitmap selected, for the GDI tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HGDIOBJ oldFont = nullptr;
    HFONT font = nullptr;
    int width = 0, height = 0;

    Canvas(int w, int h) : width(w), height(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        oldBitmap = SelectObject(dc, bitmap);
        RECT all{0, 0, w, h};
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    ~Canvas() {
        if (font) {
            SelectObject(dc, oldFont);
            DeleteObject(font);
        }
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // Selects a new font of that face, height and weight (the canvas deletes it).
    void UseFont(const char16_t* face, int height, int weight = FW_NORMAL) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        std::memcpy(lf.lfFaceName, face, (std::char_traits<char16_t>::length(face) + 1) * sizeof(char16_t));
        HFONT f = CreateFontIndirectW(&lf);
        HGDIOBJ previous = SelectObject(dc, f);
        if (font) {
            DeleteObject(font);
        } else {
            oldFont = previous;
        }
        font = f;
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Rows of the rectangle as text: '.' white, '#' black, '?' anything else.
    std::vector<std::string> Picture(int left, int top, int right, int bottom) const {
        std::vector<std::string> rows;
        for (int y = top; y < bottom; ++y) {
            std::string row;
            for (int x = left; x < right; ++x) {
                COLORREF c = At(x, y);
                row += c == 0xFFFFFF ? '.' : c == 0 ? '#' : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }
    // The columns [first, last] that hold any non-white pixel; first > last if none.
    void InkColumns(int* first, int* last) const {
        *first = width;
        *last = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != 0xFFFFFF) {
                    if (x < *first) *first = x;
                    if (x > *last) *last = x;
                }
    }
    long InkCount() const {
        long n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += At(x, y) != 0xFFFFFF;
        return n;
    }
};
