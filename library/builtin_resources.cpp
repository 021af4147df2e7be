// The built-in resource table: the packed library, assembled into the executable
// as it is, then the program's own UI resources.
#include <cstring>

#include "library/ui_resources.h"
#include "platform/resource.h"

// The pack file's bytes, placed in read-only data by the assembler.
__asm__(".section .rodata\n"
        ".balign 16\n"
        "velmora_library_pack:\n"
        ".incbin \"" VELMORA_LIBRARY_PACK "\"\n"
        "velmora_library_pack_end:\n"
        ".previous\n");
extern "C" const unsigned char velmora_library_pack[] __asm__("velmora_library_pack");
extern "C" const unsigned char velmora_library_pack_end[] __asm__("velmora_library_pack_end");

namespace {

// Lessons and the index, and room for the UI resources after them.
constexpr size_t kMaxBuiltin = 1024;
ResourceEntry g_table[kMaxBuiltin];
size_t g_count = 0;
bool g_parsed = false;

void BuildTable() {
    size_t size = (size_t)(velmora_library_pack_end - velmora_library_pack);
    int n = ResourceParsePack(velmora_library_pack, size, g_table, kMaxBuiltin);
    // A malformed pack cannot come out of the build; serve nothing from it if it does.
    g_count = n < 0 ? 0 : (size_t)n < kMaxBuiltin ? (size_t)n : kMaxBuiltin;
#if VELMORA_HAVE_UI_RESOURCES
    const ResourceEntry* ui = nullptr;
    size_t uiCount = 0;
    UiResources(&ui, &uiCount);
    for (size_t i = 0; i < uiCount && g_count < kMaxBuiltin; ++i) g_table[g_count++] = ui[i];
#endif
}

}  // namespace

void BuiltinResources(const ResourceEntry** table, size_t* count) {
    if (!g_parsed) {
        BuildTable();
        g_parsed = true;
    }
    *table = g_table;
    *count = g_count;
}
