// The article view's font cache: one StyleFont node per font key (the low five bits of
// a style code), created on first use from the view's FontSpec.
#pragma once

#include "platform/win_types.h"
#include "view/font_choice.h"

struct TextView;

struct StyleFont {
    StyleFont* next;  // null at the end of the list
    HFONT font;       // null when not created (or creation failed) or released
    BYTE key;         // style & kStyleFontKey
};

enum : int {
    kStyleFontKey = 0x1F,     // style bits that choose the font
    kSelectWithColour = 0x100 // SelectStyleFont: also set the text colour
};

// Creates the font of style `code` for the view's FontSpec (larger: size * 5 / 4 or 20,
// smaller: size * 6 / 8 or 14, bold: weight 700) and stores it in node->font. Returns
// the font; null when the GDI cannot create it (the node then holds null) or when
// view or node is null.
HFONT CreateStyleFont(TextView* view, StyleFont* node, int code);

// Selects the font of style code & 0xFF into the view's DC, creating its node on first
// use; with kSelectWithColour also sets the text colour (heading blue for keys with
// bits 2 and 3, else black). Returns the font selected before, which callers keep from
// their first call and select back when their pass ends. Null for a null view. When the
// font cannot be made (no memory for a node, or the GDI fails) the DC keeps its current
// font and that font is returned, so selecting it back stays correct.
HFONT SelectStyleFont(TextView* view, int code);

// With spec: copies it into the view, recreates every font, lays the current text out
// again and repaints with erasing; returns the paint's result, or 1 when the layout
// fails. With null: releases every node's font (the nodes stay) and returns 0. -1 for a
// null view.
int SetViewFont(TextView* view, const FontSpec* spec);
