// The bars: the shell's menu bar (a top-level window at the bottom of the screen) and
// the command bar (a child at the top of its window). Both hold dropdown menu buttons,
// toolbar buttons with images from bitmap strips and tooltips, and the command bar
// the close adornment. A released toolbar button sends WM_COMMAND to the owner; a
// menu item chosen from a dropdown is posted to it.
#include <algorithm>
#include <string>
#include <vector>

#include "commandbar.h"
#include "dump.h"
#include "gdi.h"
#include "menu.h"
#include "message.h"
#include "shell.h"
#include "shell_internal.h"
#include "ui_resources.h"
#include "window.h"

namespace {

enum : int {
    kButtonTop = 2,
    kButtonBottom = 24,
    kToolButtonWidth = 24,
    kSeparatorWidth = 8,
    kMenuPad = 16,
    kGroupGap = 4,
    kImage = 16,
};
const WCHAR kMenuBarClass[] = u"HHMenuBar";
const WCHAR kCommandBarClass[] = u"HHCommandBar";
const WCHAR kTipClass[] = u"HHToolTip";

struct Button {
    int image;
    UINT command;
    BYTE state;
    BYTE style;
    std::u16string label;  // dropdown buttons
    HMENU popup;           // dropdown buttons
    bool close;            // the close adornment
    int tip;               // index into the tooltips, -1 none
    RECT rect;             // client coordinates
};

struct Strip {
    HBITMAP bitmap;
    int first;
    int count;
};

struct Bar {
    HWND hwnd;
    int kind;
    HWND owner;
    std::vector<Button> buttons;
    std::vector<std::u16string> tips;
    std::vector<Strip> strips;
    int images;
    HMENU menu;
    int pressed;  // the button held down or whose menu is open; -1 none
    bool inside;  // the pointer is still over the pressed button
    HWND tipWindow;
    int screenWidth;  // when the menu bar was last placed: a new screen keeps its right margin
};

std::vector<Bar*>& Bars() {
    static std::vector<Bar*> bars;
    return bars;
}

Bar* Find(HWND hwnd) {
    if (!hwnd) return nullptr;
    for (Bar* b : Bars())
        if (b->hwnd == hwnd) return b;
    return nullptr;
}

void Layout(Bar* b) {
    RECT rc;
    GetClientRect(b->hwnd, &rc);
    int x = 0;
    bool menus = false;
    int tip = 1;  // the first tooltip is the menu's
    for (Button& k : b->buttons) {
        if (k.close) continue;
        if (k.popup) {
            menus = true;
            k.rect = RECT{x, kButtonTop, x + ShellTextWidth(k.label.c_str(), (int)k.label.size()) + kMenuPad,
                          kButtonBottom};
        } else {
            if (menus) {
                x += kGroupGap;
                menus = false;
            }
            int w = (k.style & TBSTYLE_SEP) ? kSeparatorWidth : kToolButtonWidth;
            k.rect = RECT{x, kButtonTop, x + w, kButtonBottom};
            k.tip = (k.style & TBSTYLE_SEP) ? -1 : tip++;
        }
        x = k.rect.right;
    }
    for (Button& k : b->buttons)
        if (k.close) k.rect = RECT{rc.right - 2 - kToolButtonWidth, kButtonTop, rc.right - 2, kButtonBottom};
}

int ButtonAt(Bar* b, int x, int y) {
    for (size_t i = 0; i < b->buttons.size(); ++i) {
        const Button& k = b->buttons[i];
        if ((k.style & TBSTYLE_SEP) || (k.state & TBSTATE_HIDDEN)) continue;
        if (ShellPointIn(k.rect, x, y)) return (int)i;
    }
    return -1;
}

void DrawImage(Bar* b, HDC dc, int image, int x, int y) {
    for (const Strip& s : b->strips) {
        if (image < s.first || image >= s.first + s.count) continue;
        HDC mem = CreateCompatibleDC(dc);
        if (!mem) return;
        HGDIOBJ old = SelectObject(mem, s.bitmap);
        // A monochrome strip: black where its bits are 0, the bar's grey where 1.
        COLORREF fg = SetTextColor(dc, kShellBlack), bg = SetBkColor(dc, kShellGrey);
        BitBlt(dc, x, y, kImage, kImage, mem, (image - s.first) * kImage, 0, SRCCOPY);
        SetTextColor(dc, fg);
        SetBkColor(dc, bg);
        if (old) SelectObject(mem, old);
        DeleteDC(mem);
        return;
    }
}

void Paint(Bar* b, HDC dc) {
    RECT rc;
    GetClientRect(b->hwnd, &rc);
    ShellFill(dc, rc, kShellGrey);
    ShellEdge(dc, rc, false);
    for (size_t i = 0; i < b->buttons.size(); ++i) {
        const Button& k = b->buttons[i];
        if ((k.style & TBSTYLE_SEP) || (k.state & TBSTATE_HIDDEN)) continue;
        bool down = ((int)i == b->pressed && b->inside) || (k.state & (TBSTATE_CHECKED | TBSTATE_PRESSED));
        if (down) ShellEdge(dc, k.rect, true);
        int shift = down ? 1 : 0;
        COLORREF fg = (k.state & TBSTATE_ENABLED) ? kShellBlack : kShellDark;
        RECT r{k.rect.left + shift, k.rect.top + shift, k.rect.right + shift, k.rect.bottom + shift};
        if (k.close) {
            ShellDrawCross(dc, r, fg);
        } else if (k.popup) {
            ShellText(dc, k.label.c_str(), (int)k.label.size(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, fg);
        } else if (k.image >= 0) {
            DrawImage(b, dc, k.image, (r.left + r.right - kImage) / 2, (r.top + r.bottom - kImage) / 2);
        }
    }
}

// ---- The tooltip: a small window over (menu bar) or under (command bar) the button.

LRESULT TipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            ShellFill(dc, rc, kShellTip);
            ShellFrame(dc, rc, kShellBlack);
            WCHAR text[128];
            int n = GetWindowTextW(hwnd, text, 128);
            ShellText(dc, text, n, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, kShellBlack);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void ShowTip(Bar* b, const Button& k) {
    if (k.tip < 0 || (size_t)k.tip >= b->tips.size() || b->tips[(size_t)k.tip].empty()) return;
    const std::u16string& text = b->tips[(size_t)k.tip];
    int w = ShellTextWidth(text.c_str(), (int)text.size()) + 10, h = 20;
    POINT p{k.rect.left, 0};
    ClientToScreen(b->hwnd, &p);
    RECT bar;
    GetWindowRect(b->hwnd, &bar);
    int y = b->kind == kBarMenuBar ? bar.top - h - 2 : bar.bottom + 2;
    int x = std::max(0, std::min((int)p.x, GetSystemMetrics(SM_CXSCREEN) - w));
    b->tipWindow = CreateWindowExW(WS_EX_TOPMOST, kTipClass, text.c_str(), WS_POPUP, x, y, w, h,
                                   ShellTopLevel(b->hwnd), nullptr, nullptr, nullptr);
    if (b->tipWindow) ShowWindow(b->tipWindow, SW_SHOWNA);
}

void HideTip(Bar* b) {
    if (b->tipWindow && IsWindow(b->tipWindow)) DestroyWindow(b->tipWindow);
    b->tipWindow = nullptr;
}

// ---- Input

void OpenDropdown(Bar* b, int index) {
    HMENU popup = b->buttons[(size_t)index].popup;
    RECT r = b->buttons[(size_t)index].rect;
    POINT at{r.left, b->kind == kBarMenuBar ? 0 : r.bottom};
    ClientToScreen(b->hwnd, &at);
    b->pressed = index;
    b->inside = true;
    InvalidateRect(b->hwnd, nullptr, FALSE);
    UpdateWindow(b->hwnd);
    HWND self = b->hwnd, owner = b->owner;
    UINT command = PopupMenuRun(popup, at.x, at.y, b->kind == kBarMenuBar, owner);
    if ((b = Find(self))) {
        b->pressed = -1;
        InvalidateRect(b->hwnd, nullptr, FALSE);
    }
    if (command && IsWindow(owner)) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void OnDown(Bar* b, int x, int y) {
    // While the owner is disabled (a modal dialog or box runs) the bar takes no input.
    if (!IsWindowEnabled(ShellTopLevel(b->owner))) return;
    int i = ButtonAt(b, x, y);
    if (i < 0 || !(b->buttons[(size_t)i].state & TBSTATE_ENABLED)) return;
    if (b->buttons[(size_t)i].popup) {
        OpenDropdown(b, i);
        return;
    }
    b->pressed = i;
    b->inside = true;
    SetCapture(b->hwnd);
    ShowTip(b, b->buttons[(size_t)i]);
    InvalidateRect(b->hwnd, nullptr, FALSE);
}

void OnMove(Bar* b, int x, int y) {
    if (b->pressed < 0 || b->buttons[(size_t)b->pressed].popup) return;
    bool inside = ShellPointIn(b->buttons[(size_t)b->pressed].rect, x, y);
    if (inside != b->inside) {
        b->inside = inside;
        InvalidateRect(b->hwnd, nullptr, FALSE);
    }
}

void OnUp(Bar* b, int x, int y) {
    if (b->pressed < 0 || b->buttons[(size_t)b->pressed].popup) return;
    const Button k = b->buttons[(size_t)b->pressed];
    bool inside = ShellPointIn(k.rect, x, y);
    b->pressed = -1;
    b->inside = false;
    HideTip(b);
    if (GetCapture() == b->hwnd) ReleaseCapture();
    InvalidateRect(b->hwnd, nullptr, FALSE);
    if (!inside) return;
    HWND owner = b->owner;
    if (k.close) PostMessageW(owner, WM_CLOSE, 0, 0);
    else SendMessageW(owner, WM_COMMAND, MAKEWPARAM(k.command, 0), (LPARAM)b->hwnd);
}

int AddButtons(Bar* b, int count, const TBBUTTON* buttons) {
    if (!buttons || count < 0) return FALSE;
    // The close adornment stays last.
    auto at = std::find_if(b->buttons.begin(), b->buttons.end(), [](const Button& k) { return k.close; });
    std::vector<Button> add;
    for (int i = 0; i < count; ++i) {
        const TBBUTTON& t = buttons[i];
        add.push_back(Button{t.iBitmap, (UINT)t.idCommand, t.fsState, t.fsStyle, {}, nullptr, false, -1, {}});
    }
    b->buttons.insert(at, add.begin(), add.end());
    Layout(b);
    InvalidateRect(b->hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT BarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Bar* b = Find(hwnd);
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
            case WM_SIZE: Layout(b); return 0;
            case WM_SETTINGCHANGE:
                if (b->kind == kBarMenuBar && wParam == SETTINGCHANGE_RESET) {
                    RECT r;
                    GetWindowRect(hwnd, &r);
                    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
                    int width = std::max(0, (int)(r.right - r.left) + sw - b->screenWidth);
                    b->screenWidth = sw;
                    MoveWindow(hwnd, 0, sh - kShellBarHeight, width, kShellBarHeight, TRUE);
                }
                return 0;
            case WM_ACTIVATE:
                if (LOWORD(wParam) != WA_INACTIVE) ShellGiveBackActivation(hwnd, (HWND)lParam, ShellTopLevel(b->owner));
                return 0;
            case WM_LBUTTONDOWN: OnDown(b, x, y); return 0;
            case WM_MOUSEMOVE: OnMove(b, x, y); return 0;
            case WM_LBUTTONUP: OnUp(b, x, y); return 0;
            case WM_CAPTURECHANGED:
                if (b->pressed >= 0 && !b->buttons[(size_t)b->pressed].popup) {
                    b->pressed = -1;
                    HideTip(b);
                    InvalidateRect(hwnd, nullptr, FALSE);
                }
                return 0;
            case TB_SETTOOLTIPS: {
                const WCHAR* const* tips = (const WCHAR* const*)lParam;
                b->tips.clear();
                for (WPARAM i = 0; tips && i < wParam && i < 256; ++i) b->tips.push_back(tips[i] ? tips[i] : u"");
                return TRUE;
            }
            case TB_ADDBITMAP: {
                const TBADDBITMAP* add = (const TBADDBITMAP*)lParam;
                return add ? ToolbarAddBitmap(hwnd, add->hInst, (UINT)add->nID, (int)wParam) : -1;
            }
            case TB_ADDBUTTONS: return AddButtons(b, (int)wParam, (const TBBUTTON*)lParam);
            case TB_BUTTONCOUNT: return (LRESULT)b->buttons.size();
            case TB_GETITEMRECT: {
                RECT* out = (RECT*)lParam;
                if (!out || wParam >= b->buttons.size()) return FALSE;
                *out = b->buttons[wParam].rect;
                return TRUE;
            }
            case SHCMBM_GETSUBMENU: return (LRESULT)ToolbarSubMenu(hwnd, (UINT)lParam);
            case WM_NCDESTROY: {
                HideTip(b);
                for (Strip& s : b->strips) DeleteObject(s.bitmap);
                if (b->menu) DestroyMenu(b->menu);
                auto& bars = Bars();
                bars.erase(std::find(bars.begin(), bars.end(), b));
                delete b;
                return 0;
            }
        }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool Register(const WCHAR* name, WNDPROC proc) {
    WNDCLASSW wc{};
    if (GetClassInfoW(nullptr, name, &wc)) return true;
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0;
}

void DumpButtons(HWND hwnd, DumpOut* out) {
    Bar* b = Find(hwnd);
    if (!b) return;
    POINT o{0, 0};
    ClientToScreen(hwnd, &o);
    for (const Button& k : b->buttons) {
        if (k.style & TBSTYLE_SEP) continue;
        const WCHAR* text = k.close ? u"\u00D7" : k.popup ? k.label.c_str() : u"";
        if (!k.popup && !k.close && k.tip >= 0 && (size_t)k.tip < b->tips.size()) text = b->tips[(size_t)k.tip].c_str();
        RECT r{k.rect.left + o.x, k.rect.top + o.y, k.rect.right + o.x, k.rect.bottom + o.y};
        std::string kind = "button id=" + std::to_string(k.command);
        DumpPart(out, kind.c_str(), text, &r, (k.state & TBSTATE_CHECKED) ? "checked" : nullptr);
    }
}

}  // namespace

HWND ToolbarCreate(int kind, HWND owner, int x, int y, int width, int id) {
    ShellInit();
    if (!IsWindow(owner) || !Register(kMenuBarClass, BarProc) || !Register(kCommandBarClass, BarProc) ||
        !Register(kTipClass, TipProc))
        return nullptr;
    DumpAddHook(DumpButtons);
    Bar* b = new Bar{nullptr, kind, owner, {}, {}, {}, 0, nullptr, -1, false, nullptr, GetSystemMetrics(SM_CXSCREEN)};
    Bars().push_back(b);
    HWND hwnd;
    if (kind == kBarMenuBar)
        hwnd = CreateWindowExW(0, kMenuBarClass, u"", WS_POPUP, x, y, width, kShellBarHeight, owner, nullptr, nullptr,
                               nullptr);
    else
        hwnd = CreateWindowExW(0, kCommandBarClass, u"", WS_CHILD, x, y, width, kShellBarHeight, owner,
                               (HMENU)(uintptr_t)id, nullptr, nullptr);
    if (!hwnd) {
        auto& bars = Bars();
        bars.erase(std::find(bars.begin(), bars.end(), b));
        delete b;
        return nullptr;
    }
    b->hwnd = hwnd;
    Layout(b);
    return hwnd;
}

bool ToolbarIsBar(HWND bar) { return Find(bar) != nullptr; }

bool ToolbarAddMenuButton(HWND bar, LPCWSTR label, UINT command, HMENU popup) {
    Bar* b = Find(bar);
    if (!b || !popup) return false;
    auto at = std::find_if(b->buttons.begin(), b->buttons.end(), [](const Button& k) { return !k.popup; });
    b->buttons.insert(at, Button{I_IMAGENONE, command, TBSTATE_ENABLED, TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE,
                                 label ? std::u16string(label) : std::u16string(), popup, false, -1, {}});
    Layout(b);
    InvalidateRect(bar, nullptr, FALSE);
    return true;
}

void ToolbarSetMenu(HWND bar, HMENU menu) {
    if (Bar* b = Find(bar)) {
        if (b->menu && b->menu != menu) DestroyMenu(b->menu);
        b->menu = menu;
    }
}

HMENU ToolbarGetMenu(HWND bar) {
    Bar* b = Find(bar);
    return b ? b->menu : nullptr;
}

HMENU ToolbarSubMenu(HWND bar, UINT command) {
    Bar* b = Find(bar);
    if (!b) return nullptr;
    for (const Button& k : b->buttons)
        if (k.popup && k.command == command) return MenuIsValid(k.popup) ? k.popup : nullptr;
    return nullptr;
}

int ToolbarAddBitmap(HWND bar, HINSTANCE instance, UINT bitmapId, int count) {
    Bar* b = Find(bar);
    if (!b || count <= 0) return -1;
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId));
    if (!bitmap) return -1;
    int first = b->images;
    b->strips.push_back(Strip{bitmap, first, count});
    b->images += count;
    InvalidateRect(bar, nullptr, FALSE);
    return first;
}

bool ToolbarAddClose(HWND bar) {
    Bar* b = Find(bar);
    if (!b) return false;
    for (const Button& k : b->buttons)
        if (k.close) return true;
    b->buttons.push_back(Button{I_IMAGENONE, 0, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, nullptr, true, -1, {}});
    Layout(b);
    InvalidateRect(bar, nullptr, FALSE);
    return true;
}
