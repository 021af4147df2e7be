// The one global state record of the program and the values fixed at start.
#pragma once

#include "platform/win_types.h"
#include "view/font_choice.h"

struct TextView;

// Option Flags bits.
enum : uint32_t {
    kFlagMatchCase = 0x20,           // search compares bytes exactly
    kFlagScrollBar = 0xC0,           // any set: the main window has a vertical scroll bar
    kFlagKeyPageField = 0x700000,    // key paging size field
    kFlagTapPageField = 0x7000000,   // tap paging size field
    kFlagTapUpperLower = 0x10000000, // tap paging by upper/lower half (clear: left/right)
    kFlagTapPaging = 0x80000000,     // tap paging on
    kDefaultFlags = 0xD1140040,
};

enum { kLessonCount = 131, kIndexLesson = 31767, kSearchStringSize = 34 };

struct AppState {
    HINSTANCE instance;
    FontSpec font;
    uint16_t lastPosition;   // top line to restore at start
    uint32_t flags;
    uint16_t lesson;         // current lesson number
    char searchString[kSearchStringSize];
    TextView* view;
    int menuBarMode;         // 0 command bar at the top, 1 shell menu bar at the bottom
    int barHeight;
    int gutter;
    HWND barWindow;
    HWND mainWindow;
    HBITMAP outlineBitmaps[3];
    uint16_t bookmarkCount;
    uint16_t* bookmarks;     // lesson numbers ended by 0, or null
    uint16_t bookmarkFlags;  // bit 0: removing a bookmark does not ask
};

extern AppState g_app;

// Read once at start from the boot-options key and never written afterwards.
extern int g_ignoreActivate;
extern int g_fullScreen;
extern int g_allowSipInHebrewSearch;
extern HWND g_taskBarWindow;
// Set by SaveAndQuit, cleared by StartUp: the settings of this run are stored.
extern bool g_settingsSaved;

// Changes the current lesson: 0 keeps it (or starts at 1 when there is none); any
// change resets LastPosition to 0. The number is not validated.
void SetCurrentLesson(uint16_t lesson);
