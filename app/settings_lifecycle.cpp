// The two moments settings move: loaded at start, saved at exit.
#include "app/frame_services.h"
#include "bookmarks/bookmarks.h"
#include "platform/gdi.h"
#include "platform/heap.h"
#include "platform/message.h"
#include "platform/module.h"
#include "platform/ui_resources.h"
#include "view/text_view.h"

namespace {
// Set while LoadSettings runs: running out of memory then must not store the half-read
// settings over the user's (they would come back as Flags 0 and no bookmarks).
bool g_loading;
}  // namespace

void LoadSettings() {
    g_loading = true;
    WCHAR path[260];
    if (GetModuleFileNameW(nullptr, path, 260) > 0 && path[0]) WriteSettingString(u"Program Path", path);

    DWORD units = 0;
    if (WCHAR* face = ReadSettingString(u"FontName", &units)) {
        if (units > 0 && face[0]) {
            DWORD n = 0;
            while (n < units && n < 31 && face[n]) {
                g_app.font.face[n] = face[n];
                ++n;
            }
            g_app.font.face[n] = 0;
        }
        LocalFree(face);
    }
    LoadByteStringSetting(u"SearchString", g_app.searchString, kSearchStringSize);
    g_app.font.size = ReadSettingNumber(u"FontSize", 0);
    g_app.font.alphabetBase = ReadSettingNumber(u"FontAsciiBase", 97);
    g_app.lastPosition = (uint16_t)ReadSettingNumber(u"LastPosition", 0);
    g_app.flags = (uint32_t)ReadSettingNumber(u"Flags", (int32_t)kDefaultFlags);
    g_app.lesson = (uint16_t)ReadSettingNumber(u"Lesson", 0);
    for (int i = 0; i < 3; ++i) g_app.outlineBitmaps[i] = LoadBitmapW(g_app.instance, MAKEINTRESOURCEW(201 + i));
    InitBookmarks();
    g_loading = false;
}

void SaveAndQuit() {
    // A second run (the window destroyed after the out-of-memory exit) would store the
    // freed bookmark list as empty: only the quit message is posted again.
    if (g_settingsSaved || g_loading) {
        g_settingsSaved = true;
        PostQuitMessage(0);
        return;
    }
    g_settingsSaved = true;
    for (HBITMAP& bitmap : g_app.outlineBitmaps) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (g_app.searchString[0]) WriteSettingByteString(u"SearchString", g_app.searchString);
    if (g_app.font.face[0]) WriteSettingString(u"FontName", g_app.font.face);
    if (g_app.font.size != 0) WriteSettingNumber(u"FontSize", g_app.font.size);
    if (g_app.font.alphabetBase != 0) WriteSettingNumber(u"FontAsciiBase", g_app.font.alphabetBase);
    if (g_app.view) WriteSettingNumber(u"LastPosition", g_app.view->topLine);
    WriteSettingNumber(u"Flags", (int32_t)g_app.flags);
    if (g_app.lesson != 0) WriteSettingNumber(u"Lesson", g_app.lesson);
    if (g_app.view) {
        DestroyTextView(g_app.view, 1);
        g_app.view = nullptr;
    }
    SaveBookmarks();
    FreeBookmarks();
    PostQuitMessage(0);
}
