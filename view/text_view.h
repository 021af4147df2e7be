// The article view: one lesson laid out into a table of lines for a rectangle of a
// device context. Vertical positions count display rows: each line is one row, and a
// line whose style has bit 7 is followed by one blank row of its height.
//
// Ownership: the view owns its line table, its style fonts and the lesson text it
// shows; it borrows the device context. Texts handed to LayoutText must come from
// LocalAlloc (as LoadContentResource's do): the view releases them with LocalFree.
#pragma once

#include "platform/win_types.h"
#include "view/font_choice.h"
#include "view/style_font.h"
#include "view/view_result.h"

enum : BYTE {
    kLineRule = 0x07,       // style & kLineRule == kLineRule: a rule line
    kLineBlankRow = 0x80,   // a blank row follows the line
    kLineAlign = 0x60,      // 0x00 left, 0x20 right, 0x40 centred, 0x60 left
    kLineAlignRight = 0x20,
    kLineAlignCentre = 0x40,
};

// One screen line. A table of them ends with a record that is all zero (style 0).
struct LineRecord {
    uint16_t offset;  // byte offset in the lesson of the line's first character (of the
                      // label on a labelled first line; of the empty text on a rule)
    uint16_t count;   // characters of the text part (after the label and its spaces)
    uint16_t x;       // DC x of the text part (of the rule)
    uint16_t hang;    // width of the label column; 0 without a label
    uint16_t width;   // measured width of the text part; the rule's width
    uint16_t height;  // line height
    uint8_t style;    // the record's style code; bit 7 only on a paragraph's last line
};

struct TextView {
    LineRecord* lines;     // capacity + 1 records
    HDC dc;                // borrowed
    BYTE* text;            // the lesson shown, owned once laid out
    int32_t linesShown;    // display rows drawn by the last paint
    FontSpec font;         // the view's copy of the font choice
    StyleFont* styleFonts; // head of the font cache
    int32_t x, y, width, height;  // the text rectangle in DC pixels
    uint16_t topLine;      // display row at the top
    uint16_t displayLines; // display rows of the lesson
    uint16_t lineCount;    // records in use, the terminator not counted
    uint16_t capacity;     // records the table holds besides the terminator
    uint16_t maxTopLine;   // largest useful top line
    uint16_t highlightStart;  // byte offset of the first highlighted character
    uint16_t highlightEnd;    // just past the last; both 0: no highlight
};

// A view on `dc` with the rectangle left, top, right, bottom (null: all 0), a copy of
// `font` (null: all zero, the default font) and a table of `capacity` lines. Null when
// dc is null or the view cannot be allocated; a table that cannot be allocated leaves
// the view without one (the first layout allocates it).
TextView* CreateTextView(HDC dc, const RECT* rect, const FontSpec* font, WORD capacity);

// New width and height (x and y stay), then the current text laid out again. -1 for a
// null view, -5 (nothing changed) for a width or height below 1, else LayoutText's result.
int ResizeTextView(TextView* view, int width, int height);

// Releases the text, the line table and the style fonts with their nodes; with
// `release`, the view itself too. -1 for a null view, else 0.
int DestroyTextView(TextView* view, int release);

// Lays `text` out for the view's width. With `replace`, the view's previous text is
// released first (unless it is `text` itself); resize and font change pass the view's
// own text with replace = 0. Clears the highlight range; leaves the top line alone.
// Results:
//   0       done; the view owns text.
//   -1      null view; nothing changed.
//   2       text is null; with replace the old text is released.
//   0xFFFC  the first record has style 0, or is text with no characters; the view
//           keeps its text and lines, total and max top line 0.
//   0xFFFE  out of memory (initial table, table growth, or the measuring buffers);
//           with replace the old text is already released and the view has no text;
//           after a failed growth the table ends after the lines laid out so far and
//           the line count is stale; total and max top line are 0.
// Ownership: on every result but 0 the view has not taken `text` over; unless it was
// the view's own text already, the caller still owns it and must free it.
int LayoutText(TextView* view, BYTE* text, int replace);

// Enlarges the table by 128 records. On failure (no memory, or the 16-bit capacity
// would overflow) record `index` of the old table becomes the terminator and -2 is
// returned; -1 for a view without a table; else 0.
int GrowLineTable(TextView* view, int index);

// Stores and returns the max top line: the top line that shows the lesson's last line
// as low as possible while fully visible (0 when everything fits). -1, nothing
// stored, without view, table, display rows or lines.
int ComputeMaxTopLine(TextView* view);

// Finds the first line whose span (its offset up to offset + label and its spaces +
// count, both ends included) holds the byte offset and sets the top line to its row,
// limited to the max top line: returns 1. 0 (top line unchanged) when no line holds
// it; -1 without view, text or table.
int FindLineOfOffset(TextView* view, int offset);

// Characters of a label (up to the first space or the NUL) and of the label plus the
// spaces after it, at the start of a labelled line's text.
int LabelLength(const BYTE* text);
int LabelSpan(const BYTE* text);
