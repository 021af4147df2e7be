// A window's own scroll bars (WS_VSCROLL): drawn in the non-client area at the right
// edge, SM_CXVSCROLL wide; presses on its arrows, track and thumb send WM_VSCROLL with
// the SB_* requests.
#pragma once

#include "win_types.h"

// Returns the new position.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
