// Measuring and drawing text: extents from integer advances, and glyphs blended onto
// the target at pen positions that are the running sums of those same advances.
#include <algorithm>
#include <string>
#include <vector>

#include "gdi_internal.h"

namespace {

int TextLength(LPCWSTR text) {
    int n = 0;
    while (text[n]) ++n;
    return n;
}

int RunWidth(FontInstance* f, const WCHAR* text, int n) {
    int w = 0;
    for (int i = 0; i < n; ++i) w += FontAdvance(f, text[i]);
    return w;
}

uint32_t Blend(uint32_t fg, uint32_t bg, unsigned a) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned f = (fg >> shift) & 0xFF, b = (bg >> shift) & 0xFF;
        out |= ((f * a + b * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

// Draws n units with the cell's top-left at (x, y) in DC coordinates, clipped to the
// target and to `clip` (DC coordinates) when given. Units [ulFrom, ulTo) are
// underlined. `dx` optionally overrides the advances.
void DrawRun(DcRec* d, const DrawTarget& t, const WCHAR* text, int n, int x, int y, const RECT* clip,
             const int* dx, int ulFrom, int ulTo) {
    bool fontUnderline = false;
    FontInstance* f = GdiDcFont(d, &fontUnderline);
    if (fontUnderline) ulFrom = 0, ulTo = n;
    RECT area;
    RECT limit = clip ? *clip : RECT{-0x3FFFFFFF, -0x3FFFFFFF, 0x3FFFFFFF, 0x3FFFFFFF};
    if (!GdiClipRect(t, limit.left, limit.top, limit.right, limit.bottom, &area)) return;
    uint32_t fg = GdiPixel(d->textColour);
    Surface* s = t.surface;
    int ascent = FontAscent(f), height = FontHeight(f);
    long baseline = (long)y + ascent + t.origin.y;
    long pen = (long)x + t.origin.x;
    int ulRow = std::min(ascent + 1, height - 1);
    for (int i = 0; i < n; ++i) {
        const GlyphInfo* g = FontGlyph(f, text[i]);
        int advance = dx ? dx[i] : FontAdvance(f, text[i]);
        if (g->coverage) {
            long gx = pen + g->left, gy = baseline - g->top;
            for (int row = 0; row < g->height; ++row) {
                long py = gy + row;
                if (py < area.top || py >= area.bottom) continue;
                const uint8_t* cov = g->coverage + (size_t)row * g->width;
                uint32_t* out = s->pixels + (size_t)py * s->width;
                for (int col = 0; col < g->width; ++col) {
                    long px = gx + col;
                    if (px < area.left || px >= area.right || !cov[col]) continue;
                    out[px] = cov[col] == 255 ? fg : Blend(fg, out[px], cov[col]);
                }
            }
        }
        if (i >= ulFrom && i < ulTo) {
            long py = (long)y + ulRow + t.origin.y;
            if (py >= area.top && py < area.bottom)
                for (long px = std::max<long>(pen, area.left); px < std::min<long>(pen + advance, area.right); ++px)
                    s->pixels[(size_t)py * s->width + px] = fg;
        }
        pen += advance;
    }
}

void FillDc(const DrawTarget& t, const RECT& r, COLORREF colour) {
    RECT c;
    if (GdiClipRect(t, r.left, r.top, r.right, r.bottom, &c)) GdiFillSurface(t.surface, c, GdiPixel(colour));
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
           std::to_string(r.bottom - r.top);
}

// One line of a DrawTextW layout: a range of the display text.
struct Line {
    int from, count, width;
};

// Splits the display text into lines: at line breaks unless single-line, and at
// spaces where a word would pass the width with DT_WORDBREAK.
void BreakLines(FontInstance* f, const std::u16string& s, UINT format, int width, std::vector<Line>* lines) {
    int n = (int)s.size();
    if (format & DT_SINGLELINE) {
        lines->push_back(Line{0, n, RunWidth(f, s.data(), n)});
        return;
    }
    int start = 0;
    while (start <= n) {
        int end = start;
        while (end < n && s[end] != '\n' && s[end] != '\r') ++end;
        // The paragraph [start, end).
        int p = start;
        do {
            int lineEnd = end;
            if (format & DT_WORDBREAK) {
                int w = 0, lastBreak = -1;
                for (int i = p; i < end; ++i) {
                    if (s[i] == ' ') lastBreak = i;
                    w += FontAdvance(f, s[i]);
                    if (w > width && s[i] != ' ' && lastBreak > p) {
                        lineEnd = lastBreak;
                        break;
                    }
                }
            }
            int visible = lineEnd;
            while (visible > p && s[visible - 1] == ' ' && lineEnd < end) --visible;
            lines->push_back(Line{p, visible - p, RunWidth(f, s.data() + p, visible - p)});
            p = lineEnd;
            while (p < end && s[p] == ' ' && lineEnd < end) ++p;
        } while (p < end);
        if (end >= n) break;
        start = end + ((s[end] == '\r' && end + 1 < n && s[end + 1] == '\n') ? 2 : 1);
        if (start == n) break;  // a final line break adds no empty line
    }
}

}  // namespace

BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int n, int maxExtent, int* fit, int* dx, SIZE* size) {
    DcRec* d = GdiDc(dc);
    if (!d || !size || n < 0 || (n > 0 && !text)) return FALSE;
    FontInstance* f = GdiDcFont(d, nullptr);
    int sum = 0, fitted = 0;
    bool fitting = true;
    for (int i = 0; i < n; ++i) {
        sum += FontAdvance(f, text[i]);
        if (dx) dx[i] = sum;
        if (fitting && (maxExtent < 0 || sum <= maxExtent))
            fitted = i + 1;
        else
            fitting = false;
    }
    if (fit) *fit = fitted;
    size->cx = sum;
    size->cy = FontHeight(f);
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int n, SIZE* size) {
    return GetTextExtentExPointW(dc, text, n, -1, nullptr, nullptr, size);
}

int DrawTextW(HDC dc, LPCWSTR text, int n, RECT* rect, UINT format) {
    DcRec* d = GdiDc(dc);
    if (!d || !rect) return 0;
    if (!text) n = 0;
    if (n < 0) n = TextLength(text);
    FontInstance* f = GdiDcFont(d, nullptr);

    // The display text: '&' marks the next unit as underlined, "&&" is one '&'.
    std::u16string shown;
    shown.reserve((size_t)n);
    int prefixAt = -1;
    for (int i = 0; i < n; ++i) {
        if (!(format & DT_NOPREFIX) && text[i] == '&' && i + 1 < n) {
            ++i;
            if (text[i] != '&') prefixAt = (int)shown.size();
        }
        shown += text[i];
    }

    std::vector<Line> lines;
    BreakLines(f, shown, format, (int)(rect->right - rect->left), &lines);
    int lineHeight = FontHeight(f);
    int total = lineHeight * (int)lines.size();
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& l : lines) widest = std::max(widest, l.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total;
        return total;
    }

    GdiTrace(d, "DrawText %s %s fg=%06x bg=%s font=%s flags=%04x\n", GdiTraceText(text, n).c_str(),
             RectText(*rect).c_str(), (unsigned)d->textColour,
             GdiTraceColour(d->bkColour, d->bkMode == TRANSPARENT).c_str(), GdiTraceFont(d).c_str(), format);
    DrawTarget t;
    if (!GdiTarget(d, &t)) return 0;
    if (d->bkMode == OPAQUE) FillDc(t, *rect, d->bkColour);

    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (int)(rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
    for (const Line& l : lines) {
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (int)(rect->right - rect->left - l.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - l.width;
        int ul = prefixAt - l.from;
        DrawRun(d, t, shown.data() + l.from, l.count, x, y, clip, nullptr, ul, ul + 1);
        y += lineHeight;
    }
    return total;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT n, const int* dx) {
    DcRec* d = GdiDc(dc);
    if (!d) return FALSE;
    if (!text) n = 0;
    std::string extra;
    if (rect && (options & ETO_OPAQUE)) extra += " opaque=" + RectText(*rect);
    if (rect && (options & ETO_CLIPPED)) extra += " clip=" + RectText(*rect);
    GdiTrace(d, "ExtTextOut %s %d,%d fg=%06x bg=%s font=%s%s\n", GdiTraceText(text, (int)n).c_str(), x, y,
             (unsigned)d->textColour, GdiTraceColour(d->bkColour, d->bkMode == TRANSPARENT).c_str(),
             GdiTraceFont(d).c_str(), extra.c_str());
    DrawTarget t;
    if (!GdiTarget(d, &t)) return FALSE;
    FontInstance* f = GdiDcFont(d, nullptr);
    const RECT* clip = rect && (options & ETO_CLIPPED) ? rect : nullptr;
    if (rect && (options & ETO_OPAQUE)) FillDc(t, *rect, d->bkColour);
    if (d->bkMode == OPAQUE && n > 0) {
        int width = 0;
        for (UINT i = 0; i < n; ++i) width += dx ? dx[i] : FontAdvance(f, text[i]);
        RECT cell{x, y, x + width, y + FontHeight(f)};
        if (clip) {
            cell.left = std::max(cell.left, clip->left);
            cell.top = std::max(cell.top, clip->top);
            cell.right = std::min(cell.right, clip->right);
            cell.bottom = std::min(cell.bottom, clip->bottom);
        }
        FillDc(t, cell, d->bkColour);
    }
    DrawRun(d, t, text, (int)n, x, y, clip, dx, -1, -1);
    return TRUE;
}
