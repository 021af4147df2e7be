// The baseline of the start-up benchmark: a process that only brings up fontconfig and
// FreeType (through the platform's GDI) and draws one line of text, then exits.
#include "platform/gdi.h"

int main() {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 480, 32);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    LOGFONTW lf = {};
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT r = {0, 0, 480, 32};
    int drawn = DrawTextW(dc, u"A Field Guide to the Elements", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return drawn > 0 ? 0 : 1;
}
