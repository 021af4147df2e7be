// The program's own UI resources as one table, served by the built-in resource table
// after the packed library.
#include "library/ui_resources.h"
#include "resources/ui_resource_parts.h"

namespace {

constexpr size_t kMaxUi = 64;
ResourceEntry g_all[kMaxUi];
size_t g_count = 0;

void Append(const ResourceEntry* part, size_t count) {
    for (size_t i = 0; i < count && g_count < kMaxUi; ++i) g_all[g_count++] = part[i];
}

}  // namespace

void UiResources(const ResourceEntry** table, size_t* count) {
    if (g_count == 0) {
        Append(kMenuResources, kMenuResourceCount);
        Append(kImageResources, kImageResourceCount);
    }
    *table = g_all;
    *count = g_count;
}
