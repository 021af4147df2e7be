// The "Choose Font" dialog.
#pragma once

#include "platform/win_types.h"
#include "view/font_choice.h"

// Edits `font` in place; 1 when the user confirmed, 2 when cancelled.
INT_PTR ShowFontDialog(HWND owner, FontSpec* font);
