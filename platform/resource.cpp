#include "resource.h"

#include <cstring>

namespace {
const ResourceEntry* g_table = nullptr;
size_t g_count = 0;
bool g_installed = false;

void CurrentTable(const ResourceEntry** table, size_t* count) {
    if (g_installed) {
        *table = g_table;
        *count = g_count;
    } else {
        BuiltinResources(table, count);
    }
}
}  // namespace

void ResourceInstallTable(const ResourceEntry* table, size_t count) {
    g_installed = table != nullptr;
    g_table = table;
    g_count = table ? count : 0;
}

HRSRC FindResourceW(HINSTANCE, LPCWSTR name, LPCWSTR type) {
    // Only integer ids and types exist in this module.
    if (!IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) return nullptr;
    WORD id = (WORD)(uintptr_t)name;
    WORD ty = (WORD)(uintptr_t)type;
    const ResourceEntry* table;
    size_t count;
    CurrentTable(&table, &count);
    for (size_t i = 0; i < count; ++i)
        if (table[i].type == ty && table[i].id == id) return (HRSRC)&table[i];
    return nullptr;
}

DWORD SizeofResource(HINSTANCE, HRSRC res) {
    return res ? ((const ResourceEntry*)res)->size : 0;
}

HGLOBAL LoadResource(HINSTANCE, HRSRC res) {
    if (!res) return nullptr;
    const ResourceEntry* e = (const ResourceEntry*)res;
    return e->size ? e->data : nullptr;
}

int ResourceParsePack(const void* image, size_t size, ResourceEntry* table, size_t capacity) {
    const unsigned char* p = (const unsigned char*)image;
    size_t at = 0;
    int n = 0;
    while (at < size) {
        if (size - at < 8) return -1;
        WORD type = (WORD)(p[at] | p[at + 1] << 8);
        WORD id = (WORD)(p[at + 2] | p[at + 3] << 8);
        DWORD len = (DWORD)p[at + 4] | (DWORD)p[at + 5] << 8 | (DWORD)p[at + 6] << 16 | (DWORD)p[at + 7] << 24;
        at += 8;
        if (len > size - at) return -1;
        if ((size_t)n < capacity) table[n] = ResourceEntry{type, id, p + at, len};
        ++n;
        at += len;
    }
    return n;
}
