#include "app/settings_registry.h"

#include <cstring>

#include "app/guarded_alloc.h"
#include "platform/heap.h"
#include "platform/registry.h"

const WCHAR kSettingsKey[] = u"Software\\Orlavex\\Almarest-Velmora";
const WCHAR kBootOptionsKey[] = u"software\\Orlavex";

namespace {

// Reads a value's data into a new GuardedAlloc buffer with `extra` zero bytes after it.
BYTE* ReadValue(const WCHAR* keyPath, const WCHAR* name, DWORD* type, DWORD* length, DWORD extra) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    DWORD size = 0;
    BYTE* data = nullptr;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
        data = (BYTE*)GuardedAlloc(size + extra);
        if (data) {
            DWORD got = size;
            if (RegQueryValueExW(key, name, nullptr, type, data, &got) == ERROR_SUCCESS) {
                std::memset(data + got, 0, extra);
                *length = got;
            } else {
                LocalFree(data);
                data = nullptr;
            }
        }
    }
    RegCloseKey(key);
    return data;
}

}  // namespace

int32_t ReadRegistryNumber(const WCHAR* keyPath, const WCHAR* name, int32_t fallback) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return fallback;
    }
    if (type == REG_DWORD) {
        DWORD number = 0, got = sizeof number;
        LONG rc = RegQueryValueExW(key, name, nullptr, &type, (BYTE*)&number, &got);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? (int32_t)number : fallback;
    }
    BYTE* data = (BYTE*)GuardedAlloc(size);
    DWORD got = size;
    LONG rc = data ? RegQueryValueExW(key, name, nullptr, &type, data, &got) : ERROR_NOT_ENOUGH_MEMORY;
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        LocalFree(data);
        return fallback;
    }
    // Decimal digits as UTF-16 units, taken at face value.
    uint32_t n = 0;
    for (DWORD i = 0; i + 1 < got; i += 2) {
        uint16_t unit = (uint16_t)(data[i] | data[i + 1] << 8);
        if (unit == 0) break;
        n = n * 10 + (uint32_t)unit - 48;
    }
    LocalFree(data);
    return (int32_t)n;
}

int32_t ReadSettingNumber(const WCHAR* name, int32_t fallback) {
    return ReadRegistryNumber(kSettingsKey, name, fallback);
}

WCHAR* ReadSettingString(const WCHAR* name, DWORD* units) {
    DWORD type, length = 0;
    BYTE* data = ReadValue(kSettingsKey, name, &type, &length, 2);
    if (data && units) *units = length / 2;
    return (WCHAR*)data;
}

BYTE* ReadSettingBytes(const WCHAR* name, DWORD* length) {
    DWORD type, got = 0;
    BYTE* data = ReadValue(kSettingsKey, name, &type, &got, 0);
    if (data && length) *length = got;
    return data;
}

BYTE* ReadSettingBlob(const WCHAR* name, BYTE* fallback, DWORD* length) {
    DWORD type, got = 0;
    BYTE* data = ReadValue(kSettingsKey, name, &type, &got, 0);
    if (!data) return fallback;
    if (length) *length = got;
    return data;
}

namespace {
int WriteValue(const WCHAR* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return 0;
    LONG rc = RegSetValueExW(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
}  // namespace

int WriteSettingNumber(const WCHAR* name, int32_t value) {
    DWORD v = (DWORD)value;
    return WriteValue(name, REG_DWORD, &v, sizeof v);
}

int WriteSettingString(const WCHAR* name, const WCHAR* text) {
    DWORD n = 0;
    while (text[n]) ++n;
    return WriteValue(name, REG_SZ, text, (n + 1) * 2);
}

int WriteSettingByteString(const WCHAR* name, const char* text) {
    return WriteValue(name, REG_BINARY, text, (DWORD)std::strlen(text) + 1);
}

int WriteSettingBlob(const WCHAR* name, const void* data, DWORD length) {
    return WriteValue(name, REG_BINARY, data, length);
}

void LoadByteStringSetting(const WCHAR* name, char* buffer, size_t capacity) {
    DWORD length = 0;
    BYTE* stored = ReadSettingBytes(name, &length);
    if (!stored) return;
    if (length > 0 && stored[0] != 0 && capacity > 0) {
        size_t n = 0;
        while (n + 1 < capacity && n < length && stored[n] != 0) {
            buffer[n] = (char)stored[n];
            ++n;
        }
        buffer[n] = 0;
    }
    LocalFree(stored);
}
