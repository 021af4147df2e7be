// The calls the window manager makes into the shell: the shell draws and handles the
// non-client scroll bar, keeps the task bar's title up to date, and cancels its modal
// menus and boxes on the orderly close.
#pragma once

#include "win_types.h"

// Called first by InputMouse with every mouse message from the backend (screen
// pixels). True when the shell took it: a press on a window's scroll bar, a thumb
// drag under way. The window manager then delivers nothing.
bool ShellInputMouse(UINT message, int x, int y);
// Called at the end of PaintNonClient: draws the window's scroll bar over its place.
void ShellPaintNonClient(HWND hwnd);
// Called when the active (foreground) window changed or a top-level window's title
// changed: the task bar redraws.
void ShellActiveChanged();
// Cancels open popup menus and message boxes (each ends as by Escape); true when
// something was open. The shell's close hook calls it; a close hook installed later
// in its place (the dialog manager's) should call it first.
bool ShellCancelModes();
