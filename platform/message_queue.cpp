// The thread's message queue: posted messages, the quit flag, generated WM_PAINT, and
// the idle turn that presents the screen and asks the backend for input.
#include <chrono>
#include <deque>

#include "backend.h"
#include "instance.h"
#include "message.h"
#include "window.h"
#include "window_internal.h"

namespace {

struct Queue {
    std::deque<MSG> posted;
    bool quit;
    int quitCode;
    BYTE keys[256];  // bit 7: down, as of the last message taken
    DWORD lastTime;
};

Queue& Q() {
    static Queue q;
    return q;
}

std::chrono::steady_clock::time_point Start() {
    static auto start = std::chrono::steady_clock::now();
    return start;
}

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
    if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

void NoteTaken(const MSG& m) {
    Q().lastTime = m.time;
    if ((m.message == WM_KEYDOWN || m.message == WM_KEYUP) && m.wParam < 256)
        Q().keys[m.wParam] = m.message == WM_KEYDOWN ? 0x80 : 0;
}

// One message without waiting: posted, quit, paint. False when there is none.
bool Take(MSG* out, HWND filter, UINT min, UINT max, bool remove) {
    Queue& q = Q();
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!Matches(*it, filter, min, max)) continue;
        *out = *it;
        if (remove) {
            q.posted.erase(it);
            NoteTaken(*out);
        }
        return true;
    }
    if (q.quit) {
        *out = MSG{nullptr, WM_QUIT, (WPARAM)q.quitCode, 0, GetMessageTime(), {0, 0}};
        if (remove) q.quit = false;
        return true;
    }
    if (min == 0 && max == 0 ? true : (WM_PAINT >= min && WM_PAINT <= max)) {
        if (HWND h = PaintNextWindow(filter)) {
            *out = MSG{h, WM_PAINT, 0, 0, GetMessageTime(), {0, 0}};
            return true;
        }
    }
    return false;
}

}  // namespace

DWORD GetTickCount() {
    return (DWORD)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start())
        .count();
}

DWORD GetMessageTime() { return Q().lastTime; }

short GetKeyState(int vk) { return vk >= 0 && vk < 256 && (Q().keys[vk] & 0x80) ? (short)0x8000 : 0; }

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT min, UINT max) {
    if (!msg) return -1;
    for (;;) {
        if (Take(msg, hwnd, min, max, true)) return msg->message != WM_QUIT;
        // Idle: nothing queued, nothing to paint.
        if (InputTakeSignalClose()) {
            InputClose();
            continue;
        }
        // Other instances are answered only here, when the loop has nothing to do.
        if (InstanceServe(0)) continue;
        if (ScreenTakeDirty()) BackendPresent();
        if (!BackendWaitInput() && !Take(msg, hwnd, min, max, false)) {
            // No input will come again and nothing is pending: end rather than hang.
            PostQuitMessage(1);
        }
    }
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove) {
    if (!msg) return FALSE;
    if (!Take(msg, hwnd, min, max, (remove & PM_REMOVE) != 0)) {
        BackendPollInput();
        if (!Take(msg, hwnd, min, max, (remove & PM_REMOVE) != 0)) return FALSE;
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    int vk = (int)msg->wParam;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    WCHAR ch = 0;
    if (vk >= 'A' && vk <= 'Z') {
        ch = WCHAR(shift ? vk : vk + 32);
    } else if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        ch = WCHAR(shift ? shifted[vk - '0'] : vk);
    } else {
        static const struct { int vk; char plain, shifted; } keys[] = {
            {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},   {VK_ESCAPE, 0x1B, 0x1B}, {VK_TAB, '\t', '\t'},
            {VK_BACK, 8, 8},           {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'},
            {VK_OEM_MINUS, '-', '_'},  {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},    {VK_OEM_3, '`', '~'},
            {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},    {VK_OEM_7, '\'', '"'},
        };
        for (const auto& k : keys)
            if (k.vk == vk) ch = WCHAR(shift ? k.shifted : k.plain);
    }
    if (!ch) return FALSE;
    if (InputBackendText() && ch != '\r' && ch != 0x1B && ch != '\t' && ch != 8) return FALSE;
    Q().posted.push_front(MSG{msg->hwnd, WM_CHAR, ch, msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg) return 0;
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (InstanceIsRemote(hwnd)) return InstanceSendMessage(hwnd, msg, wParam, lParam);
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return 0;
    WNDPROC proc = w->proc;  // the record may be gone when the call returns
    ScreenMarkDirty();
    return proc(hwnd, msg, wParam, lParam);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !WindowLookup(hwnd)) return FALSE;
    Q().posted.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    Q().quit = true;
    Q().quitCode = exitCode;
}

void MessageQueueDropWindow(HWND hwnd) {
    auto& posted = Q().posted;
    for (auto it = posted.begin(); it != posted.end();) it = it->hwnd == hwnd ? posted.erase(it) : it + 1;
}

void MessageQueueReset() {
    Queue& q = Q();
    q.posted.clear();
    q.quit = false;
    q.quitCode = 0;
    for (BYTE& k : q.keys) k = 0;
}
