// The program's own UI resources as one table, served by the built-in resource table
// after the packed library.
#include "library/ui_resources.h"
#include "resources/ui_resource_parts.h"

void UiResources(const ResourceEntry** table, size_t* count) {
    static ResourceEntry all[64];
    static size_t n = 0;
    if (n == 0) {
        for (size_t i = 0; i < kMenuResourceCount; ++i) all[n++] = kMenuResources[i];
        for (size_t i = 0; i < kImageResourceCount; ++i) all[n++] = kImageResources[i];
    }
    *table = all;
    *count = n;
}
