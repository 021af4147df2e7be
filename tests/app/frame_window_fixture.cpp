#include "tests/app/frame_window_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/commands.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "content/content_resource.h"
#include "platform/backend.h"
#include "platform/commandbar.h"
#include "platform/dump.h"
#include "platform/heap.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/scrollbar.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "view/text_view.h"

void FrameWindowTest::SetUp() {
    FrameTest::SetUp();
    // A private runtime folder: FindWindowW also looks at the other instances of this
    // user, and a reader running elsewhere must not answer for ours.
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    runtime_ = old ? old : "";
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    quitCode_ = -1;
}

void FrameWindowTest::TearDown() {
    Stop();
    PlatformShutdown();
    MessageBoxClearLog();
    if (runtime_.empty())
        unsetenv("XDG_RUNTIME_DIR");
    else
        setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    FrameTest::TearDown();
}

HWND FrameWindowTest::Start(const BootValues& boot) {
    std::memset(&g_app, 0, sizeof g_app);
    g_settingsSaved = false;
    g_ignoreActivate = boot.ignoreActivate;
    g_fullScreen = boot.fullScreen;
    g_allowSipInHebrewSearch = 1;
    g_taskBarWindow = nullptr;
    g_app.menuBarMode = boot.menuBarOnBottom;
    g_app.gutter = boot.gutter;
    quitCode_ = -1;
    HWND hwnd = CreateMainWindow(SW_SHOW);
    Pump();
    return hwnd;
}

int FrameWindowTest::Stop() {
    quitCode_ = -1;
    if (g_app.mainWindow && IsWindow(g_app.mainWindow)) DestroyWindow(g_app.mainWindow);
    Pump();
    return quitCode_;
}

void FrameWindowTest::Pump() {
    MSG m;
    for (int guard = 0; guard < 10000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (m.message == WM_QUIT) {
            quitCode_ = (int)m.wParam;
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

LRESULT FrameWindowTest::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT r = SendMessageW(g_app.mainWindow, msg, wParam, lParam);
    Pump();
    return r;
}

void FrameWindowTest::StoreNumber(const WCHAR* name, DWORD value) { Store(name, REG_DWORD, &value, 4); }

long long FrameWindowTest::StoredNumber(const WCHAR* name) {
    DWORD type = 0;
    std::string bytes;
    if (!Stored(name, &type, &bytes) || type != REG_DWORD || bytes.size() != 4) return -1;
    DWORD v;
    std::memcpy(&v, bytes.data(), 4);
    return v;
}

void FrameWindowTest::ShowAt(int topLine) {
    g_app.view->topLine = (uint16_t)topLine;
    RepaintView(nullptr, 1);
}

bool FrameWindowTest::ShowsLesson(int n) {
    if (!g_app.view || !g_app.view->text) return false;
    BYTE* text = LoadContentResource(n, nullptr);
    if (!text) return false;
    bool same = std::memcmp(text, g_app.view->text, 64) == 0;
    LocalFree(text);
    return same;
}

int FrameWindowTest::Top() { return g_app.view ? g_app.view->topLine : -1; }

void FrameWindowTest::ScrollBar(int* max, int* pos) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(g_app.mainWindow, SB_VERT, &si);
    *max = si.nMax;
    *pos = si.nPos;
}

UINT FrameWindowTest::BookmarkCheck() {
    HMENU menu = g_app.menuBarMode ? (HMENU)SendMessageW(g_app.barWindow, SHCMBM_GETSUBMENU, 0, kCmdGoMenu)
                                   : CommandBar_GetMenu(g_app.barWindow, 0);
    UINT state = GetMenuState(menu, kCmdBookmark, MF_BYCOMMAND);
    return state == (UINT)-1 ? state : (state & MF_CHECKED);
}

int FrameWindowTest::Boxes() {
    int count = 0;
    MessageBoxLog(&count);
    return count;
}

std::u16string FrameWindowTest::BoxText(int i) { return std::u16string(MessageBoxLog(nullptr)[i].text); }

bool FrameWindowTest::ButtonRect(int id, const std::string& text, RECT* out) {
    std::string dump = DumpWindowTree();
    std::string key = "button id=" + std::to_string(id) + " \"" + text + "\" ";
    size_t at = dump.find(key);
    if (at == std::string::npos) return false;
    int x, y, w, h;
    if (sscanf(dump.c_str() + at + key.size(), "%d,%d,%d,%d", &x, &y, &w, &h) != 4) return false;
    *out = RECT{x, y, x + w, y + h};
    return true;
}

void FrameWindowTest::Tap(const RECT& r) {
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    InputMouse(WM_LBUTTONDOWN, x, y);
    InputMouse(WM_LBUTTONUP, x, y);
    Pump();
}
