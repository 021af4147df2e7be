// Inside the registry: the in-memory tree, its REGEDIT4 text form and the file store.
// Only platform/registry*.cpp and the registry fuzz target include this.
#pragma once

#include "win_types.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct RegValueRec {
    std::u16string name;  // as created; "" is the default value
    DWORD type;
    std::vector<BYTE> data;
};

struct RegNode {
    std::u16string name;  // as created; "" for the root
    std::vector<RegValueRec> values;
    std::vector<std::unique_ptr<RegNode>> children;
};

// Longest key name and value name, in UTF-16 units, and the most data one value holds.
constexpr size_t kRegMaxKeyName = 255;
constexpr size_t kRegMaxValueName = 16383;
constexpr size_t kRegMaxValueData = 1u << 20;

// Names equal under ASCII case folding.
bool RegNameEqual(std::u16string_view a, std::u16string_view b);
// A name the registry can keep: valid UTF-16, no control character but tab, within
// the length limit; a key name must also be non-empty and hold no backslash.
bool RegKeyNameValid(std::u16string_view name);
bool RegValueNameValid(std::u16string_view name);

RegNode* RegFindChild(const RegNode* node, std::u16string_view name);
RegValueRec* RegFindValue(const RegNode* node, std::u16string_view name);
// The node at `path` below `root`, or null.
RegNode* RegFindPath(const RegNode* root, const std::vector<std::u16string>& path);

// Reads REGEDIT4 text into `root` (which should be empty). Returns true when the whole
// text is well formed; on false, `why` says where and `root` is unspecified.
bool RegistryParseText(const char* text, size_t size, RegNode* root, std::string* why);
// Writes the tree as REGEDIT4 text; RegistryParseText reads it back to an equal tree.
void RegistryFormatText(const RegNode& root, std::string* out);
// Trees equal in names (exact case), order, types and bytes.
bool RegTreeEqual(const RegNode& a, const RegNode& b);

// UTF-8 <-> UTF-16; false for malformed input (no replacement characters).
bool RegUtf8ToUtf16(std::string_view in, std::u16string* out);
bool RegUtf16ToUtf8(std::u16string_view in, std::string* out);

// --- The file store (registry_io.cpp) ----------------------------------------------

// Brings the cached tree up to date with the file for reading and returns it; on an
// I/O error that may pass (out of descriptors, EIO) returns null and the error.
RegNode* RegistryCurrentTree(LONG* error);

// A change applied by RegistryModify to a tree freshly read under the lock. Returns
// ERROR_SUCCESS or an error; sets *changed when the tree must be saved.
typedef LONG (*RegistryChange)(RegNode* root, void* arg, bool* changed);
// Locks, re-reads, applies `change`, saves atomically, unlocks. When the change fails
// or the save fails, the cached tree is dropped so that the file's content stands.
LONG RegistryModify(RegistryChange change, void* arg);

// Sets the reason RegistryLastError reports.
void RegistrySetError(const std::string& why);
