// Shared by the shell's tests: an owner window that records what it is sent and runs
// queued actions whenever a modal loop (menu, message box) goes idle, and a reader
// of part rectangles in the dump.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/dump.h"
#include "platform/message.h"
#include "platform/platform.h"
#include "platform/window.h"

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received& o) const {
        return message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Received& r) {
    return os << "{0x" << std::hex << r.message << ", " << std::dec << LOWORD(r.wParam) << "/" << HIWORD(r.wParam)
              << ", " << r.lParam << "}";
}

struct OwnerLog {
    std::vector<Received> got;
    std::deque<std::function<void()>> onIdle;  // one action each time a modal loop idles
    int paints = 0;
    bool enabledWhileIdle = true;
};

inline OwnerLog& Owner() {
    static OwnerLog log;
    return log;
}

inline LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    OwnerLog& o = Owner();
    switch (msg) {
        case WM_COMMAND:
        case WM_VSCROLL:
        case WM_CLOSE:
            o.got.push_back(Received{msg, wParam, lParam});
            return 0;
        case WM_PAINT:
            ++o.paints;
            break;
        case WM_ENTERIDLE:
            o.enabledWhileIdle = o.enabledWhileIdle && IsWindowEnabled(hwnd);
            if (!o.onIdle.empty()) {
                auto action = o.onIdle.front();
                o.onIdle.pop_front();
                action();
            }
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A clean layer with the class "Owner" registered.
inline void ShellTestStart() {
    PlatformShutdown();
    Owner() = OwnerLog{};
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = u"Owner";
    wc.hbrBackground = (HBRUSH)(uintptr_t)(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
}

inline HWND MakeOwner(DWORD style = WS_VISIBLE, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int w = CW_USEDEFAULT,
                      int h = CW_USEDEFAULT) {
    return CreateWindowExW(0, u"Owner", u"Velmora", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

// Takes and dispatches everything queued without waiting for input.
inline void Drain() {
    MSG m;
    for (int guard = 0; guard < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (m.message == WM_QUIT) break;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// The rectangle of the first dump line that starts (after its indent) with `prefix`.
inline bool DumpRect(const std::string& prefix, RECT* out) {
    std::string dump = DumpWindowTree();
    size_t at = 0;
    while (at < dump.size()) {
        size_t end = dump.find('\n', at);
        if (end == std::string::npos) end = dump.size();
        std::string line = dump.substr(at, end - at);
        at = end + 1;
        size_t s = line.find_first_not_of(' ');
        if (s == std::string::npos || line.compare(s, prefix.size(), prefix) != 0) continue;
        // The rectangle follows the quoted text.
        size_t open = line.find('"', s), close = std::string::npos;
        for (size_t i = open + 1; open != std::string::npos && i < line.size(); ++i) {
            if (line[i] == '\\') ++i;
            else if (line[i] == '"') {
                close = i;
                break;
            }
        }
        int x, y, w, h;
        if (close == std::string::npos || sscanf(line.c_str() + close + 1, "%d,%d,%d,%d", &x, &y, &w, &h) != 4)
            return false;
        *out = RECT{x, y, x + w, y + h};
        return true;
    }
    return false;
}

inline void Tap(const RECT& r) {
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    InputMouse(WM_LBUTTONDOWN, x, y);
    InputMouse(WM_LBUTTONUP, x, y);
}
