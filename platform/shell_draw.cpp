// The shell's look: grey faces with one-pixel light and dark edges, its font, and the
// small glyphs (check mark, arrows, cross) drawn with lines.
#include "gdi.h"
#include "shell_internal.h"
#include "window.h"

void ShellFill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH b = CreateSolidBrush(colour);
    if (!b) return;
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void ShellFrame(HDC dc, const RECT& r, COLORREF colour) {
    ShellFill(dc, RECT{r.left, r.top, r.right, r.top + 1}, colour);
    ShellFill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour);
    ShellFill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colour);
    ShellFill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colour);
}

void ShellEdge(HDC dc, const RECT& r, bool sunken) {
    COLORREF tl = sunken ? kShellDark : kShellLight, br = sunken ? kShellLight : kShellDark;
    ShellFill(dc, RECT{r.left, r.top, r.right, r.top + 1}, tl);
    ShellFill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, tl);
    ShellFill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
    ShellFill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
}

HFONT ShellFont(bool bold) {
    static HFONT fonts[2];
    HFONT& f = fonts[bold ? 1 : 0];
    if (!f) {
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        f = CreateFontIndirectW(&lf);
    }
    return f;
}

void ShellText(HDC dc, LPCWSTR text, int n, RECT r, UINT format, COLORREF colour, bool bold) {
    HGDIOBJ old = SelectObject(dc, ShellFont(bold));
    int mode = SetBkMode(dc, TRANSPARENT);
    COLORREF was = SetTextColor(dc, colour);
    DrawTextW(dc, text, n, &r, format);
    SetTextColor(dc, was);
    SetBkMode(dc, mode);
    if (old) SelectObject(dc, old);
}

int ShellTextWidth(LPCWSTR text, int n, bool bold) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ShellFont(bold));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text, n, &r, DT_SINGLELINE | DT_CALCRECT);
    if (old) SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return r.right - r.left;
}

namespace {
void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}
HPEN UsePen(HDC dc, COLORREF colour, HGDIOBJ* old) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    *old = pen ? SelectObject(dc, pen) : nullptr;
    return pen;
}
void DropPen(HDC dc, HPEN pen, HGDIOBJ old) {
    if (old) SelectObject(dc, old);
    if (pen) DeleteObject(pen);
}
}  // namespace

void ShellDrawCheck(HDC dc, const RECT& r, COLORREF colour) {
    HGDIOBJ old;
    HPEN pen = UsePen(dc, colour, &old);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    // Two strokes, two pixels thick: down-right then up-right.
    for (int t = 0; t < 2; ++t) {
        Line(dc, cx - 4, cy - 1 + t, cx - 1, cy + 2 + t);
        Line(dc, cx - 1, cy + 2 + t, cx + 5, cy - 4 + t);
    }
    DropPen(dc, pen, old);
}

void ShellDrawArrow(HDC dc, const RECT& r, bool up, COLORREF colour) {
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    // A triangle four rows high, seven pixels at its base.
    for (int i = 0; i < 4; ++i) {
        int y = up ? cy - 2 + i : cy + 1 - i;
        ShellFill(dc, RECT{cx - i, y, cx + i + 1, y + 1}, colour);
    }
}

void ShellDrawCross(HDC dc, const RECT& r, COLORREF colour) {
    HGDIOBJ old;
    HPEN pen = UsePen(dc, colour, &old);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    for (int t = 0; t < 2; ++t) {
        Line(dc, cx - 4 + t, cy - 4, cx + 5 + t, cy + 5);
        Line(dc, cx + 4 + t, cy - 4, cx - 5 + t, cy + 5);
    }
    DropPen(dc, pen, old);
}

bool ShellPointIn(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

HWND ShellTopLevel(HWND hwnd) {
    while (hwnd && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
    return hwnd;
}

namespace {
bool CanTake(HWND self, HWND h) {
    return h && h != self && IsWindow(h) && IsWindowVisible(h) && IsWindowEnabled(h) &&
           !(GetWindowLongW(h, GWL_STYLE) & WS_CHILD);
}
}  // namespace

void ShellGiveBackActivation(HWND self, HWND previous, HWND fallback) {
    if (CanTake(self, previous)) SetActiveWindow(previous);
    else if (CanTake(self, fallback)) SetActiveWindow(fallback);
}
