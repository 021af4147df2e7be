// The message box drawn by the shell: a caption with the title, the text word-wrapped
// beside a small icon, and its buttons. It runs its own loop with the owner disabled
// (the owner keeps painting); Return answers with the default button, Escape with
// Cancel (OK for a box with only OK). A WM_QUIT taken inside is posted again for the
// outer loop.
#include <algorithm>
#include <string>
#include <vector>

#include "dump.h"
#include "gdi.h"
#include "message.h"
#include "msgbox.h"
#include "shell_internal.h"
#include "window.h"

namespace {

enum : int {
    kWidth = 320,
    kCaption = 26,
    kMargin = 12,
    kIcon = 32,
    kButtonWidth = 64,
    kButtonHeight = 24,
    kButtonGap = 8,
};
const WCHAR kClass[] = u"HHMsgBox";

void OffsetBy(RECT* r) {
    r->left += 1;
    r->top += 1;
    r->right += 1;
    r->bottom += 1;
}

struct BoxButton {
    int id;
    const WCHAR* label;
    RECT rect;  // client coordinates
};

struct Box {
    HWND hwnd;
    std::u16string text;
    UINT type;
    std::vector<BoxButton> buttons;
    int def;       // index of the default button
    int pressed;   // index held down, -1 none
    RECT textRect;
    bool done;
    int result;
};
std::vector<Box*>& Open() {
    static std::vector<Box*> open;
    return open;
}

Box* Find(HWND hwnd) {
    for (Box* b : Open())
        if (b->hwnd == hwnd) return b;
    return nullptr;
}

void Buttons(UINT type, std::vector<BoxButton>* out) {
    static const struct {
        int ids[3];
    } kinds[] = {
        {{IDOK, 0, 0}},          {{IDOK, IDCANCEL, 0}},  {{IDABORT, IDRETRY, IDIGNORE}},
        {{IDYES, IDNO, IDCANCEL}}, {{IDYES, IDNO, 0}},   {{IDRETRY, IDCANCEL, 0}},
    };
    static const WCHAR* const labels[] = {u"", u"OK", u"Cancel", u"Abort", u"Retry", u"Ignore", u"Yes", u"No"};
    UINT kind = type & MB_TYPEMASK;
    if (kind > 5) kind = 0;
    for (int id : kinds[kind].ids)
        if (id) out->push_back(BoxButton{id, labels[id], {}});
}

// The answer of Escape, or 0 when the box has no way to cancel.
int EscapeAnswer(const Box& b) {
    for (const BoxButton& k : b.buttons)
        if (k.id == IDCANCEL) return IDCANCEL;
    return b.buttons.size() == 1 ? b.buttons[0].id : 0;
}

// The orderly close must end the box whatever its buttons, with the answer that
// changes least: No where there is one (a Cancel may mean more than "leave it", as in
// "remove and don't ask again"), else Escape's answer, else the last button.
int CloseAnswer(const Box& b) {
    for (const BoxButton& k : b.buttons)
        if (k.id == IDNO) return IDNO;
    int e = EscapeAnswer(b);
    return e ? e : b.buttons.back().id;
}

// From outside the box's loop (the close hook) a null message wakes the loop.
void Finish(Box* b, int result, bool wake = false) {
    if (b->done) return;
    b->done = true;
    b->result = result;
    if (wake) PostMessageW(nullptr, WM_NULL, 0, 0);
}

void Circle(HDC dc, int cx, int cy, int radius, COLORREF colour) {
    for (int dy = -radius; dy < radius; ++dy) {
        int half = 0;
        while ((half + 1) * (half + 1) + (dy + 0.5) * (dy + 0.5) <= radius * radius) ++half;
        ShellFill(dc, RECT{cx - half, cy + dy, cx + half, cy + dy + 1}, colour);
    }
}

void DrawIcon(HDC dc, UINT type, int x, int y) {
    UINT icon = type & 0xF0;
    RECT r{x, y, x + kIcon, y + kIcon};
    if (icon == MB_ICONEXCLAMATION) {
        // A yellow triangle with a black outline and "!".
        for (int row = 0; row < 28; ++row) {
            int half = row / 2 + 1;
            ShellFill(dc, RECT{x + 16 - half, y + 2 + row, x + 16 + half, y + 3 + row}, kShellBlack);
            if (row > 1 && row < 27)
                ShellFill(dc, RECT{x + 17 - half, y + 2 + row, x + 15 + half, y + 3 + row}, 0x00FFFF);
        }
        ShellText(dc, u"!", 1, RECT{x, y + 10, x + kIcon, y + kIcon}, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                  kShellBlack, true);
    } else if (icon == MB_ICONSTOP) {
        Circle(dc, x + 16, y + 16, 15, 0x0000C0);
        ShellDrawCross(dc, r, kShellLight);
    } else if (icon == MB_ICONQUESTION || icon == MB_ICONASTERISK) {
        Circle(dc, x + 16, y + 16, 15, 0xC00000);
        const WCHAR* mark = icon == MB_ICONQUESTION ? u"?" : u"i";
        ShellText(dc, mark, 1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, kShellLight, true);
    }
}

void Paint(Box* b, HDC dc) {
    RECT rc;
    GetClientRect(b->hwnd, &rc);
    ShellFill(dc, rc, kShellLight);
    RECT cap{rc.left, rc.top, rc.right, kCaption};
    ShellFill(dc, cap, kShellTaskBar);
    WCHAR title[128];
    int n = GetWindowTextW(b->hwnd, title, 128);
    ShellText(dc, title, n, RECT{8, 0, rc.right - 8, kCaption}, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
              kShellLight, true);
    ShellFrame(dc, rc, kShellBlack);
    if (b->type & 0xF0) DrawIcon(dc, b->type, kMargin, kCaption + kMargin);
    ShellText(dc, b->text.c_str(), (int)b->text.size(), b->textRect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX, kShellBlack);
    for (size_t i = 0; i < b->buttons.size(); ++i) {
        const BoxButton& k = b->buttons[i];
        bool down = (int)i == b->pressed;
        ShellFill(dc, k.rect, kShellGrey);
        ShellEdge(dc, k.rect, down);
        // The default button has a black outline around its edges.
        if ((int)i == b->def) ShellFrame(dc, RECT{k.rect.left - 1, k.rect.top - 1, k.rect.right + 1, k.rect.bottom + 1}, kShellBlack);
        RECT t = k.rect;
        if (down) OffsetBy(&t);
        ShellText(dc, k.label, -1, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE, kShellBlack);
    }
}

int ButtonAt(const Box& b, int x, int y) {
    for (size_t i = 0; i < b.buttons.size(); ++i)
        if (ShellPointIn(b.buttons[i].rect, x, y)) return (int)i;
    return -1;
}

void OnKey(Box* b, int vk) {
    int n = (int)b->buttons.size();
    switch (vk) {
        case VK_RETURN: Finish(b, b->buttons[(size_t)b->def].id); break;
        case VK_ESCAPE:
            if (int e = EscapeAnswer(*b)) Finish(b, e);
            break;
        case VK_LEFT: b->def = (b->def + n - 1) % n; InvalidateRect(b->hwnd, nullptr, FALSE); break;
        case VK_RIGHT:
        case VK_TAB: b->def = (b->def + 1) % n; InvalidateRect(b->hwnd, nullptr, FALSE); break;
    }
}

LRESULT BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Box* b = Find(hwnd);
    int x = (int16_t)LOWORD(lParam), y = (int16_t)HIWORD(lParam);
    if (b) switch (msg) {
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                if (dc) Paint(b, dc);
                EndPaint(hwnd, &ps);
                return 0;
            }
            case WM_ERASEBKGND: return 1;
            case WM_LBUTTONDOWN:
                b->pressed = ButtonAt(*b, x, y);
                if (b->pressed >= 0) SetCapture(hwnd);
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            case WM_LBUTTONUP: {
                int at = ButtonAt(*b, x, y), was = b->pressed;
                b->pressed = -1;
                if (GetCapture() == hwnd) ReleaseCapture();
                InvalidateRect(hwnd, nullptr, FALSE);
                if (at >= 0 && at == was) Finish(b, b->buttons[(size_t)at].id);
                return 0;
            }
            case WM_CLOSE: Finish(b, CloseAnswer(*b)); return 0;
        }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void DumpBox(HWND hwnd, DumpOut* out) {
    Box* b = Find(hwnd);
    if (!b) return;
    POINT o{0, 0};
    ClientToScreen(hwnd, &o);
    DumpPart(out, "text", b->text.c_str(), nullptr, nullptr);
    for (size_t i = 0; i < b->buttons.size(); ++i) {
        const BoxButton& k = b->buttons[i];
        RECT r{k.rect.left + o.x, k.rect.top + o.y, k.rect.right + o.x, k.rect.bottom + o.y};
        std::string kind = "button id=" + std::to_string(k.id);
        DumpPart(out, kind.c_str(), k.label, &r, (int)i == b->def ? "default" : nullptr);
    }
}

// Lays the box out and returns its size.
SIZE Layout(Box* b) {
    int width = std::min((int)kWidth, GetSystemMetrics(SM_CXSCREEN) - 2 * kMargin);
    int left = kMargin + ((b->type & 0xF0) ? kIcon + kMargin : 0);
    RECT text{left, kCaption + kMargin, width - kMargin, kCaption + kMargin};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ShellFont(false));
    DrawTextW(dc, b->text.c_str(), (int)b->text.size(), &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    if (old) SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    text.right = width - kMargin;
    b->textRect = text;
    int body = std::max((int)(text.bottom - text.top), (b->type & 0xF0) ? (int)kIcon : 0);
    int y = kCaption + kMargin + body + kMargin + 2;
    int n = (int)b->buttons.size();
    int total = n * kButtonWidth + (n - 1) * kButtonGap;
    int x = (width - total) / 2;
    for (BoxButton& k : b->buttons) {
        k.rect = RECT{x, y, x + kButtonWidth, y + kButtonHeight};
        x += kButtonWidth + kButtonGap;
    }
    return SIZE{width, y + kButtonHeight + kMargin - 2};
}

}  // namespace

bool MessageBoxModalCancel() {
    bool any = false;
    for (Box* b : Open())
        if (!b->done) {
            Finish(b, CloseAnswer(*b), true);
            any = true;
        }
    return any;
}

int MessageBoxModal(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    ShellInit();
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, kClass, &wc)) {
        wc.lpfnWndProc = BoxProc;
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
    }
    DumpAddHook(DumpBox);
    Box box{nullptr, text ? std::u16string(text) : std::u16string(), type, {}, 0, -1, {}, false, 0};
    Buttons(type, &box.buttons);
    UINT def = (type & MB_DEFMASK) >> 8;
    box.def = def < box.buttons.size() ? (int)def : 0;
    SIZE size = Layout(&box);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + (work.right - work.left - size.cx) / 2, y = work.top + (work.bottom - work.top - size.cy) / 2;

    HWND top = owner && IsWindow(owner) ? ShellTopLevel(owner) : nullptr;
    Open().push_back(&box);
    box.hwnd = CreateWindowExW(0, kClass, caption ? caption : u"", WS_POPUP, x, y, size.cx, size.cy, top, nullptr,
                               nullptr, nullptr);
    if (!box.hwnd) {
        Open().erase(std::find(Open().begin(), Open().end(), &box));
        return 0;
    }
    ShowWindow(box.hwnd, SW_SHOW);
    SetFocus(box.hwnd);
    bool reenable = top && !EnableWindow(top, FALSE);
    ShellTaskBarRefresh();

    while (!box.done && IsWindow(box.hwnd)) {
        MSG m;
        if (top && !PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) {
            SendMessageW(top, WM_ENTERIDLE, MSGF_DIALOGBOX, (LPARAM)box.hwnd);
            if (box.done) break;
        }
        BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(got == 0 ? (int)m.wParam : 1);
            Finish(&box, CloseAnswer(box));
            break;
        }
        // The box is modal: every key is its own.
        if (m.message == WM_KEYDOWN) {
            OnKey(&box, (int)m.wParam);
            continue;
        }
        if (m.message == WM_KEYUP || m.message == WM_CHAR) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    if (!box.done) box.result = CloseAnswer(box);  // the box went away with its owner
    Open().erase(std::find(Open().begin(), Open().end(), &box));
    // The owner first, so the activation goes back to it.
    if (reenable && IsWindow(top)) EnableWindow(top, TRUE);
    if (IsWindow(box.hwnd)) DestroyWindow(box.hwnd);
    ShellTaskBarRefresh();
    return box.result;
}
