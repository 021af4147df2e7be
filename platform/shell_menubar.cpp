// The shell's menu bar, built from a menu-bar resource: RCDATA words (menu id, button
// count, then seven words a button: image, command, state, style, label string id,
// reserved, popup index in the menu) and the menu they name.
#include "menu.h"
#include "platform.h"
#include "resource.h"
#include "shell.h"
#include "shell_internal.h"
#include "ui_resources.h"
#include "commandbar.h"
#include "message.h"
#include "window.h"

namespace {
enum : int { kWordsPerButton = 7, kNoPopup = 0xFFFF };

WORD WordAt(const BYTE* p, size_t i) { return (WORD)(p[2 * i] | p[2 * i + 1] << 8); }

BOOL Fail(HWND bar, HMENU menu, const char* why) {
    if (bar) DestroyWindow(bar);
    else if (menu) DestroyMenu(menu);
    PlatformSetError(why);
    return FALSE;
}
}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    ShellInit();
    if (!info) return FALSE;
    info->hwndMB = nullptr;
    if (!IsWindow(info->hwndParent)) return Fail(nullptr, nullptr, "SHCreateMenuBar: no parent window");
    const BYTE* words = nullptr;
    size_t count = 0;
    HMENU menu = nullptr;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
        HRSRC res = FindResourceW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId), MAKEINTRESOURCEW(RT_RCDATA));
        DWORD size = SizeofResource(info->hInstRes, res);
        words = (const BYTE*)LoadResource(info->hInstRes, res);
        if (!words || size < 4) return Fail(nullptr, nullptr, "SHCreateMenuBar: no menu-bar resource");
        count = WordAt(words, 1);
        if (size < 4 + count * kWordsPerButton * 2) return Fail(nullptr, nullptr, "SHCreateMenuBar: menu-bar resource too short");
        menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(WordAt(words, 0)));
        if (!menu && count) return Fail(nullptr, nullptr, "SHCreateMenuBar: no menu resource");
    }
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    HWND bar = ToolbarCreate(kBarMenuBar, info->hwndParent, 0, sh - kShellBarHeight, sw, 0);
    if (!bar) return Fail(nullptr, menu, "SHCreateMenuBar: cannot create the bar");
    ToolbarSetMenu(bar, menu);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 2 + i * kWordsPerButton;
        WORD image = WordAt(words, at), command = WordAt(words, at + 1), state = WordAt(words, at + 2),
             style = WordAt(words, at + 3), label = WordAt(words, at + 4), popup = WordAt(words, at + 6);
        if (popup != kNoPopup) {
            HMENU sub = GetSubMenu(menu, popup);
            if (!sub) return Fail(bar, nullptr, "SHCreateMenuBar: no such popup in the menu");
            WCHAR text[64];
            if (!LoadStringW(info->hInstRes, label, text, 64)) {
                // Without its string the button shows the popup's own text.
                MenuItemInfo item;
                MenuGetItem(menu, popup, &item);
                int n = item.length < 63 ? item.length : 63;
                for (int k = 0; k < n; ++k) text[k] = item.text[k];
                text[n] = 0;
            }
            ToolbarAddMenuButton(bar, text, command, sub);
        } else {
            TBBUTTON b{(int)(int16_t)image, (int)command, (BYTE)state, (BYTE)style, 0, -1};
            SendMessageW(bar, TB_ADDBUTTONS, 1, (LPARAM)&b);
        }
    }
    if (info->nBmpId && info->cBmpImages > 0) ToolbarAddBitmap(bar, info->hInstRes, (UINT)info->nBmpId, info->cBmpImages);
    if (!(info->dwFlags & SHCMBF_HIDDEN)) ShowWindow(bar, SW_SHOWNA);
    info->hwndMB = bar;
    return TRUE;
}
