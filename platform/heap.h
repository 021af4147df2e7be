// The heap, through one thin wrapper so tests can make any allocation fail.
#pragma once

#include "win_types.h"

enum : UINT { LMEM_FIXED = 0x0000, LMEM_ZEROINIT = 0x0040, LPTR = 0x0040 };

// Returns a block of at least `bytes` bytes (zeroed with LMEM_ZEROINIT), or null when
// the heap is exhausted or the failure hook fires. A request of 0 bytes still returns
// a distinct block.
void* LocalAlloc(UINT flags, size_t bytes);
// Releases a block from LocalAlloc; null is ignored. Always returns null.
void* LocalFree(void* block);

// Test hook: the n-th allocation from now fails (1 = the next one); 0 turns it off.
// With `every` set, that allocation and every one after it fail.
void HeapFailAfter(int n, bool every = false);
// Blocks handed out and not yet freed; tests use it to find leaks on error paths.
long HeapLiveBlocks();
// Allocations made since the process started (successful or failed).
long HeapAllocationCount();
