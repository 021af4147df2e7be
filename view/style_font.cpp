#include "view/style_font.h"

#include <cstdint>
#include <cstring>

#include "platform/gdi.h"
#include "platform/heap.h"
#include "view/text_paint.h"
#include "view/text_primitives.h"
#include "view/text_view.h"

namespace {

// The font now selected into dc, leaving the selection as it is.
HFONT CurrentFont(HDC dc) {
    HFONT current = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (current) SelectObject(dc, current);
    return current;
}

}  // namespace

HFONT CreateStyleFont(TextView* view, StyleFont* node, int code) {
    if (!view || !node) return nullptr;
    LOGFONTW lf;
    std::memset(&lf, 0, sizeof lf);
    std::memcpy(lf.lfFaceName, view->font.face, sizeof lf.lfFaceName);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;  // a face read from the registry may lack its NUL
    int64_t s = view->font.size;
    int64_t height = s;
    if (code & 0x04)
        height = s != 0 ? s * 5 / 4 : 20;
    else if (code & 0x02)
        height = s != 0 ? s * 6 / 8 : 14;
    lf.lfHeight = (LONG)height;
    lf.lfWeight = (code & 0x08) ? FW_BOLD : FW_NORMAL;
    node->font = CreateFontIndirectW(&lf);
    return node->font;
}

HFONT SelectStyleFont(TextView* view, int code) {
    if (!view) return nullptr;
    BYTE key = (BYTE)(code & kStyleFontKey);
    StyleFont* node = view->styleFonts;
    StyleFont* failed = nullptr;
    for (; node; node = node->next) {
        if (node->key != key) continue;
        if (node->font) break;
        if (!failed) failed = node;
    }
    if (!node) {
        // A node whose font could not be made is tried again in place: a fresh node
        // each time would grow the list at every paint while creation keeps failing.
        node = failed;
        if (!node) {
            node = (StyleFont*)LocalAlloc(LPTR, sizeof(StyleFont));
            if (node) {
                node->key = key;
                node->next = view->styleFonts;
                view->styleFonts = node;
            }
        }
        if (node) CreateStyleFont(view, node, key);
    }
    if (code & kSelectWithColour)
        SetTextColor(view->dc, (key & 0x0C) == 0x0C ? kColourHeadingBlue : kColourBlack);
    if (!node || !node->font) return CurrentFont(view->dc);
    return SelectObject(view->dc, node->font);
}

int SetViewFont(TextView* view, const FontSpec* spec) {
    if (!view) return kViewNoView;
    if (!spec) {
        for (StyleFont* node = view->styleFonts; node; node = node->next) {
            if (node->font) DeleteObject(node->font);
            node->font = nullptr;
        }
        return kViewOk;
    }
    if (spec != &view->font) view->font = *spec;
    for (StyleFont* node = view->styleFonts; node; node = node->next) {
        if (node->font) DeleteObject(node->font);
        node->font = nullptr;
        CreateStyleFont(view, node, node->key);
    }
    if (LayoutText(view, view->text, 0) != kViewOk) return kViewLayoutFailed;
    return PaintTextView(view, 1);
}
