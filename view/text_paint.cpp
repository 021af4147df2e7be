#include "view/text_paint.h"

#include "platform/gdi.h"
#include "view/text_primitives.h"

namespace {

bool IsRule(int style) { return (style & kLineRule) == kLineRule; }

// The first line to draw and where it goes. A top line past the total is brought back
// to the max top line; a top line on a blank row starts one row lower.
const LineRecord* FirstLineToDraw(TextView* view, int* y, int* room) {
    if (view->topLine > view->displayLines) view->topLine = view->maxTopLine;
    const LineRecord* line = view->lines;
    const LineRecord* skipped = nullptr;
    int row = 0;
    while (line->style != 0 && row < view->topLine) {
        row += (line->style & kLineBlankRow) ? 2 : 1;
        skipped = line++;
    }
    *y = view->y;
    *room = view->height;
    if (row > view->topLine && skipped) {
        *y += skipped->height;
        *room -= skipped->height;
    }
    return line;
}

// Style to select first: rules have no font of their own.
int FirstStyle(const LineRecord* line) { return IsRule(line->style) ? 1 : line->style; }

}  // namespace

void FillViewRect(HDC dc, const ViewRect* rect, int brush) {
    if (!rect) return;
    RECT r = {rect->x, rect->y, rect->x + rect->width, rect->y + rect->height};
    FillRect(dc, &r, GetStockObject(brush));
}

int PaintTextView(TextView* view, int erase) {
    if (!view || !view->text || !view->lines) return kViewNoView;
    HDC dc = view->dc;
    view->linesShown = 0;
    int y, room;
    const LineRecord* line = FirstLineToDraw(view, &y, &room);
    int c = FirstStyle(line);
    COLORREF oldColour = GetTextColor(dc);
    HFONT kept = SelectStyleFont(view, c | kSelectWithColour);
    if (erase) {
        ViewRect all = {view->x, view->y, view->width, view->height};
        FillViewRect(dc, &all, WHITE_BRUSH);
    }
    for (; line->style != 0; ++line) {
        int h = line->height;
        if (room < h) break;
        if (IsRule(line->style)) {
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
            int middle = y + h / 2;
            Rectangle(dc, line->x, middle, line->x + line->width, middle + 1);
            SelectObject(dc, oldBrush);
        } else {
            if ((line->style ^ c) & kStyleFontKey) {
                SelectStyleFont(view, line->style | kSelectWithColour);
                c = line->style;
            }
            const BYTE* t = view->text + line->offset;
            if (line->hang) {
                int labelWidth = line->hang;
                int labelCount = LabelLength(t);
                MeasureText(dc, t, &labelWidth, &labelCount);
                DrawTextRun(dc, t, labelCount, line->x - line->hang, y, labelWidth, h);
                t += LabelSpan(t);
            }
            DrawTextRun(dc, t, line->count, line->x, y, line->width, h);
        }
        y += h;
        room -= h;
        ++view->linesShown;
        if (line->style & kLineBlankRow) {
            y += h;
            room -= h;
            ++view->linesShown;
        }
    }
    SelectObject(dc, kept);
    SetTextColor(dc, oldColour);
    if (view->highlightStart != 0 || view->highlightEnd != 0) return PaintHighlight(view);
    return kViewOk;
}

int PaintHighlight(TextView* view) {
    if (!view || !view->text || !view->lines) return kViewNoView;
    HDC dc = view->dc;
    int y, room;
    const LineRecord* line = FirstLineToDraw(view, &y, &room);
    int c = FirstStyle(line);
    HFONT kept = SelectStyleFont(view, c);
    for (; line->style != 0 && room >= line->height; ++line) {
        int h = line->height;
        if (!IsRule(line->style)) {
            const BYTE* t = view->text + line->offset;
            int k = line->hang ? LabelSpan(t) : 0;
            if (view->highlightEnd >= line->offset && view->highlightStart <= line->offset + k + line->count) {
                if ((line->style ^ c) & kStyleFontKey) {
                    SelectStyleFont(view, line->style);
                    c = line->style;
                }
                if (line->hang) {
                    // Only the label characters that painting showed in the column.
                    int labelWidth = line->hang;
                    int labelCount = LabelLength(t);
                    MeasureText(dc, t, &labelWidth, &labelCount);
                    HighlightSegment(view, t, labelCount, line->x - line->hang, y);
                    HighlightSegment(view, t + k, line->count, line->x, y);
                } else {
                    HighlightSegment(view, t, line->count, line->x, y);
                }
            }
        }
        y += h;
        room -= h;
        if (line->style & kLineBlankRow) {
            y += h;
            room -= h;
        }
    }
    SelectObject(dc, kept);
    return kViewOk;
}

void HighlightSegment(TextView* view, const BYTE* segment, int n, int x, int y) {
    if (!view || !view->text || !segment) return;
    HDC dc = view->dc;
    int offset = (int)(segment - view->text);
    int f = view->highlightStart - offset;
    int g = 0;
    if (f >= 0) {
        n -= f;
        if (n < 0) return;
        if (f > 0) {
            int length = 0;
            WCHAR* wide = WidenText(segment, &g_widenBuffer, f);
            if (!wide) return;
            while (wide[length]) ++length;
            SIZE size = {0, 0};
            GetTextExtentExPointW(dc, wide, length, -1, nullptr, nullptr, &size);
            g = size.cx;
        }
        segment += f;
        offset += f;
    }
    int end = view->highlightEnd - offset;
    if (n > end) n = end;
    if (n <= 0) return;
    WCHAR* wide = WidenText(segment, &g_widenBuffer, n);
    if (!wide) return;
    int length = 0;
    while (wide[length]) ++length;
    SIZE size = {0, 0};
    GetTextExtentExPointW(dc, wide, length, -1, nullptr, nullptr, &size);
    DrawColouredText(dc, segment, n, x + g, y, size.cx, size.cy, kColourHighlightText, kColourHighlightBack);
}
