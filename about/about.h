// The About dialog and the update check.
#pragma once

#include "platform/win_types.h"

INT_PTR ShowAboutDialog(HWND owner);
void CheckForUpdates(HWND owner);
