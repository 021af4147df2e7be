// The decoder on arbitrary blocks, directly and through the loader (so the header
// checks and the cut to the resource's size are exercised too).
#include <cstdlib>
#include <cstring>

#include "content/content_resource.h"
#include "platform/heap.h"
#include "platform/msgbox.h"
#include "platform/resource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    UINT U = (UINT)data[0] << 8 | data[1];
    // Copied so that a read past the block is a heap overflow the sanitizer sees.
    uint8_t* block = (uint8_t*)std::malloc(size - 2 ? size - 2 : 1);
    std::memcpy(block, data + 2, size - 2);
    int status = 0;
    BYTE* out = UnCompress(block, (UINT)(size - 2), U, &status);
    if (out) {
        if (out[U] != 0) std::abort();
        LocalFree(out);
    } else if (status < 2 || status > 5) {
        std::abort();
    }
    // The whole input as a content resource.
    uint8_t* res = (uint8_t*)std::malloc(size);
    std::memcpy(res, data, size);
    const ResourceEntry table[] = {{10, 1001, res, (DWORD)size}};
    ResourceInstallTable(table, 1);
    LocalFree(LoadContentResource(1, &status));
    ResourceInstallTable(nullptr, 0);
    std::free(res);
    std::free(block);
    MessageBoxClearLog();
    if (HeapLiveBlocks() != 0) std::abort();
    return 0;
}
