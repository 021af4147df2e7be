// Popup menus: a top-level window above everything, drawn with check marks,
// separators and right-aligned shortcut text, run modally with the mouse captured.
// A press outside dismisses it; Up/Down/Return/Escape work while it is open.
#include <algorithm>
#include <string>
#include <vector>

#include "backend.h"
#include "dump.h"
#include "gdi.h"
#include "menu.h"
#include "message.h"
#include "shell_internal.h"
#include "window.h"

namespace {

enum : int { kItemHeight = 22, kSeparatorHeight = 7, kCheckColumn = 22, kShortcutGap = 24, kRightPad = 10 };
const WCHAR kClass[] = u"HHMenuPopup";

struct Popup {
    HWND hwnd;
    HMENU menu;
    HWND owner;
    std::vector<RECT> rects;  // client coordinates, one an item
    int hot;
    bool armed;  // a press or a move inside: a release on an item chooses it
    bool done;
    UINT result;
};
Popup* g_open;

int LabelLength(const MenuItemInfo& item) {
    int n = 0;
    while (n < item.length && item.text[n] != 0x08) ++n;
    return n;
}

bool Selectable(HMENU menu, int i) {
    MenuItemInfo item;
    return MenuGetItem(menu, i, &item) && !(item.flags & (MF_SEPARATOR | MF_GRAYED | MF_POPUP));
}

int ItemAt(const Popup& p, int x, int y) {
    for (size_t i = 0; i < p.rects.size(); ++i)
        if (ShellPointIn(p.rects[i], x, y)) return Selectable(p.menu, (int)i) ? (int)i : -1;
    return -1;
}

void SetHot(Popup* p, int hot) {
    if (p->hot == hot) return;
    p->hot = hot;
    InvalidateRect(p->hwnd, nullptr, FALSE);
}

// From outside the popup's loop (the close hook) a null message wakes the loop.
void Finish(Popup* p, UINT result, bool wake = false) {
    p->done = true;
    p->result = result;
    if (wake) PostMessageW(nullptr, WM_NULL, 0, 0);
}

void Choose(Popup* p, int index) {
    MenuItemInfo item;
    if (index >= 0 && MenuGetItem(p->menu, index, &item) && Selectable(p->menu, index)) Finish(p, item.id);
}

// Up/Down step over separators and greyed items, wrapping around.
void Step(Popup* p, int dir) {
    int n = (int)p->rects.size();
    int at = p->hot;
    for (int k = 0; k < n; ++k) {
        at = at < 0 ? (dir > 0 ? 0 : n - 1) : (at + dir + n) % n;
        if (Selectable(p->menu, at)) {
            SetHot(p, at);
            return;
        }
    }
}

void Paint(Popup* p, HDC dc) {
    RECT rc;
    GetClientRect(p->hwnd, &rc);
    ShellFill(dc, rc, kShellLight);
    ShellFrame(dc, rc, kShellBlack);
    for (size_t i = 0; i < p->rects.size(); ++i) {
        MenuItemInfo item;
        if (!MenuGetItem(p->menu, (int)i, &item)) break;
        RECT r = p->rects[i];
        if (item.flags & MF_SEPARATOR) {
            int y = (r.top + r.bottom) / 2;
            ShellFill(dc, RECT{r.left + 2, y, r.right - 2, y + 1}, kShellDark);
            continue;
        }
        bool hot = (int)i == p->hot;
        COLORREF fg = (item.flags & MF_GRAYED) ? kShellDark : hot ? kShellLight : kShellBlack;
        if (hot) ShellFill(dc, r, kShellSelect);
        if (item.flags & MF_CHECKED) ShellDrawCheck(dc, RECT{r.left, r.top, r.left + kCheckColumn, r.bottom}, fg);
        int label = LabelLength(item);
        RECT text{r.left + kCheckColumn, r.top, r.right - kRightPad, r.bottom};
        ShellText(dc, item.text, label, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, fg);
        if (label < item.length)
            ShellText(dc, item.text + label + 1, item.length - label - 1, text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE,
                      fg);
    }
}

LRESULT PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Popup* p = g_open && g_open->hwnd == hwnd ? g_open : nullptr;
    int x = (int16_t)LOWORD(lParam), y = (int16_t)HIWORD(lParam);
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (p && dc) Paint(p, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_LBUTTONDOWN:
            if (!p) return 0;
            {
                RECT rc;
                GetClientRect(hwnd, &rc);
                if (!ShellPointIn(rc, x, y)) {
                    Finish(p, 0);
                    return 0;
                }
                p->armed = true;
                SetHot(p, ItemAt(*p, x, y));
            }
            return 0;
        case WM_MOUSEMOVE:
            if (p) {
                RECT rc;
                GetClientRect(hwnd, &rc);
                if (ShellPointIn(rc, x, y)) {
                    p->armed = true;
                    SetHot(p, ItemAt(*p, x, y));
                }
            }
            return 0;
        case WM_LBUTTONUP:
            // The release of the tap that opened the menu lands outside: it chooses nothing.
            if (p && p->armed) {
                int at = ItemAt(*p, x, y);
                if (at >= 0) Choose(p, at);
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (p && !p->done) Finish(p, 0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool RegisterPopupClass() {
    WNDCLASSW wc{};
    if (GetClassInfoW(nullptr, kClass, &wc)) return true;
    wc.lpfnWndProc = PopupProc;
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
}

void DumpItems(HWND hwnd, DumpOut* out) {
    Popup* p = g_open;
    if (!p || p->hwnd != hwnd) return;
    for (size_t i = 0; i < p->rects.size(); ++i) {
        MenuItemInfo item;
        if (!MenuGetItem(p->menu, (int)i, &item)) break;
        // The shortcut text follows a tab, so the line stays readable.
        std::u16string text(item.text, (size_t)item.length);
        std::replace(text.begin(), text.end(), u'\x08', u'\t');
        RECT r = p->rects[i];
        POINT o{0, 0};
        ClientToScreen(hwnd, &o);
        RECT screen{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
        std::string kind = "item id=" + std::to_string(item.id);
        std::string extra;
        if (item.flags & MF_CHECKED) extra += " checked";
        if (item.flags & MF_SEPARATOR) extra += " separator";
        if (item.flags & MF_GRAYED) extra += " disabled";
        DumpPart(out, kind.c_str(), text.c_str(), &screen, extra.empty() ? nullptr : extra.c_str() + 1);
    }
}

}  // namespace

bool PopupMenuOpen() { return g_open != nullptr; }

bool PopupMenuCancel() {
    if (!g_open || g_open->done) return false;
    Finish(g_open, 0, true);
    return true;
}

UINT PopupMenuRun(HMENU menu, int x, int y, bool above, HWND owner) {
    ShellInit();
    int count = GetMenuItemCount(menu);
    if (count <= 0 || g_open || !RegisterPopupClass()) return 0;
    DumpAddHook(DumpItems);

    // Layout: the widest label and the widest shortcut text make the width.
    int labelWidth = 0, shortcutWidth = 0, height = 2;
    Popup p{nullptr, menu, owner, {}, -1, false, false, 0};
    for (int i = 0; i < count; ++i) {
        MenuItemInfo item;
        MenuGetItem(menu, i, &item);
        int label = LabelLength(item);
        labelWidth = std::max(labelWidth, ShellTextWidth(item.text, label));
        if (label < item.length)
            shortcutWidth = std::max(shortcutWidth, ShellTextWidth(item.text + label + 1, item.length - label - 1));
        int h = (item.flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
        p.rects.push_back(RECT{1, height - 1, 0, height - 1 + h});
        height += h;
    }
    int width = 2 + kCheckColumn + labelWidth + (shortcutWidth ? kShortcutGap + shortcutWidth : 0) + kRightPad;
    for (RECT& r : p.rects) r.right = width - 1;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    if (above) y -= height;
    x = std::max(0, std::min(x, sw - width));
    y = std::max(0, std::min(y, sh - height));

    HWND top = owner ? ShellTopLevel(owner) : nullptr;
    p.hwnd = CreateWindowExW(WS_EX_TOPMOST, kClass, u"", WS_POPUP, x, y, width, height, top, nullptr, nullptr,
                             nullptr);
    if (!p.hwnd) return 0;
    g_open = &p;
    ShowWindow(p.hwnd, SW_SHOWNA);
    UpdateWindow(p.hwnd);
    SetCapture(p.hwnd);

    while (!p.done && IsWindow(p.hwnd)) {
        MSG m;
        if (owner && !PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) {
            SendMessageW(owner, WM_ENTERIDLE, MSGF_MENU, (LPARAM)p.hwnd);
            if (p.done) break;
        }
        BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got <= 0) {
            // The outer loop ends too.
            PostQuitMessage(got == 0 ? (int)m.wParam : 1);
            Finish(&p, 0);
            break;
        }
        if (m.message == WM_KEYDOWN) {
            switch ((int)m.wParam) {
                case VK_UP: Step(&p, -1); break;
                case VK_DOWN: Step(&p, +1); break;
                case VK_RETURN: Choose(&p, p.hot); break;
                case VK_ESCAPE: Finish(&p, 0); break;
            }
            continue;
        }
        if (m.message == WM_KEYUP || m.message == WM_CHAR) continue;
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_LBUTTONDBLCLK && m.hwnd != p.hwnd) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
        if (!p.done && GetCapture() != p.hwnd) Finish(&p, 0);
    }
    g_open = nullptr;
    if (GetCapture() == p.hwnd) ReleaseCapture();
    if (IsWindow(p.hwnd)) DestroyWindow(p.hwnd);
    return p.result;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, void*) {
    if (!MenuIsValid(menu)) return FALSE;
    UINT command = PopupMenuRun(menu, x, y, (flags & TPM_BOTTOMALIGN) != 0, owner);
    if (flags & TPM_RETURNCMD) return (BOOL)command;
    if (command && owner) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return command != 0;
}
