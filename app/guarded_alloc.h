// Heap allocation that ends the program on failure.
#pragma once

#include <cstddef>

// A plain heap block, or null after the out-of-memory path: the message "There is not
// enough memory, aborting", then SaveAndQuit, which posts the quit message. The caller
// abandons its operation.
void* GuardedAlloc(size_t bytes);
