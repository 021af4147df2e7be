// A window's vertical scroll bar (WS_VSCROLL): its range and position, its drawing in
// the column the window manager leaves on the right of the client area, and presses
// on it turned into WM_VSCROLL requests posted to the window.
#include "scrollbar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dump.h"
#include "gdi.h"
#include "message.h"
#include "shell_hooks.h"
#include "shell_internal.h"
#include "window.h"

namespace {

enum : int { kArrow = 13, kMinThumb = 8, kDefaultThumb = 13 };
enum Part { kNone, kUp, kDown, kPageUp, kPageDown, kThumb };

struct Info {
    HWND hwnd;
    int min, max;
    UINT page;
    int pos;
    int track;
};

struct Drag {
    HWND hwnd;
    Part part;
    int grab;  // pointer offset from the thumb's top
    bool active;
};

std::vector<Info>& Infos() {
    static std::vector<Info> infos;
    return infos;
}
Drag g_drag;

// The window's record; a new one gets the default range 0..100.
Info* Get(HWND hwnd) {
    auto& v = Infos();
    for (Info& i : v)
        if (i.hwnd == hwnd) return &i;
    v.erase(std::remove_if(v.begin(), v.end(), [](const Info& i) { return !IsWindow(i.hwnd); }), v.end());
    v.push_back(Info{hwnd, 0, 100, 0, 0, 0});
    return &v.back();
}

// The highest position the thumb can take.
int MaxPos(const Info& i) { return std::max(i.min, i.max - std::max(0, (int)i.page - 1)); }

struct Geometry {
    int height, trackTop, trackLen, thumbTop, thumbLen;
    bool thumb;
};

Geometry Measure(const Info& i, int height, int pos) {
    Geometry g{};
    g.height = height;
    int arrow = std::min((int)kArrow, height / 2);
    g.trackTop = arrow;
    g.trackLen = std::max(0, height - 2 * arrow);
    int range = i.max - i.min;
    g.thumb = range > 0 && g.trackLen > 0;
    if (!g.thumb) return g;
    g.thumbLen = i.page ? std::max((int)kMinThumb, (int)((long long)g.trackLen * i.page / (range + 1))) : kDefaultThumb;
    g.thumbLen = std::min(g.thumbLen, g.trackLen);
    int span = MaxPos(i) - i.min;
    int room = g.trackLen - g.thumbLen;
    g.thumbTop = g.trackTop + (span > 0 ? (int)((long long)(std::clamp(pos, i.min, MaxPos(i)) - i.min) * room / span) : 0);
    return g;
}

Part PartAt(const Geometry& g, int y) {
    if (y < g.trackTop) return kUp;
    if (y >= g.trackTop + g.trackLen) return kDown;
    if (!g.thumb) return kNone;
    if (y < g.thumbTop) return kPageUp;
    if (y >= g.thumbTop + g.thumbLen) return kPageDown;
    return kThumb;
}

void Draw(HWND hwnd, const Info& i, int pos) {
    RECT sr, wr;
    if (!ScrollBarRect(hwnd, &sr) || !GetWindowRect(hwnd, &wr)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    int x = sr.left - wr.left, y = sr.top - wr.top, w = sr.right - sr.left, h = sr.bottom - sr.top;
    Geometry g = Measure(i, h, pos);
    ShellFill(dc, RECT{x, y, x + w, y + h}, 0xE0E0E0);
    RECT up{x, y, x + w, y + g.trackTop}, down{x, y + g.trackTop + g.trackLen, x + w, y + h};
    bool live = g.thumb;
    for (const RECT* r : {&up, &down}) {
        ShellFill(dc, *r, kShellGrey);
        ShellEdge(dc, *r, false);
    }
    ShellDrawArrow(dc, up, true, live ? kShellBlack : kShellDark);
    ShellDrawArrow(dc, down, false, live ? kShellBlack : kShellDark);
    if (g.thumb) {
        RECT t{x, y + g.thumbTop, x + w, y + g.thumbTop + g.thumbLen};
        ShellFill(dc, t, kShellGrey);
        ShellEdge(dc, t, false);
    }
    ReleaseDC(hwnd, dc);
}

void Post(HWND hwnd, int request, int pos) {
    PostMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(request, (WORD)(int16_t)pos), 0);
}

void DumpScrollBar(HWND hwnd, DumpOut* out) {
    RECT r;
    if (!ScrollBarRect(hwnd, &r)) return;
    const Info* i = Get(hwnd);
    std::string extra =
        "min=" + std::to_string(i->min) + " max=" + std::to_string(i->max) + " pos=" + std::to_string(i->pos);
    DumpPart(out, "scrollbar", u"", &r, extra.c_str());
}

}  // namespace

bool ScrollBarRect(HWND hwnd, RECT* out) {
    if (!IsWindow(hwnd) || !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL)) return false;
    RECT client;
    POINT o{0, 0};
    GetClientRect(hwnd, &client);
    ClientToScreen(hwnd, &o);
    *out = RECT{o.x + client.right, o.y, o.x + client.right + GetSystemMetrics(SM_CXVSCROLL), o.y + client.bottom};
    return true;
}

void ScrollBarDraw(HWND hwnd) {
    if (!IsWindow(hwnd) || !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL)) return;
    DumpAddHook(DumpScrollBar);
    const Info* i = Get(hwnd);
    Draw(hwnd, *i, g_drag.active && g_drag.hwnd == hwnd && g_drag.part == kThumb ? i->track : i->pos);
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (bar != SB_VERT || !info || !IsWindow(hwnd)) return 0;
    DumpAddHook(DumpScrollBar);
    Info* i = Get(hwnd);
    if (info->fMask & SIF_RANGE) {
        i->min = info->nMin;
        i->max = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE) i->page = std::min(info->nPage, (UINT)(i->max - i->min + 1));
    if (info->fMask & SIF_POS) i->pos = info->nPos;
    i->pos = std::clamp(i->pos, i->min, MaxPos(*i));
    if (!(g_drag.active && g_drag.hwnd == hwnd)) i->track = i->pos;
    if (redraw) ScrollBarDraw(hwnd);
    return i->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (bar != SB_VERT || !info || !IsWindow(hwnd)) return FALSE;
    const Info* i = Get(hwnd);
    if (info->fMask & SIF_RANGE) {
        info->nMin = i->min;
        info->nMax = i->max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = i->page;
    if (info->fMask & SIF_POS) info->nPos = i->pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = i->track;
    return TRUE;
}

void ShellPaintNonClient(HWND hwnd) { ScrollBarDraw(hwnd); }

bool ShellInputMouse(UINT message, int x, int y) {
    if (g_drag.active) {
        if (!IsWindow(g_drag.hwnd)) {
            g_drag.active = false;
            return message != WM_LBUTTONDOWN;
        }
        Info* i = Get(g_drag.hwnd);
        RECT r;
        ScrollBarRect(g_drag.hwnd, &r);
        if (message == WM_MOUSEMOVE && g_drag.part == kThumb) {
            Geometry g = Measure(*i, r.bottom - r.top, i->track);
            int room = g.trackLen - g.thumbLen, span = MaxPos(*i) - i->min;
            int top = std::clamp((int)(y - r.top) - g_drag.grab, g.trackTop, g.trackTop + room);
            int pos = i->min + (room > 0 ? (int)(((long long)(top - g.trackTop) * span + room / 2) / room) : 0);
            if (pos != i->track) {
                i->track = pos;
                Post(g_drag.hwnd, SB_THUMBTRACK, pos);
                ScrollBarDraw(g_drag.hwnd);
            }
        } else if (message == WM_LBUTTONUP) {
            if (g_drag.part == kThumb) Post(g_drag.hwnd, SB_THUMBPOSITION, i->track);
            Post(g_drag.hwnd, SB_ENDSCROLL, 0);
            g_drag.active = false;
            ScrollBarDraw(g_drag.hwnd);
        }
        return true;
    }
    if (message != WM_LBUTTONDOWN || GetCapture()) return false;
    HWND hwnd = WindowFromPoint(POINT{x, y});
    RECT r;
    if (!hwnd || !ScrollBarRect(hwnd, &r) || !ShellPointIn(r, x, y)) return false;
    HWND top = ShellTopLevel(hwnd);
    // Presses on a disabled window are dropped, as the window manager drops them.
    if (!IsWindowEnabled(hwnd) || !IsWindowEnabled(top)) return true;
    if (GetActiveWindow() != top) SetActiveWindow(top);
    if (!IsWindow(hwnd)) return true;
    Info* i = Get(hwnd);
    Geometry g = Measure(*i, r.bottom - r.top, i->pos);
    Part part = PartAt(g, y - r.top);
    g_drag = Drag{hwnd, part, (int)(y - r.top) - g.thumbTop, true};
    i->track = i->pos;
    switch (part) {
        case kUp: Post(hwnd, SB_LINEUP, 0); break;
        case kDown: Post(hwnd, SB_LINEDOWN, 0); break;
        case kPageUp: Post(hwnd, SB_PAGEUP, 0); break;
        case kPageDown: Post(hwnd, SB_PAGEDOWN, 0); break;
        case kThumb:
        case kNone: break;
    }
    return true;
}
