// Compile-time builders that turn the readable tables of resources/ into the byte
// layouts the platform layer loads: menu templates, words, UTF-16 strings, and
// ASCII-art images in the 32-bpp and 1-bpp bitmap layouts. Everything here is
// evaluated by the compiler; a malformed table is a compile error, not a bad resource.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace res {

// ---- Little-endian words --------------------------------------------------------------

template <size_t N>
constexpr std::array<uint8_t, N * 2> Words(const uint16_t (&words)[N]) {
    std::array<uint8_t, N * 2> out{};
    for (size_t i = 0; i < N; ++i) {
        out[2 * i] = uint8_t(words[i] & 0xFF);
        out[2 * i + 1] = uint8_t(words[i] >> 8);
    }
    return out;
}

// ---- Strings: UTF-16 units without the terminator ----------------------------------

constexpr size_t TextLength(const char16_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

template <size_t N>
constexpr std::array<uint8_t, (N - 1) * 2> Utf16(const char16_t (&text)[N]) {
    std::array<uint8_t, (N - 1) * 2> out{};
    for (size_t i = 0; i + 1 < N; ++i) {
        out[2 * i] = uint8_t(text[i] & 0xFF);
        out[2 * i + 1] = uint8_t(text[i] >> 8);
    }
    return out;
}

// ---- Menus: the classic binary template --------------------------------------------
// Header (version 0, offset 0), then items: flags, an id for plain items, the text with
// its terminator. MF_POPUP items hold the items up to their EndPopup; the last item of
// each level carries MF_END.

enum MenuLineKind { MENU_POPUP, MENU_ITEM, MENU_SEPARATOR, MENU_END_POPUP };

struct MenuLine {
    MenuLineKind kind;
    uint16_t id;
    const char16_t* text;
};

constexpr MenuLine Popup(const char16_t* text) { return {MENU_POPUP, 0, text}; }
constexpr MenuLine Item(uint16_t id, const char16_t* text) { return {MENU_ITEM, id, text}; }
constexpr MenuLine Separator() { return {MENU_SEPARATOR, 0, u""}; }
constexpr MenuLine EndPopup() { return {MENU_END_POPUP, 0, nullptr}; }

constexpr uint16_t kMenuPopup = 0x10;  // MF_POPUP
constexpr uint16_t kMenuEnd = 0x80;    // MF_END

template <size_t N>
constexpr size_t MenuSize(const MenuLine (&lines)[N]) {
    size_t size = 4;
    for (const MenuLine& l : lines) {
        if (l.kind == MENU_END_POPUP) continue;
        size += 2 + (l.kind == MENU_POPUP ? 0 : 2) + (TextLength(l.text) + 1) * 2;
    }
    return size;
}

// Whether line i is the last of its level: the next line at its depth closes it, or
// the table ends.
template <size_t N>
constexpr bool LastOfLevel(const MenuLine (&lines)[N], size_t i) {
    int depth = lines[i].kind == MENU_POPUP ? 1 : 0;  // a popup's own items lie deeper
    for (size_t j = i + 1; j < N; ++j) {
        if (lines[j].kind == MENU_END_POPUP) {
            if (depth == 0) return true;
            --depth;
        } else if (depth == 0) {
            return false;
        } else if (lines[j].kind == MENU_POPUP) {
            ++depth;
        }
    }
    return true;
}

template <size_t Size, size_t N>
constexpr std::array<uint8_t, Size> MenuTemplate(const MenuLine (&lines)[N]) {
    std::array<uint8_t, Size> out{};
    size_t at = 4;  // version and header offset stay 0
    auto word = [&](uint16_t w) {
        out[at++] = uint8_t(w & 0xFF);
        out[at++] = uint8_t(w >> 8);
    };
    for (size_t i = 0; i < N; ++i) {
        const MenuLine& l = lines[i];
        if (l.kind == MENU_END_POPUP) continue;
        uint16_t flags = l.kind == MENU_POPUP ? kMenuPopup : 0;
        if (LastOfLevel(lines, i)) flags |= kMenuEnd;
        word(flags);
        if (l.kind != MENU_POPUP) word(l.id);
        for (const char16_t* s = l.text; *s; ++s) word(uint16_t(*s));
        word(0);
    }
    return out;
}

// ---- ASCII-art images ------------------------------------------------------------------
// Rows of equal length, top first; each character names a colour of the palette.

struct PaletteEntry {
    char key;
    uint32_t colour;  // 0x00RRGGBB; 0xFF000000 marks a transparent icon pixel
};

template <size_t H>
constexpr int ArtWidth(const char* const (&rows)[H]) {
    size_t w = 0;
    while (rows[0][w]) ++w;
    return int(w);
}

// Not constexpr: reaching it while the compiler builds an image fails the build with
// the message in view.
inline void ArtError(const char*) {}

template <size_t P>
constexpr uint32_t PaletteColour(const PaletteEntry (&palette)[P], char key) {
    for (const PaletteEntry& e : palette)
        if (e.key == key) return e.colour;
    ArtError("a character of the art is not in the palette");
    return 0;
}

// The 32-bpp layout: u16 width, u16 height, then u32 pixels (little-endian).
template <int W, int H, size_t P>
constexpr std::array<uint8_t, 4 + size_t(W) * H * 4> Image32(const char* const (&rows)[H],
                                                               const PaletteEntry (&palette)[P]) {
    std::array<uint8_t, 4 + size_t(W) * H * 4> out{};
    out[0] = uint8_t(W & 0xFF);
    out[1] = uint8_t(W >> 8);
    out[2] = uint8_t(H & 0xFF);
    out[3] = uint8_t(H >> 8);
    size_t at = 4;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (!rows[y][x]) ArtError("a row of the art is too short");
            uint32_t c = PaletteColour(palette, rows[y][x]);
            for (int b = 0; b < 4; ++b) out[at++] = uint8_t(c >> (8 * b));
        }
        if (rows[y][W]) ArtError("a row of the art is too long");
    }
    return out;
}

// A strip of same-sized images side by side, in the 32-bpp layout: image i covers the
// columns i * W to i * W + W - 1.
template <int W, int H, size_t P, size_t Count>
constexpr std::array<uint8_t, 4 + size_t(W) * Count * H * 4> Strip32(const char* const* const (&images)[Count],
                                                                       const PaletteEntry (&palette)[P]) {
    constexpr int SW = W * int(Count);
    std::array<uint8_t, 4 + size_t(SW) * H * 4> out{};
    out[0] = uint8_t(SW & 0xFF);
    out[1] = uint8_t(SW >> 8);
    out[2] = uint8_t(H & 0xFF);
    out[3] = uint8_t(H >> 8);
    for (size_t i = 0; i < Count; ++i)
        for (int y = 0; y < H; ++y) {
            const char* row = images[i][y];
            for (int x = 0; x < W; ++x) {
                if (!row[x]) ArtError("a row of the art is too short");
                uint32_t c = PaletteColour(palette, row[x]);
                size_t at = 4 + (size_t(y) * SW + i * W + x) * 4;
                for (int b = 0; b < 4; ++b) out[at + b] = uint8_t(c >> (8 * b));
            }
            if (row[W]) ArtError("a row of the art is too long");
        }
    return out;
}

// The 1-bpp layout: u16 width, u16 height, rows padded to 16 bits, most significant
// bit leftmost, 1 = white ('.'), 0 = black ('X').
template <int W, int H>
constexpr std::array<uint8_t, 4 + size_t((W + 15) / 16 * 2) * H> Image1(const char* const (&rows)[H]) {
    constexpr size_t rowBytes = size_t((W + 15) / 16 * 2);
    std::array<uint8_t, 4 + rowBytes * H> out{};
    out[0] = uint8_t(W & 0xFF);
    out[1] = uint8_t(W >> 8);
    out[2] = uint8_t(H & 0xFF);
    out[3] = uint8_t(H >> 8);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            char c = rows[y][x];
            if (c != 'X' && c != '.') ArtError("monochrome art takes only X and .");
            if (c == '.') out[4 + rowBytes * y + x / 8] |= uint8_t(0x80 >> (x % 8));
        }
        if (rows[y][W]) ArtError("a row of the art is too long");
    }
    return out;
}

}  // namespace res
