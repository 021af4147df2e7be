// Input from the backends, turned into queued messages for the right window, and the
// orderly close.
#include <csignal>

#include "backend.h"
#include "shell_hooks.h"
#include "message.h"
#include "window.h"
#include "window_internal.h"

namespace {
struct InputState {
    CloseHook closeHook;
    HWND lastActive;  // restored by focus on
};
InputState& I() {
    static InputState s;
    return s;
}
volatile std::sig_atomic_t g_signalClose = 0;
bool g_backendText = false;

HWND KeyTarget() {
    HWND h = GetFocus();
    return h ? h : GetActiveWindow();
}
}  // namespace

void InputMouse(UINT message, int x, int y) {
    // The shell's parts (scroll bars, a thumb drag) see the mouse first.
    if (ShellInputMouse(message, x, y)) return;
    POINT screen{x, y};
    HWND target = GetCapture();
    if (!target) {
        bool client = false;
        target = WindowAtPoint(screen, &client);
        // Presses on the non-client parts (the scroll bar) are not handled yet.
        if (!target || !client) return;
        if (!IsWindowEnabled(target)) return;
        HWND top = WindowTopLevelOf(target);
        if (!IsWindowEnabled(top)) return;
        if (message == WM_LBUTTONDOWN && GetActiveWindow() != top) SetActiveWindow(top);
        if (!IsWindow(target)) return;
    }
    POINT p = screen;
    ScreenToClient(target, &p);
    WPARAM keys = message == WM_LBUTTONUP ? (WPARAM)0 : (WPARAM)MK_LBUTTON;
    if (message == WM_MOUSEMOVE) keys = 0;
    PostMessageW(target, message, keys, MAKELPARAM((WORD)(int16_t)p.x, (WORD)(int16_t)p.y));
}

void InputKey(int vk, bool down) {
    HWND h = KeyTarget();
    if (!h) return;
    LPARAM lp = down ? 1 : (LPARAM)(1 | (1u << 30) | (1u << 31));
    PostMessageW(h, down ? WM_KEYDOWN : WM_KEYUP, (WPARAM)vk, lp);
}

void InputChar(WCHAR ch) {
    HWND h = KeyTarget();
    if (h) PostMessageW(h, WM_CHAR, ch, 1);
}

void InputResize(int width, int height) {
    ScreenSetSize(width, height);
    std::vector<HWND> tops = WindowTopLevels();
    for (HWND h : tops) SendMessageW(h, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
}

void InputFocus(bool on) {
    if (on) {
        HWND h = IsWindow(I().lastActive) ? I().lastActive : nullptr;
        if (!h)
            for (HWND t : WindowTopLevels())
                if (IsWindowVisible(t) && IsWindowEnabled(t)) {
                    h = t;
                    break;
                }
        if (h) SetActiveWindow(h);
        return;
    }
    I().lastActive = GetActiveWindow();
    SetActiveWindow(nullptr);
}

void InputSetCloseHook(CloseHook hook) { I().closeHook = hook; }

void InputClose() {
    if (I().closeHook && I().closeHook()) return;
    // The program's window: unowned and visible; the shell's always-on-top bars are
    // passed over while there is anything else.
    HWND fallback = nullptr;
    for (HWND h : WindowTopLevels()) {
        WindowRec* w = WindowLookup(h);
        if (w->owner || !(w->style & WS_VISIBLE) || w->destroying) continue;
        if (!(w->exStyle & WS_EX_TOPMOST)) {
            PostMessageW(h, WM_CLOSE, 0, 0);
            return;
        }
        if (!fallback) fallback = h;
    }
    if (!fallback && !WindowTopLevels().empty()) fallback = WindowTopLevels().front();
    if (fallback) PostMessageW(fallback, WM_CLOSE, 0, 0);
    else PostQuitMessage(0);
}

void InputRequestCloseFromSignal() { g_signalClose = 1; }

bool InputTakeSignalClose() {
    if (!g_signalClose) return false;
    g_signalClose = 0;
    return true;
}

void InputSetBackendText(bool on) { g_backendText = on; }
bool InputBackendText() { return g_backendText; }
