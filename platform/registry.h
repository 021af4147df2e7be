// The registry: HKEY_CURRENT_USER, kept as REGEDIT4 text in
// $XDG_CONFIG_HOME/velmora/registry.reg (default ~/.config/velmora/registry.reg).
//
// Win32 names, values and semantics. Key and value names compare case-insensitively
// (ASCII folding) and keep the case they were created with. Key paths are
// backslash-separated and relative to HKEY_CURRENT_USER or an open key; empty path
// components are skipped, so a null or empty subkey names the key itself.
//
// Every change is on disk when the call returns: the whole file is rewritten
// atomically under an exclusive lock, so a crash leaves the old or the new file. The
// file is read on first use and re-read whenever it changed on disk, so processes see
// each other's writes. Nothing here throws or aborts; a failure is a result code, and
// RegistryLastError() says why.
#pragma once

#include "win_types.h"

// Opens an existing key. ERROR_FILE_NOT_FOUND when it does not exist,
// ERROR_INVALID_HANDLE for a bad `key`, ERROR_INVALID_PARAMETER for a null `result`
// or a malformed name, ERROR_KEY_DELETED when `key` itself was deleted meanwhile.
// `options` is ignored. `access` (KEY_READ, KEY_WRITE, KEY_ALL_ACCESS) is checked
// by the value calls made through the new handle.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, DWORD access, PHKEY result);

// Opens a key, creating it and any missing parents (saved at once). `disposition`
// (optional) gets REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Creating needs
// KEY_CREATE_SUB_KEY on `key`. `reserved`, `keyClass`, `options` and `security` are
// ignored. A failed save returns its error and creates nothing.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                     DWORD access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     DWORD* disposition);

// Reads a value (a null or empty name is the default value). `type` and `size` are
// optional. With `data` null, reports the type and the size in bytes. With `data`
// set, `size` must hold the buffer's capacity: when it is too small the result is
// ERROR_MORE_DATA and `size` gets the size needed; otherwise the bytes are copied and
// `size` gets their count. ERROR_FILE_NOT_FOUND for a missing value;
// ERROR_ACCESS_DENIED without KEY_QUERY_VALUE.
LONG RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size);

// Sets a value of any type to exactly `size` bytes (REG_SZ: UTF-16 with the
// terminator counted in `size`; REG_DWORD: 4 bytes, little-endian) and saves. A failed
// save returns ERROR_WRITE_FAULT (or the I/O error) and leaves the stored and the
// cached value as they were. ERROR_ACCESS_DENIED without KEY_SET_VALUE;
// ERROR_INVALID_PARAMETER for null data with a size, a malformed name or more than
// 1 MiB of data.
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);

// Releases a handle from RegOpenKeyExW/RegCreateKeyExW. HKEY_CURRENT_USER is accepted
// and ignored; anything else unknown gives ERROR_INVALID_HANDLE.
LONG RegCloseKey(HKEY key);

// Removes a value and saves. ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegDeleteValueW(HKEY key, LPCWSTR name);

// Removes a subkey with everything beneath it and saves. The subkey must be named
// (ERROR_INVALID_PARAMETER for an empty one); ERROR_FILE_NOT_FOUND when it does not
// exist. Handles open on the removed keys then get ERROR_KEY_DELETED.
LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// --- Configuration and test hooks ------------------------------------------------

// Keeps the registry in `folder` instead of $XDG_CONFIG_HOME/velmora; null goes back
// to the default. Drops the cached tree. The folder is created (0700) on first write.
void RegistrySetFolder(const char* folder);
// Drops the cached tree and the resolved folder, as if the process had just started
// (open handles stay valid: they name their key by path). Clears injected faults.
void RegistryReset();

// Operations of the one file wrapper through which every file access goes.
enum RegistryIoKind {
    REGISTRY_IO_READ = 0,    // read() of registry.reg
    REGISTRY_IO_WRITE = 1,   // write() of the temporary file
    REGISTRY_IO_FSYNC = 2,   // fsync() of the temporary file, then of the folder
    REGISTRY_IO_RENAME = 3,  // rename() over registry.reg, or aside to registry.reg.bad
    REGISTRY_IO_KINDS = 4,
};
// Test hook: the n-th operation of `kind` from now fails with EIO (1 = the next one);
// 0 turns it off.
void RegistryFailIo(RegistryIoKind kind, int n);
// Operations of `kind` made since the process started (tests size their fault tables
// with it).
long RegistryIoCount(RegistryIoKind kind);
// Handles opened and not yet closed; tests use it to find leaks.
long RegistryOpenKeyCount();
// Why the last failing operation failed ("" when none has failed yet).
const char* RegistryLastError();
// The full path of registry.reg in use (resolving the folder if needed).
const char* RegistryFilePath();
