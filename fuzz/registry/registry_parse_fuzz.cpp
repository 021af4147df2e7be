// Feeds arbitrary bytes to the registry file reader. Whatever it accepts must be
// written back in a form it reads to the same tree, and that form must be stable.
#include "platform/registry_tree.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegNode tree;
    if (!RegistryParseText(reinterpret_cast<const char*>(data), size, &tree, nullptr)) return 0;
    std::string text;
    RegistryFormatText(tree, &text);
    RegNode back;
    if (!RegistryParseText(text.data(), text.size(), &back, nullptr)) __builtin_trap();
    if (!RegTreeEqual(tree, back)) __builtin_trap();
    std::string again;
    RegistryFormatText(back, &again);
    if (again != text) __builtin_trap();
    return 0;
}
