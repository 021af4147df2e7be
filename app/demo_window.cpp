// The stand-in main window: a line of text; closing it ends the program.
#include "app/demo_window.h"

#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/window.h"

namespace {
const WCHAR kClassName[] = u"Almarest-Velmora";

LRESULT DemoWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT rc;
            GetClientRect(hwnd, &rc);
            rc.top += 8;
            rc.bottom = rc.top + 24;
            DrawTextW(dc, u"Velmora", -1, &rc, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTINGCHANGE: {
            // The screen changed size: fill the work area again.
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            MoveWindow(hwnd, work.left, work.top, work.right - work.left, work.bottom - work.top, TRUE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
}  // namespace

HWND DemoCreateMainWindow(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DemoWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_WINDOWEDGE, kClassName, u"Velmora", WS_VISIBLE | WS_VSCROLL, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (hwnd) UpdateWindow(hwnd);
    return hwnd;
}
