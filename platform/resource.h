// Resources of the program's own module: a table of (type, id, bytes) compiled into
// the executable. The bytes stay valid for the whole run and are never released.
#pragma once

#include "win_types.h"

struct ResourceEntry {
    WORD type;
    WORD id;
    const void* data;
    DWORD size;
};

// Finds a resource by integer id and type (MAKEINTRESOURCEW values); null when absent.
HRSRC FindResourceW(HINSTANCE module, LPCWSTR name, LPCWSTR type);
// Size in bytes of a found resource; 0 for null.
DWORD SizeofResource(HINSTANCE module, HRSRC res);
// Pointer to the resource's bytes; null for null or an empty resource.
HGLOBAL LoadResource(HINSTANCE module, HRSRC res);
inline const void* LockResource(HGLOBAL mem) { return mem; }

// Replaces the module's table (tests install their own). The table is not copied and
// must outlive its use; null restores the table built into the executable.
void ResourceInstallTable(const ResourceEntry* table, size_t count);
// Parses a pack image (type u16 LE, id u16 LE, size u32 LE, bytes; repeated) into a
// table; returns the number of entries, or -1 when the image is malformed. The entries
// point into `image`, which must outlive them. Fills at most `capacity` entries.
int ResourceParsePack(const void* image, size_t size, ResourceEntry* table, size_t capacity);

// The table built into the executable (the packed library and the program's own UI
// resources). Provided by the library `velmora_builtin`, or by `velmora_builtin_none`
// (an empty table) in test programs that install their own.
void BuiltinResources(const ResourceEntry** table, size_t* count);
