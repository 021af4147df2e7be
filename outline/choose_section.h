// The "Choose Section" dialog.
#pragma once

#include "platform/win_types.h"
#include "view/font_choice.h"

// Runs the dialog on the outline of the index and returns the lesson the user chose,
// or 0 when cancelled.
WORD ChooseSection(HINSTANCE instance, HWND owner, WORD lesson, FontSpec* font);
