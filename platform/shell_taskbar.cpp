// The shell's start and its task bar: a dark band across the top of the screen with
// the foreground window's title; the close hook that cancels open menus and boxes.
#include <string>

#include "backend.h"
#include "dump.h"
#include "gdi.h"
#include "message.h"
#include "msgbox.h"
#include "platform.h"
#include "shell.h"
#include "shell_hooks.h"
#include "shell_internal.h"
#include "window.h"

namespace {

const WCHAR kTaskBarClass[] = u"HHTaskBar";

struct TaskBar {
    HWND hwnd;
    std::u16string drawn;  // the title last painted
};
TaskBar& T() {
    static TaskBar t;
    return t;
}

// The title the task bar shows: the foreground window's, unless the shell's own
// windows have it for a moment.
std::u16string CurrentTitle() {
    HWND front = GetForegroundWindow();
    if (!front || front == T().hwnd || ToolbarIsBar(front)) return T().drawn;
    WCHAR text[256];
    int n = GetWindowTextW(front, text, 256);
    return std::u16string(text, (size_t)(n > 0 ? n : 0));
}

LRESULT TaskBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (dc) {
                RECT rc;
                GetClientRect(hwnd, &rc);
                ShellFill(dc, rc, kShellTaskBar);
                T().drawn = CurrentTitle();
                RECT text{8, 0, rc.right - 8, rc.bottom};
                ShellText(dc, T().drawn.c_str(), (int)T().drawn.size(), text,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, kShellLight, true);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) ShellGiveBackActivation(hwnd, (HWND)lParam, nullptr);
            return 0;
        case WM_CLOSE: {
            // The orderly close picks the topmost window, which is the task bar: it
            // goes to the program's window instead.
            for (HWND h = GetWindow(hwnd, GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT)) {
                if (h == hwnd || GetWindow(h, GW_OWNER) || !IsWindowVisible(h)) continue;
                PostMessageW(h, WM_CLOSE, 0, 0);
                return 0;
            }
            PostQuitMessage(0);
            return 0;
        }
        case WM_SETTINGCHANGE:
            MoveWindow(hwnd, 0, 0, GetSystemMetrics(SM_CXSCREEN), TASKBAR_HEIGHT, TRUE);
            return 0;
        case WM_NCDESTROY:
            if (T().hwnd == hwnd) T() = TaskBar{};
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void DumpTitle(HWND hwnd, DumpOut* out) {
    if (hwnd != T().hwnd) return;
    std::u16string title = CurrentTitle();
    DumpPart(out, "title", title.c_str(), nullptr, nullptr);
}

bool ShellCloseHook() { return ShellCancelModes(); }

}  // namespace

HWND ShellCreateTaskBar() {
    if (IsWindow(T().hwnd)) return T().hwnd;
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, kTaskBarClass, &wc)) {
        wc.lpfnWndProc = TaskBarProc;
        wc.lpszClassName = kTaskBarClass;
        if (!RegisterClassW(&wc)) return nullptr;
    }
    HWND h = CreateWindowExW(WS_EX_TOPMOST, kTaskBarClass, u"", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                             TASKBAR_HEIGHT, nullptr, nullptr, nullptr, nullptr);
    if (!h) return nullptr;
    T().hwnd = h;
    DumpAddHook(DumpTitle);
    ShowWindow(h, SW_SHOWNA);
    return h;
}

void ShellInit() {
    static bool once;
    if (!once) {
        once = true;
        InputSetCloseHook(ShellCloseHook);
        // The drawn box needs a loop that gets input: a script or a desktop window.
        // Unit tests keep the stand-in with its queued answers.
        const PlatformOptions* o = PlatformGetOptions();
        if (BackendCurrent() != &kHeadlessBackend || (o && o->script[0])) MessageBoxSetHandler(MessageBoxModal);
    }
    ShellCreateTaskBar();
}

void ShellTaskBarRefresh() {
    if (IsWindow(T().hwnd) && CurrentTitle() != T().drawn) InvalidateRect(T().hwnd, nullptr, FALSE);
}

void ShellActiveChanged() { ShellTaskBarRefresh(); }

bool ShellCancelModes() {
    bool menu = PopupMenuCancel();
    bool box = MessageBoxModalCancel();
    return menu || box;
}
