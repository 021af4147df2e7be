// The parts of the UI resource table, one per source file, joined by ui_table.cpp.
#pragma once

#include <cstddef>

#include "platform/resource.h"

// Menu 102, the menu-bar words 102 and the strings (menus.cpp).
extern const ResourceEntry kMenuResources[];
extern const size_t kMenuResourceCount;
// The toolbar strip 114, the outline icons 201 to 203 and the program icon 101 (images.cpp).
extern const ResourceEntry kImageResources[];
extern const size_t kImageResourceCount;
