// Painting the laid-out lesson of a TextView, its search highlight, and scrolling.
#pragma once

#include "platform/win_types.h"
#include "view/text_view.h"

// A rectangle as x, y, width and height.
struct ViewRect {
    int32_t x, y, width, height;
};

// Paints every line that fits completely, from the top line down (a top line beyond
// the display-line total first becomes the max top line); with `erase` the rectangle
// is filled white first. Sets linesShown to the rows drawn (blank rows after drawn
// lines included, a blank row at the very top not). Then the highlight, if one is set.
// -1 (nothing drawn) without view, text or table; else 0.
int PaintTextView(TextView* view, int erase);

// Draws the highlighted characters of the visible lines in blue on yellow. -1 without
// view, text or table; else 0.
int PaintHighlight(TextView* view);

// Draws the part of the run of n characters at `segment` (a pointer into the view's
// text), drawn at x, y, that lies inside the highlight range.
void HighlightSegment(TextView* view, const BYTE* segment, int n, int x, int y);

// Moves the top line by delta display rows. repaint 0: never paint; 1: paint (erasing)
// only if the top line changed; other: always paint. clamp: also refuse to scroll down
// from the max top line when the target is within the total. Returns -1 for a null
// view, 1 when nothing changed and nothing was painted, 3 when the top line moved
// without painting, else PaintTextView's result.
int ScrollTextView(TextView* view, int delta, int repaint, int clamp);

// Fills the rectangle with the stock brush of that index (WHITE_BRUSH, BLACK_BRUSH...).
void FillViewRect(HDC dc, const ViewRect* rect, int brush);
