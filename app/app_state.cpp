#include "app/app_state.h"

AppState g_app;
int g_ignoreActivate;
int g_fullScreen;
int g_allowSipInHebrewSearch;
HWND g_taskBarWindow;
bool g_settingsSaved;

void SetCurrentLesson(uint16_t lesson) {
    uint16_t before = g_app.lesson;
    if (lesson == 0) {
        if (g_app.lesson == 0) g_app.lesson = 1;
    } else if (lesson != g_app.lesson) {
        g_app.lesson = lesson;
    }
    if (g_app.lesson != before) g_app.lastPosition = 0;
}
