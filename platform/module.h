// Facts about the running program's own module.
#pragma once

#include "win_types.h"

// Copies the full path of the executable (UTF-16, NUL-terminated, cut to size - 1
// units) and returns its length in units; 0 when it cannot be found.
DWORD GetModuleFileNameW(HINSTANCE module, WCHAR* buffer, DWORD size);
