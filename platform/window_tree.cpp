// The window table and tree: creation, destruction, lookup, attributes and text.
#include <algorithm>
#include <cstring>

#include "instance.h"
#include "message.h"
#include "platform.h"
#include "window.h"
#include "window_internal.h"

namespace {

// A handle is (generation << 16) | (slot + 1): a slot reused by a new window gets a
// new generation, so stale handles are refused instead of reaching the new window.
struct Slot {
    WindowRec* rec;
    uint32_t generation;
};

struct Table {
    std::vector<Slot> slots;
    std::vector<HWND> topLevels;  // topmost first
};

Table& T() {
    static Table t;
    return t;
}

HWND MakeHandle(size_t slot, uint32_t generation) {
    return (HWND)(uintptr_t)(((uintptr_t)generation << 16) | (uintptr_t)(slot + 1));
}

bool SplitHandle(HWND hwnd, size_t* slot, uint32_t* generation) {
    uintptr_t v = (uintptr_t)hwnd;
    if ((v & 0xFFFF) == 0) return false;
    *slot = (v & 0xFFFF) - 1;
    *generation = (uint32_t)(v >> 16);
    return true;
}

void Unlink(WindowRec* w) {
    std::vector<HWND>* list = &T().topLevels;
    if (w->parent) {
        WindowRec* p = WindowLookup(w->parent);
        if (!p) return;
        list = &p->children;
    }
    list->erase(std::remove(list->begin(), list->end(), w->handle), list->end());
}

void FreeRecord(WindowRec* w) {
    size_t slot = 0;
    uint32_t gen = 0;
    SplitHandle(w->handle, &slot, &gen);
    Unlink(w);
    MessageQueueDropWindow(w->handle);
    if (w->hasSurface) SurfaceDestroy(&w->surface);
    T().slots[slot].rec = nullptr;
    delete w;
}

void SendDestroyTree(HWND hwnd) {
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return;
    std::vector<HWND> kids = w->children;
    for (HWND k : kids) {
        WindowRec* c = WindowLookup(k);
        if (!c || c->destroying) continue;
        c->destroying = true;
        SendDestroyTree(k);
    }
}

void NcDestroyTree(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return;
    std::vector<HWND> kids = w->children;
    for (HWND k : kids) NcDestroyTree(k);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    if ((w = WindowLookup(hwnd))) FreeRecord(w);
}

void CollectFrom(HWND hwnd, std::vector<HWND>* out) {
    out->push_back(hwnd);
    WindowRec* w = WindowLookup(hwnd);
    for (HWND k : w->children) CollectFrom(k, out);
}

}  // namespace

// ---- Text helpers ----

size_t WStrLen(LPCWSTR s) {
    size_t n = 0;
    if (s)
        while (s[n]) ++n;
    return n;
}

std::u16string WStr(LPCWSTR s) { return s && !IS_INTRESOURCE(s) ? std::u16string(s, WStrLen(s)) : std::u16string(); }

std::string Utf16ToUtf8(const std::u16string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& s) {
    std::u16string out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = (unsigned char)s[i];
        uint32_t c;
        int extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out += char16_t(0xFFFD);
            ++i;
            continue;
        }
        if (i + extra >= s.size() + (extra ? 0 : 1)) {
            out += char16_t(0xFFFD);
            break;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char n = (unsigned char)s[i + k];
            if ((n & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += char16_t(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

// ---- The table ----

WindowRec* WindowLookup(HWND hwnd) {
    size_t slot;
    uint32_t gen;
    if (!SplitHandle(hwnd, &slot, &gen)) return nullptr;
    Table& t = T();
    if (slot >= t.slots.size() || t.slots[slot].generation != gen) return nullptr;
    return t.slots[slot].rec;
}

const std::vector<HWND>& WindowTopLevels() { return T().topLevels; }

void WindowCollect(std::vector<HWND>* out) {
    out->clear();
    for (HWND h : T().topLevels) CollectFrom(h, out);
}

HWND WindowTopLevelOf(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    while (w && w->parent) w = WindowLookup(w->parent);
    return w ? w->handle : nullptr;
}

bool WindowReallyVisible(const WindowRec* w) {
    while (w) {
        if (!(w->style & WS_VISIBLE)) return false;
        if (!w->parent) return true;
        w = WindowLookup(w->parent);
    }
    return false;
}

void WindowManagerReset() {
    for (;;) {
        const std::vector<HWND>& tops = T().topLevels;
        if (tops.empty()) break;
        HWND h = tops.back();
        if (!DestroyWindow(h)) {
            // Mid-destruction leftovers: free them without messages.
            WindowRec* w = WindowLookup(h);
            std::vector<HWND> all;
            CollectFrom(h, &all);
            for (auto it = all.rbegin(); it != all.rend(); ++it)
                if ((w = WindowLookup(*it))) FreeRecord(w);
        }
    }
    MessageQueueReset();
    WindowClassesReset();
    WindowFocusReset();
}

// ---- Creation and destruction ----

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    int cls = WindowFindClass(className);
    if (cls < 0) {
        PlatformSetError("CreateWindowExW: unknown class");
        return nullptr;
    }
    WindowRec* parentRec = parent ? WindowLookup(parent) : nullptr;
    if (parent && !parentRec) {
        PlatformSetError("CreateWindowExW: invalid parent");
        return nullptr;
    }
    if ((style & WS_CHILD) && !parentRec) {
        PlatformSetError("CreateWindowExW: a child window needs a parent");
        return nullptr;
    }
    WindowClassRec* c = WindowClassAt(cls);
    Table& t = T();
    size_t slot = 0;
    while (slot < t.slots.size() && t.slots[slot].rec) ++slot;
    if (slot >= 0xFFFF) {
        PlatformSetError("CreateWindowExW: too many windows");
        return nullptr;
    }
    if (slot == t.slots.size()) t.slots.push_back(Slot{nullptr, 0});
    Slot& s = t.slots[slot];
    s.generation = (s.generation + 1) & 0xFFFFFFFFu;
    if (s.generation == 0) s.generation = 1;

    WindowRec* w = new WindowRec{};
    w->handle = MakeHandle(slot, s.generation);
    w->cls = cls;
    w->proc = c->wc.lpfnWndProc;
    w->style = style & ~WS_VISIBLE;  // shown after WM_CREATE, as on the original
    w->exStyle = exStyle;
    w->extra.assign((size_t)c->wc.cbWndExtra, 0);
    w->instance = instance;
    w->text = WStr(windowName);
    if (style & WS_CHILD) {
        w->parent = parent;
        w->id = (LONG_PTR)(uintptr_t)menu;
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) width = height = 0;
    } else {
        w->owner = parent ? WindowTopLevelOf(parent) : nullptr;
        w->id = (LONG_PTR)(uintptr_t)menu;
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        if (x == CW_USEDEFAULT) {
            x = work.left;
            y = work.top;
        }
        if (width == CW_USEDEFAULT) {
            width = work.right - work.left;
            height = work.bottom - work.top;
        }
    }
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    w->rect = RECT{x, y, x + width, y + height};
    if (!w->parent) {
        if (!SurfaceCreate(&w->surface, width > 0 ? width : 1, height > 0 ? height : 1, 0xFFFFFF)) {
            delete w;
            PlatformSetError("CreateWindowExW: out of memory for the surface");
            return nullptr;
        }
        w->hasSurface = true;
    }
    s.rec = w;
    HWND hwnd = w->handle;
    if (w->parent) {
        parentRec->children.push_back(hwnd);
    } else {
        t.topLevels.insert(t.topLevels.begin(), hwnd);
        WindowBringToTop(hwnd);  // below the topmost band unless topmost itself
    }

    CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, (LONG)style, windowName, className, exStyle};
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, (LPARAM)&cs)) {
        if ((w = WindowLookup(hwnd))) {
            w->destroying = true;
            NcDestroyTree(hwnd);
        }
        PlatformSetError("CreateWindowExW: WM_NCCREATE refused");
        return nullptr;
    }
    if (!WindowLookup(hwnd)) return nullptr;
    if (SendMessageW(hwnd, WM_CREATE, 0, (LPARAM)&cs) == -1) {
        if ((w = WindowLookup(hwnd))) {
            w->destroying = true;
            WindowForgetForDestroy(hwnd);
            NcDestroyTree(hwnd);
        }
        PlatformSetError("CreateWindowExW: WM_CREATE refused");
        return nullptr;
    }
    if (!(w = WindowLookup(hwnd))) return nullptr;
    RECT rc;
    GetClientRect(hwnd, &rc);
    POINT org = WindowClientScreenOrigin(w);
    if (w->parent) ScreenToClient(w->parent, &org);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(org.x, org.y));
    if (!(w = WindowLookup(hwnd))) return nullptr;
    PaintNonClient(w);
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return WindowLookup(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    // Owned windows go first, whole.
    for (;;) {
        HWND owned = nullptr;
        for (HWND h : T().topLevels) {
            WindowRec* o = WindowLookup(h);
            if (o && o->owner == hwnd && !o->destroying) {
                owned = h;
                break;
            }
        }
        if (!owned) break;
        DestroyWindow(owned);
    }
    if (!(w = WindowLookup(hwnd))) return TRUE;
    bool wasVisible = WindowReallyVisible(w);
    if (w->parent && wasVisible) {
        WindowRec* p = WindowLookup(w->parent);
        RECT r;
        POINT off = WindowClientScreenOrigin(p);
        POINT me = WindowScreenOrigin(w);
        r = RECT{me.x - off.x, me.y - off.y, me.x - off.x + (w->rect.right - w->rect.left),
                 me.y - off.y + (w->rect.bottom - w->rect.top)};
        PaintInvalidate(p, &r, true);
    }
    w->style &= ~WS_VISIBLE;
    if (!w->parent) ScreenMarkDirty();
    WindowForgetForDestroy(hwnd);
    SendDestroyTree(hwnd);
    NcDestroyTree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return WindowLookup(hwnd) != nullptr || (InstanceIsRemote(hwnd) && InstanceIsWindow(hwnd)); }

// ---- Tree queries ----

HWND GetParent(HWND hwnd) {
    if (InstanceIsRemote(hwnd)) return InstanceGetParent(hwnd);
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return nullptr;
    return w->parent ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_OWNER) return w->owner;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    const std::vector<HWND>* list = &T().topLevels;
    if (w->parent) list = &WindowLookup(w->parent)->children;
    if (list->empty()) return nullptr;
    auto it = std::find(list->begin(), list->end(), hwnd);
    switch (cmd) {
        case GW_HWNDFIRST: return list->front();
        case GW_HWNDLAST: return list->back();
        case GW_HWNDNEXT: return it + 1 < list->end() ? *(it + 1) : nullptr;
        case GW_HWNDPREV: return it > list->begin() ? *(it - 1) : nullptr;
    }
    return nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    while (w && w->parent) {
        if (w->parent == parent) return TRUE;
        w = WindowLookup(w->parent);
    }
    return FALSE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    for (HWND h : T().topLevels) {
        WindowRec* w = WindowLookup(h);
        if (!w || w->destroying) continue;
        if (className) {
            if (IS_INTRESOURCE(className)) {
                if (WindowFindClass(className) != w->cls) continue;
            } else if (!WindowClassNameEquals(WindowClassOf(w)->name, className)) {
                continue;
            }
        }
        if (windowName && w->text != WStr(windowName)) continue;
        return h;
    }
    return InstanceFindWindow(className, windowName);
}

int GetDlgCtrlID(HWND hwnd) {
    WindowRec* w = WindowLookup(hwnd);
    return w && w->parent ? (int)w->id : 0;
}

HWND GetDlgItem(HWND parent, int id) {
    WindowRec* p = WindowLookup(parent);
    if (!p) return nullptr;
    for (HWND k : p->children)
        if ((int)WindowLookup(k)->id == id) return k;
    return nullptr;
}

// ---- Attributes ----

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWL_STYLE: return (LONG_PTR)(LONG)w->style;
        case GWL_EXSTYLE: return (LONG_PTR)(LONG)w->exStyle;
        case GWL_ID: return w->id;
        case GWL_USERDATA: return w->userData;
        case GWL_WNDPROC: return (LONG_PTR)w->proc;
        case GWL_HWNDPARENT: return (LONG_PTR)(w->parent ? w->parent : w->owner);
    }
    if (index >= 0 && (size_t)index + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        memcpy(&v, &w->extra[index], sizeof v);
        return v;
    }
    PlatformSetError("GetWindowLongPtrW: bad index");
    return 0;
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrW(hwnd, index);
    switch (index) {
        case GWL_STYLE: {
            DWORD s = (DWORD)value;
            if ((s ^ w->style) & WS_VISIBLE) (w->parent ? PaintInvalidate(WindowLookup(w->parent), nullptr, true) : ScreenMarkDirty());
            w->style = s;
            return old;
        }
        case GWL_EXSTYLE: w->exStyle = (DWORD)value; return old;
        case GWL_ID: w->id = value; return old;
        case GWL_USERDATA: w->userData = value; return old;
        case GWL_WNDPROC:
            if (value) w->proc = (WNDPROC)value;
            return old;
    }
    if (index >= 0 && (size_t)index + sizeof(LONG_PTR) <= w->extra.size()) {
        memcpy(&w->extra[index], &value, sizeof value);
        return old;
    }
    PlatformSetError("SetWindowLongPtrW: bad index");
    return 0;
}

// Extra bytes hold a LONG at the offset for these two, a LONG_PTR for the Ptr pair.
LONG GetWindowLongW(HWND hwnd, int index) {
    WindowRec* w = WindowLookup(hwnd);
    if (w && index >= 0) {
        LONG v = 0;
        if ((size_t)index + sizeof v <= w->extra.size()) memcpy(&v, &w->extra[index], sizeof v);
        else PlatformSetError("GetWindowLongW: bad index");
        return v;
    }
    return (LONG)GetWindowLongPtrW(hwnd, index);
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
    WindowRec* w = WindowLookup(hwnd);
    if (w && index >= 0) {
        LONG old = 0;
        if ((size_t)index + sizeof old > w->extra.size()) {
            PlatformSetError("SetWindowLongW: bad index");
            return 0;
        }
        memcpy(&old, &w->extra[index], sizeof old);
        memcpy(&w->extra[index], &value, sizeof value);
        return old;
    }
    // Styles keep their bits; a LONG never carries a pointer.
    LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE) ? (LONG_PTR)(DWORD)value : (LONG_PTR)value;
    return (LONG)SetWindowLongPtrW(hwnd, index, v);
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!WindowLookup(hwnd)) return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, (LPARAM)text) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
    if (!WindowLookup(hwnd) || !buffer || size <= 0) return 0;
    return (int)SendMessageW(hwnd, WM_GETTEXT, (WPARAM)size, (LPARAM)buffer);
}

int GetWindowTextLengthW(HWND hwnd) {
    if (!WindowLookup(hwnd)) return 0;
    return (int)SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
}
