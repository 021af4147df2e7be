#include "heap.h"

#include <cstdlib>
#include <cstring>

namespace {
int g_failCountdown = 0;
bool g_failEvery = false;
bool g_failing = false;
long g_live = 0;
long g_count = 0;
}  // namespace

void HeapFailAfter(int n, bool every) {
    g_failCountdown = n;
    g_failEvery = every;
    g_failing = false;
}

long HeapLiveBlocks() { return g_live; }
long HeapAllocationCount() { return g_count; }

void* LocalAlloc(UINT flags, size_t bytes) {
    ++g_count;
    if (g_failing) return nullptr;
    if (g_failCountdown > 0 && --g_failCountdown == 0) {
        g_failing = g_failEvery;
        return nullptr;
    }
    void* p = (flags & LMEM_ZEROINIT) ? std::calloc(1, bytes ? bytes : 1) : std::malloc(bytes ? bytes : 1);
    if (p) ++g_live;
    return p;
}

void* LocalFree(void* block) {
    if (block) {
        --g_live;
        std::free(block);
    }
    return nullptr;
}
