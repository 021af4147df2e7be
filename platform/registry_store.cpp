// The registry calls: key handles and the operations on the tree. A handle names its
// key by path, not by node, because the tree is re-read whenever another process
// changes the file.
#include "registry.h"
#include "registry_tree.h"

#include <cstring>
#include <unordered_set>

struct RegKeyRec {
    std::vector<std::u16string> path;  // below HKEY_CURRENT_USER
    DWORD access;
};

namespace {

std::unordered_set<RegKeyRec*>& Handles() {
    static auto* handles = new std::unordered_set<RegKeyRec*>;  // never destroyed
    return *handles;
}

std::u16string_view NameOf(LPCWSTR s) {
    return s ? std::u16string_view(s) : std::u16string_view();
}

// The path and access of a handle; false for a handle we did not give out.
bool Resolve(HKEY key, std::vector<std::u16string>* path, DWORD* access) {
    if (key == HKEY_CURRENT_USER) {
        path->clear();
        *access = KEY_ALL_ACCESS;
        return true;
    }
    if (!key || !Handles().count(key)) return false;
    *path = key->path;
    *access = key->access;
    return true;
}

// Appends the components of a backslash path; false when one is not a valid name.
bool AppendPath(LPCWSTR subKey, std::vector<std::u16string>* path) {
    std::u16string_view s = NameOf(subKey);
    while (!s.empty()) {
        size_t end = s.find(u'\\');
        std::u16string_view part = s.substr(0, end);
        if (!part.empty()) {
            if (!RegKeyNameValid(part)) return false;
            path->emplace_back(part);
        }
        if (end == s.npos) break;
        s.remove_prefix(end + 1);
    }
    return true;
}

LONG NewHandle(std::vector<std::u16string> path, DWORD access, PHKEY result) {
    RegKeyRec* rec = new RegKeyRec{std::move(path), access};
    Handles().insert(rec);
    *result = rec;
    return ERROR_SUCCESS;
}

// The node a handle names in the current tree, or null with the error to return.
RegNode* NodeOf(RegNode* root, const std::vector<std::u16string>& path, LONG* error) {
    RegNode* node = RegFindPath(root, path);
    *error = node ? LONG(ERROR_SUCCESS) : LONG(ERROR_KEY_DELETED);
    return node;
}

struct CreateArgs {
    const std::vector<std::u16string>* base;
    const std::vector<std::u16string>* full;
    bool created;
};

LONG CreateChange(RegNode* root, void* arg, bool* changed) {
    CreateArgs* a = static_cast<CreateArgs*>(arg);
    LONG error;
    if (!NodeOf(root, *a->base, &error)) return error;
    RegNode* node = root;
    for (const std::u16string& part : *a->full) {
        RegNode* child = RegFindChild(node, part);
        if (!child) {
            node->children.push_back(std::make_unique<RegNode>());
            child = node->children.back().get();
            child->name = part;
            *changed = true;
        }
        node = child;
    }
    a->created = *changed;
    return ERROR_SUCCESS;
}

struct SetArgs {
    const std::vector<std::u16string>* path;
    std::u16string_view name;
    DWORD type;
    const BYTE* data;
    DWORD size;
};

LONG SetChange(RegNode* root, void* arg, bool* changed) {
    SetArgs* a = static_cast<SetArgs*>(arg);
    LONG error;
    RegNode* node = NodeOf(root, *a->path, &error);
    if (!node) return error;
    std::vector<BYTE> data(a->data, a->data + a->size);
    RegValueRec* v = RegFindValue(node, a->name);
    if (!v) {
        node->values.push_back(RegValueRec{std::u16string(a->name), a->type, std::move(data)});
        *changed = true;
    } else if (v->type != a->type || v->data != data) {
        v->type = a->type;
        v->data = std::move(data);
        *changed = true;
    }
    return ERROR_SUCCESS;
}

LONG DeleteValueChange(RegNode* root, void* arg, bool* changed) {
    SetArgs* a = static_cast<SetArgs*>(arg);
    LONG error;
    RegNode* node = NodeOf(root, *a->path, &error);
    if (!node) return error;
    for (size_t i = 0; i < node->values.size(); ++i) {
        if (RegNameEqual(node->values[i].name, a->name)) {
            node->values.erase(node->values.begin() + ptrdiff_t(i));
            *changed = true;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

struct DeleteKeyArgs {
    const std::vector<std::u16string>* base;
    const std::vector<std::u16string>* full;
};

LONG DeleteKeyChange(RegNode* root, void* arg, bool* changed) {
    DeleteKeyArgs* a = static_cast<DeleteKeyArgs*>(arg);
    LONG error;
    if (!NodeOf(root, *a->base, &error)) return error;
    std::vector<std::u16string> parentPath(a->full->begin(), a->full->end() - 1);
    RegNode* parent = RegFindPath(root, parentPath);
    if (!parent) return ERROR_FILE_NOT_FOUND;
    for (size_t i = 0; i < parent->children.size(); ++i) {
        if (RegNameEqual(parent->children[i]->name, a->full->back())) {
            parent->children.erase(parent->children.begin() + ptrdiff_t(i));
            *changed = true;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

}  // namespace

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, DWORD access, PHKEY result) {
    std::vector<std::u16string> path;
    DWORD parentAccess;
    if (!Resolve(key, &path, &parentAccess)) return ERROR_INVALID_HANDLE;
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    size_t baseLen = path.size();
    if (!AppendPath(subKey, &path)) return ERROR_INVALID_PARAMETER;
    LONG error;
    RegNode* root = RegistryCurrentTree(&error);
    if (!root) return error;
    std::vector<std::u16string> base(path.begin(), path.begin() + ptrdiff_t(baseLen));
    if (!RegFindPath(root, base)) return ERROR_KEY_DELETED;
    if (!RegFindPath(root, path)) return ERROR_FILE_NOT_FOUND;
    return NewHandle(std::move(path), access, result);
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     DWORD access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     DWORD* disposition) {
    std::vector<std::u16string> path;
    DWORD parentAccess;
    if (!Resolve(key, &path, &parentAccess)) return ERROR_INVALID_HANDLE;
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::vector<std::u16string> base = path;
    if (!AppendPath(subKey, &path)) return ERROR_INVALID_PARAMETER;
    // Most calls find the key there already: no lock and no write for them.
    LONG error;
    RegNode* root = RegistryCurrentTree(&error);
    if (root && RegFindPath(root, path)) {
        if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
        return NewHandle(std::move(path), access, result);
    }
    if (root && !RegFindPath(root, base)) return ERROR_KEY_DELETED;
    if (!(parentAccess & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    CreateArgs args{&base, &path, false};
    error = RegistryModify(CreateChange, &args);
    if (error != ERROR_SUCCESS) return error;
    if (disposition) *disposition = args.created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return NewHandle(std::move(path), access, result);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size) {
    std::vector<std::u16string> path;
    DWORD access;
    if (!Resolve(key, &path, &access)) return ERROR_INVALID_HANDLE;
    if (data && !size) return ERROR_INVALID_PARAMETER;
    if (!(access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    LONG error;
    RegNode* root = RegistryCurrentTree(&error);
    if (!root) return error;
    RegNode* node = NodeOf(root, path, &error);
    if (!node) return error;
    const RegValueRec* v = RegFindValue(node, NameOf(name));
    if (!v) return ERROR_FILE_NOT_FOUND;
    DWORD needed = DWORD(v->data.size());
    if (type) *type = v->type;
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed) std::memcpy(data, v->data.data(), needed);
    }
    if (size) *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size) {
    std::vector<std::u16string> path;
    DWORD access;
    if (!Resolve(key, &path, &access)) return ERROR_INVALID_HANDLE;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::u16string_view valueName = NameOf(name);
    if ((!data && size) || size > kRegMaxValueData || !RegValueNameValid(valueName))
        return ERROR_INVALID_PARAMETER;
    static const BYTE kNone = 0;
    SetArgs args{&path, valueName, type, data ? data : &kNone, size};
    return RegistryModify(SetChange, &args);
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    if (!key || !Handles().erase(key)) return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    std::vector<std::u16string> path;
    DWORD access;
    if (!Resolve(key, &path, &access)) return ERROR_INVALID_HANDLE;
    if (!(access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    SetArgs args{&path, NameOf(name), 0, nullptr, 0};
    return RegistryModify(DeleteValueChange, &args);
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    std::vector<std::u16string> path;
    DWORD access;
    if (!Resolve(key, &path, &access)) return ERROR_INVALID_HANDLE;
    std::vector<std::u16string> base = path;
    if (!AppendPath(subKey, &path)) return ERROR_INVALID_PARAMETER;
    if (path.size() == base.size()) return ERROR_INVALID_PARAMETER;
    DeleteKeyArgs args{&base, &path};
    return RegistryModify(DeleteKeyChange, &args);
}

long RegistryOpenKeyCount() { return long(Handles().size()); }
