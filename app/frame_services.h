// What the features may use of the frame: the state record, the settings store,
// GuardedAlloc, and the few frame operations they call back. Includes no feature.
#pragma once

#include "app/app_state.h"
#include "app/guarded_alloc.h"
#include "app/settings_registry.h"

// Writes the settings, frees the view and the bookmarks, posts the quit message.
void SaveAndQuit();
// Reads every setting into g_app at start (the boot options are read by StartUp).
void LoadSettings();
// Paints the article view at once through a fresh DC of `window` (null: the main
// window), then brings the scroll bar up to date.
void RepaintView(HWND window, int erase);
// Sets the main window's vertical scroll bar from the view's top line and max top line.
void UpdateScrollBar(HWND window);
// Sets the check mark of the Bookmark menu item from the current lesson.
void UpdateBookmarkCheck(HWND window);
// The shell set-up of a full-screen dialog (Choose Section, font).
void InitDialogFrame(HWND dialog, DWORD flags);
