#include "module.h"

#include <unistd.h>

#include <climits>

DWORD GetModuleFileNameW(HINSTANCE, WCHAR* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        buffer[0] = 0;
        return 0;
    }
    // UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
    DWORD out = 0;
    for (ssize_t i = 0; i < n && out + 1 < size;) {
        unsigned char c = (unsigned char)path[i];
        uint32_t cp;
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > n) {
            cp = 0xFFFD;
            len = 1;
        } else {
            cp = len == 1 ? c : c & (0x7F >> len);
            for (int k = 1; k < len; ++k) cp = cp << 6 | ((unsigned char)path[i + k] & 0x3F);
        }
        i += len;
        if (cp >= 0x10000) {
            if (out + 2 >= size) break;
            cp -= 0x10000;
            buffer[out++] = (WCHAR)(0xD800 + (cp >> 10));
            buffer[out++] = (WCHAR)(0xDC00 + (cp & 0x3FF));
        } else {
            buffer[out++] = (WCHAR)cp;
        }
    }
    buffer[out] = 0;
    return out;
}
