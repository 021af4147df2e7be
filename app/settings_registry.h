// Readers and writers of the registry values the program keeps. Readers return the
// caller's default (numbers) or null (buffers) when the key or value cannot be read;
// writers return 1 when the value was set and 0 otherwise, and nobody looks.
#pragma once

#include "platform/win_types.h"

extern const WCHAR kSettingsKey[];     // "Software\Orlavex\Almarest-Velmora"
extern const WCHAR kBootOptionsKey[];  // "software\Orlavex"

// A number stored as REG_DWORD, or as a UTF-16 decimal string (no sign, no digit check,
// 32-bit wrap-around: "1","2","a" gives 169).
int32_t ReadRegistryNumber(const WCHAR* keyPath, const WCHAR* name, int32_t fallback);
int32_t ReadSettingNumber(const WCHAR* name, int32_t fallback);
// A new buffer (GuardedAlloc) with the value's data and a zero unit after it, so a
// stored string without its terminator still reads safely; the caller frees it.
// `units` receives the data's length in whole UTF-16 units when given.
WCHAR* ReadSettingString(const WCHAR* name, DWORD* units = nullptr);
// A new buffer (GuardedAlloc) holding the value's data; the caller frees it.
BYTE* ReadSettingBytes(const WCHAR* name, DWORD* length = nullptr);
// Like ReadSettingBytes, but on any failure returns `fallback` and leaves *length alone.
BYTE* ReadSettingBlob(const WCHAR* name, BYTE* fallback, DWORD* length);

int WriteSettingNumber(const WCHAR* name, int32_t value);
int WriteSettingString(const WCHAR* name, const WCHAR* text);
int WriteSettingByteString(const WCHAR* name, const char* text);
int WriteSettingBlob(const WCHAR* name, const void* data, DWORD length);

// Copies a stored zero-terminated byte string into buffer (at most capacity - 1 bytes and
// a terminator); leaves buffer unchanged when the value is missing or empty.
void LoadByteStringSetting(const WCHAR* name, char* buffer, size_t capacity);
