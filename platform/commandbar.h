// The command bar of the common controls (a bar at the top of a window holding a menu,
// toolbar buttons and the close adornment) and the toolbar messages that both the
// command bar and the shell's menu bar take.
#pragma once

#include "win_types.h"

void InitCommonControls();

HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id);
// Puts menu resource `menuId` on the bar as its menu, at button position `button`.
BOOL CommandBar_InsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD button);
HMENU CommandBar_GetMenu(HWND bar, WORD button);
int CommandBar_Height(HWND bar);
// Adds the close button ("×"); it sends WM_CLOSE to the bar's parent.
BOOL CommandBar_AddAdornments(HWND bar, DWORD flags, DWORD reserved);
BOOL CommandBar_Show(HWND bar, BOOL show);
// Adds `count` images of cx × cy from bitmap resource `bitmapId`; the index of the
// first, or -1.
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int count, int cx, int cy);

struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    DWORD_PTR dwData;
    INT_PTR iString;
};
struct TBADDBITMAP {
    HINSTANCE hInst;
    UINT_PTR nID;
};
enum : BYTE { TBSTATE_CHECKED = 0x01, TBSTATE_PRESSED = 0x02, TBSTATE_ENABLED = 0x04, TBSTATE_HIDDEN = 0x08 };
enum : BYTE {
    TBSTYLE_BUTTON = 0x00,
    TBSTYLE_SEP = 0x01,
    TBSTYLE_CHECK = 0x02,
    TBSTYLE_DROPDOWN = 0x08,
    TBSTYLE_AUTOSIZE = 0x10,
};
enum : UINT {
    TB_ADDBITMAP = WM_USER + 19,     // wParam image count, lParam TBADDBITMAP*
    TB_SETTOOLTIPS = WM_USER + 81,   // wParam count, lParam WCHAR** (the first for the menu)
    TB_ADDBUTTONS = WM_USER + 68,    // wParam count, lParam TBBUTTON*
    TB_BUTTONCOUNT = WM_USER + 24,
    TB_GETITEMRECT = WM_USER + 29,   // wParam button index, lParam RECT* (bar client coordinates)
};
#define I_IMAGENONE (-2)
