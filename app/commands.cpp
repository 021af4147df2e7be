#include "app/commands.h"

#include "about/about.h"
#include "app/frame_services.h"
#include "bookmarks/bookmarks.h"
#include "clipboard/copy_lesson.h"
#include "content/content_resource.h"
#include "fontdlg/font_dialog.h"
#include "outline/choose_section.h"
#include "platform/commandbar.h"
#include "platform/heap.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "search/search.h"
#include "view/style_font.h"
#include "view/text_view.h"

namespace {

enum : WORD { kMenuId = 102, kToolbarBitmapId = 114 };

const WCHAR* const kTooltips[7] = {u"",          u"Previous Article", u"Choose Article", u"Next Article",
                                   u"Choose Font", u"Search",         u"Search Again"};

const TBBUTTON kButtons[6] = {
    {0, kCmdPreviousArticle, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
    {1, kCmdChooseArticle, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
    {2, kCmdNextArticle, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
    {3, kCmdFont, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
    {4, kCmdSearch, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
    {5, kCmdSearchAgain, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
};

}  // namespace

void CreateBars() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(&version);
    if ((version.dwMajorVersion == 4 && version.dwMinorVersion >= 21) || version.dwMajorVersion > 4)
        g_app.menuBarMode = 1;

    HWND bar;
    if (g_app.menuBarMode == 0) {
        bar = CommandBar_Create(g_app.instance, g_app.mainWindow, 1);
        g_app.barWindow = bar;
        g_app.barHeight = CommandBar_Height(bar);
        CommandBar_InsertMenubar(bar, g_app.instance, kMenuId, 0);
    } else {
        SHMENUBARINFO info = {};
        info.cbSize = sizeof info;
        info.hwndParent = g_app.mainWindow;
        info.dwFlags = SHCMBF_HIDESIPBUTTON;
        info.nToolBarId = kMenuId;
        info.hInstRes = g_app.instance;
        if (!SHCreateMenuBar(&info)) {
            g_app.barWindow = nullptr;
            g_app.barHeight = 0;
            return;
        }
        bar = info.hwndMB;
        g_app.barWindow = bar;
        RECT r;
        GetWindowRect(bar, &r);
        g_app.barHeight = r.bottom - r.top;
        // Leave the scroll bar's column free.
        MoveWindow(bar, r.left, r.top, (r.right - GetSystemMetrics(SM_CXVSCROLL)) - r.left, g_app.barHeight, TRUE);
    }
    SendMessageW(bar, TB_SETTOOLTIPS, 7, (LPARAM)kTooltips);
    CommandBar_AddBitmap(bar, g_app.instance, kToolbarBitmapId, 6, 16, 16);
    SendMessageW(bar, TB_ADDBUTTONS, 6, (LPARAM)kButtons);
    if (g_fullScreen && g_app.menuBarMode == 0) CommandBar_AddAdornments(bar, 0, 0);
    CommandBar_Show(bar, TRUE);
}

int OnCommand(HWND hwnd, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case kCmdAbout:
        ShowAboutDialog(hwnd);
        return 0;
    case kCmdCheckForUpdates:
        CheckForUpdates(g_app.mainWindow);
        return 0;
    case kCmdChooseArticle:
    case kCmdChooseArticleToo: {
        WORD lesson = ChooseSection(g_app.instance, g_app.mainWindow, g_app.lesson, &g_app.font);
        if (lesson != 0 && lesson != g_app.lesson) GoToLesson(hwnd, lesson);
        return 0;
    }
    case kCmdFont:
        if (ShowFontDialog(hwnd, &g_app.font) == 1) SetViewFont(g_app.view, &g_app.font);
        return 0;
    case kCmdCopy:
        CopyLessonToClipboard(g_app.view, 0);
        return 0;
    case kCmdAppend:
        CopyLessonToClipboard(g_app.view, 1);
        return 0;
    case kCmdExit:
        DestroyWindow(hwnd);
        return 0;
    case kCmdBookmark:
        ToggleBookmark(IsBookmarked());
        UpdateBookmarkCheck(hwnd);
        return 0;
    case kCmdPreviousArticle:
        StepLesson(hwnd, -1);
        return 0;
    case kCmdNextArticle:
        StepLesson(hwnd, +1);
        return 0;
    case kCmdSearch:
        ShowSearchDialog(g_app.mainWindow);
        return 0;
    case kCmdSearchAgain:
        SearchNext(g_app.mainWindow);
        return 0;
    default:
        return 1;
    }
}

int GoToLesson(HWND hwnd, int lesson) {
    uint16_t before = g_app.lesson;
    uint16_t position = g_app.lastPosition;
    SetCurrentLesson((uint16_t)lesson);
    BYTE* text = LoadContentResource(g_app.lesson, nullptr);
    if (!text) {
        // Nothing changes: the lesson and the position to restore stay as they were.
        g_app.lesson = before;
        g_app.lastPosition = position;
        return 1;
    }
    if (!g_app.view) {
        LocalFree(text);
        return 0;
    }
    if (LayoutText(g_app.view, text, 1) != kViewOk) LocalFree(text);
    g_app.view->topLine = 0;
    RepaintView(hwnd, 1);
    UpdateBookmarkCheck(hwnd);
    return 0;
}

int StepLesson(HWND hwnd, int step) {
    int n = g_app.lesson + step;
    if (n > kLessonCount)
        n = 1;
    else if (n < 1)
        n = kLessonCount;
    return GoToLesson(hwnd, n);
}

void UpdateBookmarkCheck(HWND) {
    HMENU menu = g_app.menuBarMode
                     ? (HMENU)SendMessageW(g_app.barWindow, SHCMBM_GETSUBMENU, 0, kCmdGoMenu)
                     : CommandBar_GetMenu(g_app.barWindow, 0);
    CheckMenuItem(menu, kCmdBookmark, MF_BYCOMMAND | (IsBookmarked() ? MF_CHECKED : MF_UNCHECKED));
}
