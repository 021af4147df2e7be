#include "app/main_window.h"

#include "about/about.h"
#include "app/commands.h"
#include "app/frame_services.h"
#include "content/content_resource.h"
#include "platform/gdi.h"
#include "platform/heap.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/scrollbar.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "search/search.h"
#include "view/text_paint.h"
#include "view/text_view.h"

namespace {

// The DC the view draws with, kept from creation until WM_DESTROY even when the view
// could not be made, so it is always released.
HDC g_viewDc;
SHACTIVATEINFO g_activateInfo;

void ScrollView(int delta) {
    ScrollTextView(g_app.view, delta, 1, 1);
    UpdateScrollBar(g_app.mainWindow);
}

// Half a page for field values 2 and 4, else a page less one line.
int PagingSize(uint32_t field, uint32_t half1, uint32_t half2) {
    int shown = g_app.view ? g_app.view->linesShown : 0;
    return (field == half1 || field == half2) ? shown / 2 : shown - 1;
}

LRESULT OnKeyDown(HWND hwnd, WPARAM key) {
    TextView* view = g_app.view;
    int page = PagingSize(g_app.flags & kFlagKeyPageField, 0x200000, 0x400000);
    switch (key) {
    case VK_RETURN:
        if (g_app.searchString[0]) SearchNext(g_app.mainWindow);
        return 0;
    case VK_PRIOR: if (view) ScrollView(-page); return 0;
    case VK_NEXT: if (view) ScrollView(page); return 0;
    case VK_END: if (view) ScrollView(view->maxTopLine); return 0;
    case VK_HOME: if (view) ScrollView(-(int)view->topLine); return 0;
    case VK_LEFT: StepLesson(hwnd, -1); return 0;
    case VK_UP: if (view) ScrollView(-1); return 0;
    case VK_RIGHT: StepLesson(hwnd, +1); return 0;
    case VK_DOWN: if (view) ScrollView(+1); return 0;
    default: return 1;
    }
}

LRESULT OnVScroll(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TextView* view = g_app.view;
    int shown = view ? view->linesShown : 0;
    int top = view ? view->topLine : 0;
    int delta = 0;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: delta = -1; break;
    case SB_LINEDOWN: delta = 1; break;
    case SB_PAGEUP: delta = 1 - shown; break;
    case SB_PAGEDOWN: delta = shown - 1; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: delta = (int16_t)HIWORD(wParam) - top; break;
    case SB_TOP: delta = -top; break;
    case SB_BOTTOM: delta = 1; break;  // one row, not to the end
    default: break;
    }
    if (delta != 0 && view) ScrollTextView(view, delta, 1, 1);
    DefWindowProcW(hwnd, msg, wParam, lParam);
    if (delta != 0) UpdateScrollBar(g_app.mainWindow);
    return 1;
}

}  // namespace

void PaintMain(HDC dc, HWND window, int erase) {
    PAINTSTRUCT ps;
    if (!dc) BeginPaint(window, &ps);
    // Always through the view's own DC, never the paint or the given one.
    PaintTextView(g_app.view, erase);
    if (!dc) EndPaint(window, &ps);
}

void RepaintView(HWND window, int erase) {
    if (!window) window = g_app.mainWindow;
    HDC dc = GetDC(window);
    PaintMain(dc, window, erase);
    ReleaseDC(window, dc);
    UpdateScrollBar(g_app.mainWindow);
}

void UpdateScrollBar(HWND window) {
    if (!(g_app.flags & kFlagScrollBar) || !g_app.view) return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS;
    si.nMin = 0;
    si.nMax = (uint16_t)g_app.view->maxTopLine;
    si.nPos = (uint16_t)g_app.view->topLine;
    SetScrollInfo(window, SB_VERT, &si, TRUE);
}

void InitDialogFrame(HWND dialog, DWORD flags) {
    SHINITDLGINFO info = {SHIDIM_FLAGS, dialog, flags | (g_fullScreen ? 0u : (DWORD)SHIDIF_DONEBUTTON)};
    SHInitDialog(&info);
    if (g_fullScreen) {
        RECT r;
        GetWindowRect(dialog, &r);
        MoveWindow(dialog, r.left, 0, r.right, r.bottom, FALSE);
    }
}

void CreateArticleView() {
    g_viewDc = GetDC(g_app.mainWindow);
    RECT r;
    GetClientRect(g_app.mainWindow, &r);
    if (g_app.menuBarMode)
        r.bottom -= g_app.barHeight;
    else
        r.top += g_app.barHeight;
    int g = g_app.gutter;
    if (r.bottom - r.top > 2 * g) {
        r.top += g;
        r.bottom -= g;
    }
    if (r.right - r.left > 2 * g) {
        r.left += g;
        r.right -= g;
    }
    g_app.view = CreateTextView(g_viewDc, &r, &g_app.font, 100);
    if (!g_app.view) return;
    BYTE* text = LoadContentResource(g_app.lesson, nullptr);
    if (!text) {
        MessageBoxW(g_app.mainWindow, u"Resource not found", u"Error", MB_ICONEXCLAMATION);
        return;
    }
    if (LayoutText(g_app.view, text, 0) != kViewOk) LocalFree(text);
    g_app.view->topLine = g_app.lastPosition;
    UpdateScrollBar(g_app.mainWindow);
}

void ResizeArticleView(int w, int h) {
    int g = g_app.gutter;
    if (w > 2 * g) w -= 2 * g;
    if (h > 2 * g) h -= 2 * g;
    h -= g_app.barHeight;
    TextView* view = g_app.view;
    if (!view) return;
    if (w != view->width || h != view->height) {
        ResizeTextView(view, w, h);
        UpdateScrollBar(g_app.mainWindow);
    }
}

void TapPage(int x, int y) {
    TextView* view = g_app.view;
    if (!view) return;
    int g = g_app.gutter;
    // The gutter widens the area left, right and above, not below the view.
    if (x < view->x - g || x > view->x + view->width + g || y < view->y - g || y > view->y + view->height) return;
    if (!(g_app.flags & kFlagTapPaging)) return;
    bool vertical = g_app.flags & kFlagTapUpperLower;
    int coordinate = vertical ? y : x;
    int middle = vertical ? view->y + view->height / 2 : view->x + view->width / 2;
    int size = PagingSize(g_app.flags & kFlagTapPageField, 0x2000000, 0x4000000);
    if (size < 0) size = -size;
    ScrollView(coordinate < middle ? -size : size);
}

LRESULT MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        g_app.mainWindow = hwnd;
        CreateBars();
        CreateArticleView();
        UpdateBookmarkCheck(hwnd);
        return 0;
    case WM_DESTROY:
        if (g_viewDc) ReleaseDC(g_app.mainWindow, g_viewDc);
        g_viewDc = nullptr;
        if (g_app.barWindow) DestroyWindow(g_app.barWindow);
        g_app.barWindow = nullptr;
        SaveAndQuit();
        return 0;
    case WM_SIZE:
        ResizeArticleView(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        if (g_ignoreActivate) return DefWindowProcW(hwnd, msg, wParam, lParam);
        if (LOWORD(wParam) != WA_INACTIVE)
            SHFullScreen(g_app.mainWindow, g_fullScreen ? SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON
                                                        : SHFS_HIDESIPBUTTON);
        return 0;
    case WM_PAINT:
        PaintMain((HDC)wParam, hwnd, 1);
        return 0;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(g_app.mainWindow, wParam, lParam, &g_activateInfo);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* pos = (const WINDOWPOS*)lParam;
        if (pos && (pos->flags & 0xFFFF0000u) && (pos->flags & SWP_NOACTIVATE)) DestroyWindow(g_app.mainWindow);
        return 0;
    }
    case WM_HELP:
        ShowAboutDialog(g_app.mainWindow);
        return 0;
    case WM_KEYDOWN:
        return OnKeyDown(hwnd, wParam);
    case WM_COMMAND:
        if (OnCommand(hwnd, wParam) == 0) return 0;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_VSCROLL:
        return OnVScroll(hwnd, msg, wParam, lParam);
    case WM_LBUTTONDOWN:
        TapPage(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_HIBERNATE:
        DestroyWindow(g_app.mainWindow);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}
