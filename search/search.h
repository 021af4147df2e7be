// Searching the library for the stored search string.
#pragma once

#include "platform/win_types.h"

// Finds and shows the next occurrence; 1 when found, 0 otherwise ("Not Found!" is
// shown, owned by `owner`).
int SearchNext(HWND owner);
// The search dialog; its result is the id of the button that closed it.
INT_PTR ShowSearchDialog(HWND owner);
