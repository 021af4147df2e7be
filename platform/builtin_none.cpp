#include "resource.h"

void BuiltinResources(const ResourceEntry** table, size_t* count) {
    *table = nullptr;
    *count = 0;
}
