#include "app/guarded_alloc.h"

#include "app/frame_services.h"
#include "platform/heap.h"
#include "platform/msgbox.h"

void* GuardedAlloc(size_t bytes) {
    void* block = LocalAlloc(LMEM_FIXED, bytes);
    if (block) return block;
    MessageBoxW(nullptr, u"There is not enough memory, aborting", u"Error", MB_OK | MB_ICONHAND);
    SaveAndQuit();
    return nullptr;
}
