// The program's own UI resources (menus, strings, dialogs, bitmaps), which the
// built-in table serves after the packed library. Provided by the library
// velmora_ui_resources; velmora_builtin calls it when that target exists.
#pragma once

#include "platform/resource.h"

// Sets *table to the UI resources (kept for the whole run) and *count to their number.
void UiResources(const ResourceEntry** table, size_t* count);
