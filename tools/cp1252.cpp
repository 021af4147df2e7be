#include "tools/cp1252.h"

namespace {

// 0x80-0x9F; 0 where the code page leaves the byte undefined.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

int Cp1252FromCodePoint(uint32_t cp) {
    if (cp >= 0x20 && cp <= 0x7E) return (int)cp;
    if (cp >= 0xA0 && cp <= 0xFF) return (int)cp;
    if (cp == 0) return -1;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

uint32_t Cp1252ToCodePoint(uint8_t b) {
    if (b >= 0x20 && b <= 0x7E) return b;
    if (b >= 0xA0) return b;
    if (b >= 0x80 && b <= 0x9F) return kHigh[b - 0x80];
    return 0;
}

void AppendUtf8(std::string* out, uint32_t cp) {
    if (cp < 0x80) {
        out->push_back((char)cp);
    } else if (cp < 0x800) {
        out->push_back((char)(0xC0 | cp >> 6));
        out->push_back((char)(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back((char)(0xE0 | cp >> 12));
        out->push_back((char)(0x80 | (cp >> 6 & 0x3F)));
        out->push_back((char)(0x80 | (cp & 0x3F)));
    } else {
        out->push_back((char)(0xF0 | cp >> 18));
        out->push_back((char)(0x80 | (cp >> 12 & 0x3F)));
        out->push_back((char)(0x80 | (cp >> 6 & 0x3F)));
        out->push_back((char)(0x80 | (cp & 0x3F)));
    }
}

int64_t DecodeUtf8(const std::string& s, size_t* at) {
    uint8_t b = (uint8_t)s[*at];
    int extra;
    uint32_t cp;
    if (b < 0x80) {
        ++*at;
        return b;
    } else if (b >= 0xC2 && b <= 0xDF) {
        extra = 1, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3, cp = b & 0x07;
    } else {
        return -1;
    }
    if (s.size() - *at <= (size_t)extra) return -1;
    for (int i = 1; i <= extra; ++i) {
        uint8_t c = (uint8_t)s[*at + i];
        if ((c & 0xC0) != 0x80) return -1;
        cp = cp << 6 | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    *at += extra + 1;
    return cp;
}
