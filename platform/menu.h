// Menus: popups built from menu resources, with check marks, separators and shortcut
// text after a 0x08 character (drawn right-aligned).
#pragma once

#include "win_types.h"

enum : UINT {
    MF_BYCOMMAND = 0x0000,
    MF_BYPOSITION = 0x0400,
    MF_STRING = 0x0000,
    MF_SEPARATOR = 0x0800,
    MF_UNCHECKED = 0x0000,
    MF_CHECKED = 0x0008,
    MF_POPUP = 0x0010,
    MF_ENABLED = 0x0000,
    MF_GRAYED = 0x0001,
};
#define MF_END 0x0080

// Menu resource: the classic binary template (flags word, id word for items, UTF-16
// text), popups nested.
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
// The previous check state (MF_CHECKED or MF_UNCHECKED), or -1 when there is no such
// item; searches popups too when by command.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
BOOL DestroyMenu(HMENU menu);
enum : UINT { TPM_LEFTALIGN = 0, TPM_BOTTOMALIGN = 0x0020, TPM_RETURNCMD = 0x0100 };
// Opens a popup at screen x, y and runs it modally; the chosen command goes to `owner`
// as WM_COMMAND (or is returned with TPM_RETURNCMD); 0 when dismissed.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, void* params);
