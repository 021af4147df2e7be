// Menus: records built from menu templates, check marks and item states. A handle is
// checked against the live menus, so a destroyed menu's handle fails every call.
#include "menu.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "platform.h"
#include "resource.h"
#include "shell_internal.h"

struct MenuRec {
    struct Item {
        UINT id;
        UINT flags;
        std::u16string text;
        HMENU popup;
    };
    std::vector<Item> items;
};

namespace {

std::vector<MenuRec*>& Live() {
    static std::vector<MenuRec*> live;
    return live;
}

MenuRec* Lookup(HMENU menu) {
    if (!menu) return nullptr;
    auto& live = Live();
    return std::find(live.begin(), live.end(), menu) != live.end() ? menu : nullptr;
}

HMENU NewMenu() {
    MenuRec* m = new (std::nothrow) MenuRec;
    if (m) Live().push_back(m);
    return m;
}

void Free(HMENU menu) {
    MenuRec* m = Lookup(menu);
    if (!m) return;
    auto& live = Live();
    live.erase(std::find(live.begin(), live.end(), m));
    for (auto& item : m->items) Free(item.popup);
    delete m;
}

// Reads the little-endian words of a template, never past its end.
struct Reader {
    const BYTE* p;
    size_t size;
    size_t at;
    bool Word(WORD* out) {
        if (at + 2 > size) return false;
        *out = (WORD)(p[at] | p[at + 1] << 8);
        at += 2;
        return true;
    }
    bool Text(std::u16string* out) {
        for (WORD w; Word(&w);) {
            if (!w) return true;
            *out += (char16_t)w;
        }
        return false;
    }
};

// One level of items, up to the one marked MF_END; nested popups recurse.
bool ParseItems(Reader* r, MenuRec* menu, int depth) {
    if (depth > 8) return false;
    for (;;) {
        WORD flags;
        if (!r->Word(&flags)) return false;
        MenuRec::Item item{0, 0, {}, nullptr};
        if (flags & MF_POPUP) {
            if (!r->Text(&item.text)) return false;
            item.popup = NewMenu();
            item.flags = MF_POPUP;
            if (!item.popup) return false;
            menu->items.push_back(item);
            if (!ParseItems(r, item.popup, depth + 1)) return false;
        } else {
            WORD id;
            if (!r->Word(&id) || !r->Text(&item.text)) return false;
            item.id = id;
            item.flags = flags & (MF_CHECKED | MF_GRAYED);
            // A separator is written as an item with id 0 and no text.
            if ((flags & MF_SEPARATOR) || (id == 0 && item.text.empty())) item.flags = MF_SEPARATOR;
            menu->items.push_back(item);
        }
        if (flags & MF_END) return true;
    }
}

MenuRec::Item* FindByCommand(MenuRec* m, UINT id, int depth = 0) {
    if (!m || depth > 8) return nullptr;
    for (auto& item : m->items) {
        if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == id) return &item;
        if (item.popup)
            if (MenuRec::Item* in = FindByCommand(Lookup(item.popup), id, depth + 1)) return in;
    }
    return nullptr;
}

MenuRec::Item* Find(HMENU menu, UINT item, UINT flags) {
    MenuRec* m = Lookup(menu);
    if (!m) return nullptr;
    if (flags & MF_BYPOSITION) return item < m->items.size() ? &m->items[item] : nullptr;
    return FindByCommand(m, item);
}

}  // namespace

HMENU MenuFromTemplate(const void* data, DWORD size) {
    if (!data) return nullptr;
    Reader r{(const BYTE*)data, size, 0};
    WORD version, offset;
    if (!r.Word(&version) || !r.Word(&offset) || version != 0) return nullptr;
    r.at += offset;
    HMENU menu = NewMenu();
    if (!menu) return nullptr;
    if (!ParseItems(&r, menu, 0)) {
        Free(menu);
        return nullptr;
    }
    return menu;
}

bool MenuIsValid(HMENU menu) { return Lookup(menu) != nullptr; }

bool MenuGetItem(HMENU menu, int position, MenuItemInfo* out) {
    MenuRec* m = Lookup(menu);
    if (!m || position < 0 || (size_t)position >= m->items.size()) return false;
    const MenuRec::Item& item = m->items[(size_t)position];
    *out = MenuItemInfo{item.id, item.flags, item.text.c_str(), (int)item.text.size(), item.popup};
    return true;
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    HRSRC res = FindResourceW(instance, name, MAKEINTRESOURCEW(RT_MENU));
    if (!res) {
        PlatformSetError("LoadMenuW: no such menu resource");
        return nullptr;
    }
    HMENU menu = MenuFromTemplate(LoadResource(instance, res), SizeofResource(instance, res));
    if (!menu) PlatformSetError("LoadMenuW: malformed menu resource");
    return menu;
}

HMENU GetSubMenu(HMENU menu, int position) {
    MenuItemInfo item;
    return MenuGetItem(menu, position, &item) ? item.popup : nullptr;
}

int GetMenuItemCount(HMENU menu) {
    MenuRec* m = Lookup(menu);
    return m ? (int)m->items.size() : -1;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    MenuRec::Item* it = Find(menu, item, flags);
    if (!it) return (DWORD)-1;
    DWORD before = it->flags & MF_CHECKED;
    it->flags = (it->flags & ~(UINT)MF_CHECKED) | (flags & MF_CHECKED);
    return before;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuRec::Item* it = Find(menu, item, flags);
    if (!it) return (UINT)-1;
    // A popup reports its item count in the high byte, as on the original.
    if (it->popup) return ((UINT)GetMenuItemCount(it->popup) << 8) | MF_POPUP | (it->flags & (MF_CHECKED | MF_GRAYED));
    return it->flags;
}

BOOL DestroyMenu(HMENU menu) {
    if (!Lookup(menu)) return FALSE;
    Free(menu);
    return TRUE;
}
