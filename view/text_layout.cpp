#include <cstring>

#include "platform/gdi.h"
#include "platform/heap.h"
#include "view/text_primitives.h"
#include "view/text_view.h"

namespace {

enum : int { kTableStep = 128 };

struct FontMetrics {
    int height;
    int widest;
};

FontMetrics SelectedMetrics(HDC dc) {
    TEXTMETRICW tm;
    std::memset(&tm, 0, sizeof tm);
    GetTextMetricsW(dc, &tm);
    return {(int)tm.tmHeight, (int)tm.tmMaxCharWidth};
}

bool IsRule(int style) { return (style & kLineRule) == kLineRule; }

// True when only spaces (or nothing) follow: the line then ends its paragraph even if
// the trailing spaces did not fit, so the paragraph keeps its blank row.
bool OnlySpacesFrom(const BYTE* s) {
    while (*s == ' ') ++s;
    return *s == 0;
}

int AlignedX(const TextView* view, int style, int indent, int m, int width) {
    int x;
    switch (style & kLineAlign) {
    case kLineAlignRight: x = view->x + view->width - m - width; break;
    case kLineAlignCentre: x = view->x + indent + (view->width - m - width) / 2; break;
    default: x = view->x + m; break;
    }
    // Only a line forced wider than its room can land left of the view.
    return x < view->x ? view->x : x;
}

}  // namespace

int LabelLength(const BYTE* text) {
    int n = 0;
    while (text[n] && text[n] != ' ') ++n;
    return n;
}

int LabelSpan(const BYTE* text) {
    int n = LabelLength(text);
    while (text[n] == ' ') ++n;
    return n;
}

TextView* CreateTextView(HDC dc, const RECT* rect, const FontSpec* font, WORD capacity) {
    if (!dc) return nullptr;
    TextView* view = (TextView*)LocalAlloc(LPTR, sizeof(TextView));
    if (!view) return nullptr;
    view->dc = dc;
    if (font) view->font = *font;
    if (rect) {
        view->x = rect->left;
        view->y = rect->top;
        view->width = rect->right - rect->left;
        view->height = rect->bottom - rect->top;
    }
    if (capacity != 0) {
        view->lines = (LineRecord*)LocalAlloc(LMEM_FIXED, ((size_t)capacity + 1) * sizeof(LineRecord));
        if (view->lines) {
            std::memset(&view->lines[0], 0, sizeof(LineRecord));
            view->capacity = capacity;
        }
    }
    return view;
}

int ResizeTextView(TextView* view, int width, int height) {
    if (!view) return kViewNoView;
    if (width <= 0 || height <= 0) return kViewBadSize;
    view->width = width;
    view->height = height;
    return LayoutText(view, view->text, 0);
}

int DestroyTextView(TextView* view, int release) {
    if (!view) return kViewNoView;
    LocalFree(view->text);
    view->text = nullptr;
    LocalFree(view->lines);
    view->lines = nullptr;
    view->capacity = 0;
    view->lineCount = 0;
    view->displayLines = 0;
    view->maxTopLine = 0;
    SetViewFont(view, nullptr);
    for (StyleFont* node = view->styleFonts; node;) {
        StyleFont* next = node->next;
        LocalFree(node);
        node = next;
    }
    view->styleFonts = nullptr;
    if (release) LocalFree(view);
    return kViewOk;
}

int GrowLineTable(TextView* view, int index) {
    if (!view || !view->lines) return kViewNoView;
    LineRecord* fresh = nullptr;
    // Line numbers are 16-bit: a table past 65,535 lines cannot be described.
    if ((int)view->capacity + kTableStep <= 0xFFFF)
        fresh = (LineRecord*)LocalAlloc(LMEM_FIXED, ((size_t)view->capacity + kTableStep + 1) * sizeof(LineRecord));
    if (!fresh) {
        if (index >= 0 && index <= view->capacity) std::memset(&view->lines[index], 0, sizeof(LineRecord));
        return kViewGrowFailed;
    }
    std::memcpy(fresh, view->lines, (size_t)view->capacity * sizeof(LineRecord));
    LocalFree(view->lines);
    view->lines = fresh;
    view->capacity += kTableStep;
    return kViewOk;
}

int LayoutText(TextView* view, BYTE* text, int replace) {
    if (!view) return kViewNoView;
    view->highlightStart = 0;
    view->highlightEnd = 0;
    view->displayLines = 0;
    view->maxTopLine = 0;
    // Releasing the text about to be laid out would leave the layout reading freed memory.
    if (text == view->text) replace = 0;
    if (!text) {
        if (replace) {
            LocalFree(view->text);
            view->text = nullptr;
        }
        return kViewNoText;
    }
    if (text[0] == 0 || (!IsRule(text[0]) && text[2] == 0)) return kViewMalformed;
    if (replace) {
        LocalFree(view->text);
        view->text = nullptr;
    }
    if (!view->lines || view->capacity == 0) {
        LineRecord* table = (LineRecord*)LocalAlloc(LMEM_FIXED, (kTableStep + 1) * sizeof(LineRecord));
        if (!table) return kViewNoMemory;
        LocalFree(view->lines);
        view->lines = table;
        view->capacity = kTableStep;
    }

    HDC dc = view->dc;
    HFONT kept = SelectStyleFont(view, 1);
    FontMetrics metrics = SelectedMetrics(dc);
    int h = metrics.height;
    int i = 0;
    int total = 0;        // blank rows so far; the lines are added at the end
    uint16_t R = 0;       // running indent
    int previousStyle = 1;
    int d = 0;            // parameter byte of the previous record

    const BYTE* record = text;
    while (record[0] != 0) {
        int style = record[0];
        int a = record[1];
        const BYTE* s = record + 2;
        int textLength = (int)std::strlen((const char*)s);
        const BYTE* next = s + textLength + 1;
        int L = a >> 6;

        if (L != 0 && s[0] == ' ' && i > 0) {
            // A continuation paragraph goes on at the column the item before it left,
            // moved by the difference of the two indents.
            if ((a ^ d) & 0x3F) R = (uint16_t)(R + (a & 0x3F) - (d & 0x3F));
            L = 0;
        } else {
            R = (uint16_t)a;
        }
        d = a;

        if (IsRule(style)) {
            if (a != 0) {
                if (i >= view->capacity && GrowLineTable(view, i) != kViewOk) {
                    SelectObject(dc, kept);
                    return kViewNoMemory;
                }
                int W = (uint16_t)view->width;
                int ruleWidth = a <= 160 ? a : 2 * (a - 160) * W / 100;
                if (ruleWidth > W) ruleWidth = W;
                LineRecord* line = &view->lines[i];
                line->offset = (uint16_t)(s - text);
                line->count = 0;
                line->hang = 0;
                line->width = (uint16_t)ruleWidth;
                line->height = (uint16_t)h;
                line->style = (uint8_t)style;
                int x = view->x;
                if ((style & kLineAlign) == kLineAlignRight)
                    x = view->x + W - ruleWidth;
                else if ((style & kLineAlign) == kLineAlignCentre)
                    x = view->x + (W - ruleWidth) / 2;
                line->x = (uint16_t)x;
                ++i;
                if (style & kLineBlankRow) ++total;
            }
            record = next;
            continue;
        }

        if ((style ^ previousStyle) & kStyleFontKey) {
            SelectStyleFont(view, style);
            metrics = SelectedMetrics(dc);
            h = metrics.height;
        }
        previousStyle = style;
        int f = textLength;
        int g = 0;
        if (L != 0) {
            R = (uint16_t)(a & 0x3F);
            g = (L + 1) * metrics.widest / 2;
        }
        if (R >= view->width) R = 0;

        for (;;) {
            while (*s == ' ') {
                ++s;
                --f;
            }
            if (*s == 0) break;
            if (i >= view->capacity && GrowLineTable(view, i) != kViewOk) {
                SelectObject(dc, kept);
                return kViewNoMemory;
            }
            int count = f;
            int A = view->width - R;
            const BYTE* label = nullptr;
            int labelSpan = 0;
            if (g != 0) {
                label = s;
                labelSpan = LabelSpan(s);
                count -= labelSpan;
                s += labelSpan;
                A -= g;
                if (A < 0) A = 0;
            }
            if (MeasureText(dc, s, &A, &count) != 0) {
                std::memset(&view->lines[i], 0, sizeof(LineRecord));
                SelectObject(dc, kept);
                return kViewNoMemory;
            }
            if (s[count] != 0 && s[count] != ' ') {
                // The fit ends inside a word: break after the last hyphen or before the
                // last space, never at the line's first position.
                int k = count - 1;
                while (k >= 1 && s[k] != ' ' && s[k] != '-') --k;
                if (k >= 1) {
                    count = s[k] == '-' ? k + 1 : k;
                    A = MeasuredPrefixWidth(count);
                }
            }
            if (count == 0 && !label && *s) {
                // Not even one character fits: place one anyway so the layout ends.
                int wide = 0x7FFF;
                count = 1;
                if (MeasureText(dc, s, &wide, &count) != 0) {
                    std::memset(&view->lines[i], 0, sizeof(LineRecord));
                    SelectObject(dc, kept);
                    return kViewNoMemory;
                }
                count = 1;
                A = wide;
            }
            if (label) s = label;

            LineRecord* line = &view->lines[i];
            line->offset = (uint16_t)(s - text);
            line->count = (uint16_t)count;
            line->hang = (uint16_t)g;
            line->width = (uint16_t)A;
            line->height = (uint16_t)h;
            int m = R + g;
            line->x = (uint16_t)AlignedX(view, style, R, m, A);
            R = (uint16_t)m;
            if (label) count += labelSpan;
            if (count == f || OnlySpacesFrom(s + count)) {
                line->style = (uint8_t)style;
                if (style & kLineBlankRow) ++total;
            } else {
                line->style = (uint8_t)(style & ~kLineBlankRow);
            }
            s += count;
            f -= count;
            ++i;
            g = 0;
        }
        record = next;
    }

    std::memset(&view->lines[i], 0, sizeof(LineRecord));
    view->lineCount = (uint16_t)i;
    total += i;
    if (i > 0 && (view->lines[i - 1].style & kLineBlankRow)) {
        --total;
        view->lines[i - 1].style &= (uint8_t)~kLineBlankRow;
    }
    view->displayLines = (uint16_t)total;
    view->text = text;
    ComputeMaxTopLine(view);
    SelectObject(dc, kept);
    return kViewOk;
}

int ComputeMaxTopLine(TextView* view) {
    if (!view || !view->lines || view->displayLines == 0 || view->lineCount == 0) return kViewNoView;
    int r = (int16_t)view->height;
    int n = 0;
    for (int j = view->lineCount - 1; j >= 0; --j) {
        const LineRecord* line = &view->lines[j];
        if (line->height > r) break;
        r -= line->height;
        ++n;
        if (line->style & kLineBlankRow) {
            r -= line->height;
            ++n;
        }
    }
    // The last row counted was a blank row whose line did not fit. (With no row
    // counted at all, as for a negative height, there is nothing to take back.)
    if (r < 0 && n > 0) --n;
    view->maxTopLine = (uint16_t)(view->displayLines - n);
    return view->maxTopLine;
}

int FindLineOfOffset(TextView* view, int offset) {
    if (!view || !view->lines || !view->text) return kViewNoView;
    int row = 0;
    for (const LineRecord* line = view->lines; line->style != 0; ++line) {
        int k = line->hang ? LabelSpan(view->text + line->offset) : 0;
        if (offset >= line->offset && offset <= line->offset + k + line->count) {
            view->topLine = (uint16_t)(row > view->maxTopLine ? view->maxTopLine : row);
            return 1;
        }
        row += (line->style & kLineBlankRow) ? 2 : 1;
    }
    return 0;
}
