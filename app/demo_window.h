// A stand-in main window until the reader's frame exists.
#pragma once

#include "platform/win_types.h"

// Registers the class "Almarest-Velmora" and creates the visible main window
// "Velmora" on the work area; null when that fails.
HWND DemoCreateMainWindow(HINSTANCE instance);
