// The command bar of the common controls: a bar at the top of its window holding the
// window's menu as dropdown buttons, toolbar buttons and the close adornment.
#include "commandbar.h"

#include "menu.h"
#include "message.h"
#include "shell_internal.h"
#include "window.h"

void InitCommonControls() {}

HWND CommandBar_Create(HINSTANCE, HWND parent, int id) {
    RECT rc;
    if (!GetClientRect(parent, &rc)) return nullptr;
    HWND bar = ToolbarCreate(kBarCommandBar, parent, 0, 0, rc.right, id);
    if (bar) ShowWindow(bar, SW_SHOWNA);
    return bar;
}

BOOL CommandBar_InsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD) {
    if (!ToolbarIsBar(bar)) return FALSE;
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    if (!menu) return FALSE;
    // Each popup of the menu becomes a dropdown button labelled with its text.
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        MenuItemInfo item;
        if (MenuGetItem(menu, i, &item) && item.popup) ToolbarAddMenuButton(bar, item.text, 0, item.popup);
    }
    ToolbarSetMenu(bar, menu);
    return TRUE;
}

HMENU CommandBar_GetMenu(HWND bar, WORD) { return ToolbarGetMenu(bar); }

int CommandBar_Height(HWND bar) {
    RECT r;
    return GetWindowRect(bar, &r) ? (int)(r.bottom - r.top) : 0;
}

BOOL CommandBar_AddAdornments(HWND bar, DWORD, DWORD) { return ToolbarAddClose(bar) ? TRUE : FALSE; }

BOOL CommandBar_Show(HWND bar, BOOL show) {
    if (!IsWindow(bar)) return FALSE;
    ShowWindow(bar, show ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int count, int, int) {
    return ToolbarAddBitmap(bar, instance, (UINT)bitmapId, count);
}
