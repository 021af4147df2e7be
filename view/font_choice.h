// The user's font choice, shared by the article view, the settings and the font dialog.
#pragma once

#include "platform/win_types.h"

struct FontSpec {
    WCHAR face[32];   // NUL-terminated; empty means the platform's default face
    int32_t size;     // font height as a LOGFONT takes it; 0 means the default
    int32_t alphabetBase;  // first of the 26 preview characters of the font dialog
};
