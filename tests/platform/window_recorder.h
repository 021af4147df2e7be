// Records the messages windows receive, by window title, so tests can compare a run
// with a table of expected sequences. Header-only: shared by the window tests.
#pragma once

#include <string>
#include <vector>

#include "platform/message.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "platform/window_internal.h"

struct Recorded {
    std::string window;  // the title, UTF-8
    UINT message;
    bool operator==(const Recorded& o) const { return window == o.window && message == o.message; }
};

inline std::ostream& operator<<(std::ostream& os, const Recorded& r) {
    return os << "{" << r.window << ", 0x" << std::hex << r.message << std::dec << "}";
}

struct Recorder {
    std::vector<Recorded> log;
    std::vector<UINT> watched;  // empty: every message
    // Per-test behaviour: return true and set *result to answer instead of DefWindowProc.
    bool (*answer)(HWND, UINT, WPARAM, LPARAM, LRESULT* result) = nullptr;
};

inline Recorder& Rec() {
    static Recorder r;
    return r;
}

inline std::string TitleOf(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    return w ? Utf16ToUtf8(w->text) : "?";
}

inline LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Recorder& r = Rec();
    bool watched = r.watched.empty();
    for (UINT m : r.watched) watched = watched || m == msg;
    if (watched) r.log.push_back(Recorded{TitleOf(hwnd), msg});
    LRESULT result = 0;
    if (r.answer && r.answer(hwnd, msg, wParam, lParam, &result)) return result;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Registers the class "Rec" (white background) after a clean start of the layer.
inline void RecorderStart(std::vector<UINT> watched) {
    PlatformShutdown();
    Rec() = Recorder{};
    Rec().watched = std::move(watched);
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = u"Rec";
    wc.hbrBackground = (HBRUSH)(uintptr_t)(COLOR_WINDOW + 1);
    wc.cbWndExtra = DLGWINDOWEXTRA;
    RegisterClassW(&wc);
}

inline HWND MakeWindow(const char16_t* title, DWORD style, int x, int y, int w, int h, HWND parent = nullptr,
                       int id = 0, DWORD exStyle = 0) {
    return CreateWindowExW(exStyle, u"Rec", title, style, x, y, w, h, parent, (HMENU)(uintptr_t)id, nullptr, nullptr);
}

// Takes and dispatches everything queued, WM_PAINT included, without waiting for input.
inline void DrainQueue() {
    MSG m;
    for (int guard = 0; guard < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (m.message == WM_QUIT) break;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}
