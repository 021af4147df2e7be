// Focus, activation (the foreground window), enabling and mouse capture.
#include "instance.h"
#include "message.h"
#include "shell_hooks.h"
#include "window.h"
#include "window_internal.h"

namespace {
struct FocusState {
    HWND active;
    HWND focus;
    HWND capture;
};
FocusState& F() {
    static FocusState f;
    return f;
}

bool Within(HWND inner, HWND outer) { return inner && (inner == outer || IsChild(outer, inner)); }

void KillFocus(HWND newFocus) {
    HWND old = F().focus;
    if (!old) return;
    F().focus = nullptr;
    SendMessageW(old, WM_KILLFOCUS, (WPARAM)newFocus, 0);
}

bool Activatable(const WindowRec* w) {
    return w && !w->parent && !w->destroying && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}
}  // namespace

HWND GetActiveWindow() {
    if (!WindowLookup(F().active)) F().active = nullptr;
    return F().active;
}

HWND GetForegroundWindow() {
    HWND h = GetActiveWindow();
    return h ? h : InstanceForegroundWindow();
}

HWND SetActiveWindow(HWND hwnd) {
    HWND top = hwnd ? WindowTopLevelOf(hwnd) : nullptr;
    if (hwnd && !top) return nullptr;
    HWND old = GetActiveWindow();
    if (top == old) {
        if (top) WindowBringToTop(top);
        return old;
    }
    if (old) {
        SendMessageW(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), (LPARAM)top);
        if (Within(F().focus, old)) KillFocus(nullptr);
    }
    F().active = top;
    ShellActiveChanged();
    if (top) {
        WindowBringToTop(top);
        SendMessageW(top, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), (LPARAM)old);
    }
    return old;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (InstanceIsRemote(hwnd)) return InstanceSetForegroundWindow(hwnd);
    if (!WindowLookup(hwnd)) return FALSE;
    SetActiveWindow(hwnd);
    return TRUE;
}

HWND GetFocus() {
    if (!WindowLookup(F().focus)) F().focus = nullptr;
    return F().focus;
}

HWND SetFocus(HWND hwnd) {
    HWND old = GetFocus();
    if (!hwnd) {
        KillFocus(nullptr);
        return old;
    }
    WindowRec* w = WindowLookup(hwnd);
    if (!w || (w->style & WS_DISABLED)) return nullptr;
    HWND top = WindowTopLevelOf(hwnd);
    HWND now = old;
    if (GetActiveWindow() != top) {
        SetActiveWindow(top);
        if (!WindowLookup(hwnd)) return nullptr;
        now = GetFocus();
    }
    if (now == hwnd) return old;
    KillFocus(hwnd);
    if (!WindowLookup(hwnd)) return old;
    F().focus = hwnd;
    SendMessageW(hwnd, WM_SETFOCUS, (WPARAM)now, 0);
    return old;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        SendMessageW(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        w->style |= WS_DISABLED;
        if (Within(F().focus, hwnd)) KillFocus(nullptr);
        if (Within(F().capture, hwnd)) ReleaseCapture();
        SendMessageW(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    return w && !(w->style & WS_DISABLED);
}

HWND SetCapture(HWND hwnd) {
    HWND old = GetCapture();
    if (WindowLookup(hwnd)) F().capture = hwnd;
    return old;
}

BOOL ReleaseCapture() {
    HWND old = GetCapture();
    F().capture = nullptr;
    if (old) SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() {
    if (!WindowLookup(F().capture)) F().capture = nullptr;
    return F().capture;
}

void WindowForgetForDestroy(HWND hwnd) {
    if (Within(F().capture, hwnd)) F().capture = nullptr;
    if (Within(F().focus, hwnd)) F().focus = nullptr;
    if (F().active == hwnd) WindowActivateNext(hwnd);
}

void WindowActivateNext(HWND gone) {
    if (F().active != gone) {
        if (Within(F().focus, gone)) KillFocus(nullptr);
        return;
    }
    if (Within(F().focus, gone)) KillFocus(nullptr);
    F().active = nullptr;
    ShellActiveChanged();
    WindowRec* w = WindowLookup(gone);
    WindowRec* owner = w ? WindowLookup(w->owner) : nullptr;
    HWND next = Activatable(owner) ? owner->handle : nullptr;
    if (!next) {
        for (HWND h : WindowTopLevels()) {
            if (h != gone && Activatable(WindowLookup(h))) {
                next = h;
                break;
            }
        }
    }
    if (next) SetActiveWindow(next);
}

void WindowFocusReset() { F() = FocusState{}; }
