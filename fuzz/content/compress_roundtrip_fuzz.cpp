// Any bytes compress to a block that the reader's decoder turns back into them.
#include <cstdlib>
#include <cstring>

#include "content/content_resource.h"
#include "platform/heap.h"
#include "tools/palmdoc_compress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 65535) return 0;
    std::vector<uint8_t> block = PalmDocCompress(data, size);
    // Never worse than raw runs of eight.
    if (block.size() > size + (size + 7) / 8) std::abort();
    int status = 0;
    BYTE* out = UnCompress(block.data(), (UINT)block.size(), (UINT)size, &status);
    if (!out || std::memcmp(out, data, size) != 0 || out[size] != 0) std::abort();
    LocalFree(out);
    return 0;
}
