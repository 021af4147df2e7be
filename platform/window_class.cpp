// Window classes: a table of registered classes, looked up by name or atom.
#include <vector>

#include "platform.h"
#include "window.h"
#include "window_internal.h"

namespace {
std::vector<WindowClassRec*>& Classes() {
    static std::vector<WindowClassRec*> classes;
    return classes;
}
}  // namespace

bool WindowClassNameEquals(const std::u16string& a, LPCWSTR b) {
    size_t n = WStrLen(b);
    if (n != a.size()) return false;
    for (size_t i = 0; i < n; ++i) {
        WCHAR x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = WCHAR(x - 32);
        if (y >= 'a' && y <= 'z') y = WCHAR(y - 32);
        if (x != y) return false;
    }
    return true;
}

// Index of a class given by name or atom; -1 when unknown.
int WindowFindClass(LPCWSTR name) {
    auto& classes = Classes();
    if (!name) return -1;
    if (IS_INTRESOURCE(name)) {
        int i = (int)(uintptr_t)name - 0xC000;
        return i >= 0 && i < (int)classes.size() && classes[i] ? i : -1;
    }
    for (size_t i = 0; i < classes.size(); ++i)
        if (classes[i] && WindowClassNameEquals(classes[i]->name, name)) return (int)i;
    return -1;
}

WindowClassRec* WindowClassAt(int index) {
    auto& classes = Classes();
    return index >= 0 && index < (int)classes.size() ? classes[index] : nullptr;
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) ||
        !wc->lpszClassName[0] || wc->cbWndExtra < 0 || wc->cbWndExtra > 1024) {
        PlatformSetError("RegisterClassW: bad class record");
        return 0;
    }
    if (WindowFindClass(wc->lpszClassName) >= 0) {
        PlatformSetError("RegisterClassW: the class exists");
        return 0;
    }
    auto& classes = Classes();
    WindowClassRec* c = new WindowClassRec{WStr(wc->lpszClassName), *wc};
    c->wc.lpszClassName = c->name.c_str();
    c->wc.lpszMenuName = nullptr;
    for (size_t i = 0; i < classes.size(); ++i) {
        if (!classes[i]) {
            classes[i] = c;
            return ATOM(0xC000 + i);
        }
    }
    classes.push_back(c);
    return ATOM(0xC000 + classes.size() - 1);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    int i = WindowFindClass(className);
    if (i < 0) return FALSE;
    std::vector<HWND> all;
    WindowCollect(&all);
    for (HWND h : all)
        if (WindowLookup(h)->cls == i) return FALSE;  // still in use
    delete Classes()[i];
    Classes()[i] = nullptr;
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* out) {
    WindowClassRec* c = WindowClassAt(WindowFindClass(className));
    if (!c || !out) return FALSE;
    *out = c->wc;
    return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int size) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || !buffer || size <= 0) return 0;
    const std::u16string& name = WindowClassOf(w)->name;
    int n = (int)name.size() < size - 1 ? (int)name.size() : size - 1;
    for (int i = 0; i < n; ++i) buffer[i] = name[i];
    buffer[n] = 0;
    return n;
}

WindowClassRec* WindowClassOf(const WindowRec* w) { return WindowClassAt(w->cls); }

void WindowClassesReset() {
    for (WindowClassRec*& c : Classes()) {
        delete c;
        c = nullptr;
    }
    Classes().clear();
}
