#include "app/startup.h"

#include <cstring>

#include "app/frame_services.h"
#include "app/main_window.h"
#include "platform/commandbar.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/ui_resources.h"
#include "platform/window.h"

namespace {

constexpr WCHAR kClassName[] = u"Almarest-Velmora";
constexpr WCHAR kTitle[] = u"Velmora";
bool g_taskBarWasVisible;

}  // namespace

void RegisterMainClass(HINSTANCE instance, LPCWSTR className) {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
}

HWND CreateMainWindow(int show) {
    if (HWND running = FindWindowW(kClassName, kTitle)) {
        HWND front = GetForegroundWindow();
        HWND top = front;
        while (top && GetParent(top)) top = GetParent(top);
        if (running == front) SendMessageW(running, WM_COMMAND, 119, 0);
        if (running != top) SetForegroundWindow(running);
        return nullptr;
    }
    InitCommonControls();
    if (g_taskBarWindow) ShowWindow(g_taskBarWindow, SW_HIDE);
    LoadSettings();
    SetCurrentLesson(0);
    RegisterMainClass(g_app.instance, kClassName);
    DWORD style = WS_VISIBLE | ((g_app.flags & kFlagScrollBar) ? (DWORD)WS_VSCROLL : 0u);
    HWND hwnd = CreateWindowExW(WS_EX_WINDOWEDGE, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, g_app.instance, nullptr);
    if (!hwnd) {
        if (g_taskBarWindow && g_taskBarWasVisible) ShowWindow(g_taskBarWindow, SW_SHOW);
        return nullptr;
    }
    if (g_fullScreen) {
        RECT r;
        GetWindowRect(hwnd, &r);
        SHFullScreen(hwnd, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
        // Up to the top of the screen, keeping the old bottom edge.
        MoveWindow(hwnd, r.left, 0, r.right, r.bottom, FALSE);
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    return hwnd;
}

int StartUp(HINSTANCE instance, HINSTANCE, LPCWSTR, int show) {
    std::memset(&g_app, 0, sizeof g_app);
    g_app.instance = instance;
    g_ignoreActivate = ReadRegistryNumber(kBootOptionsKey, u"IgnoreActivate", 0);
    g_fullScreen = ReadRegistryNumber(kBootOptionsKey, u"FullScreen", 0);
    g_allowSipInHebrewSearch = ReadRegistryNumber(kBootOptionsKey, u"AllowSipInHebrewSearch", 1);
    g_settingsSaved = false;
    g_taskBarWindow = nullptr;
    g_taskBarWasVisible = false;
    if (g_fullScreen) {
        g_taskBarWindow = FindWindowW(u"HHTaskBar", u"");
        g_taskBarWasVisible = g_taskBarWindow && IsWindowVisible(g_taskBarWindow);
    }
    g_app.menuBarMode = ReadRegistryNumber(kBootOptionsKey, u"MenuBarOnBottom", 0);
    g_app.gutter = ReadRegistryNumber(kBootOptionsKey, u"SurroundingGutter", 0);
    if (!CreateMainWindow(show)) return 0;

    MSG msg = {};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g_taskBarWindow && g_taskBarWasVisible) ShowWindow(g_taskBarWindow, SW_SHOW);
    return got == 0 ? (int)msg.wParam : 0;
}
