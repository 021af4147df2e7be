#include "tests/app/app_fixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/heap.h"
#include "platform/msgbox.h"
#include "platform/registry.h"

void FrameTest::SetUp() {
    char templ[] = "/tmp/velmora-frame-XXXXXX";
    folder_ = mkdtemp(templ);
    RegistrySetFolder(folder_.c_str());
    std::memset(&g_app, 0, sizeof g_app);
    g_settingsSaved = false;
    MessageBoxClearLog();
    HeapFailAfter(0);
}

void FrameTest::TearDown() {
    HeapFailAfter(0);
    RegistrySetFolder(nullptr);
    std::filesystem::remove_all(folder_);
}

void FrameTest::Store(const WCHAR* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void FrameTest::StoreString(const WCHAR* name, const char16_t* text) {
    DWORD n = 0;
    while (text[n]) ++n;
    Store(name, REG_SZ, text, (n + 1) * 2);
}

bool FrameTest::Stored(const WCHAR* name, DWORD* type, std::string* bytes) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        bytes->assign(size, '\0');
        ok = RegQueryValueExW(key, name, nullptr, type, (BYTE*)bytes->data(), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}
