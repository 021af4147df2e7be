#include "view/text_primitives.h"

#include <cstdint>
#include <cstring>

#include "platform/gdi.h"
#include "platform/heap.h"

WidenBuffer g_widenBuffer = {nullptr, 0};

namespace {

// Running widths of the characters measured by the last MeasureText (entry i: the
// first i + 1 characters), and how many of them fitted.
int* g_widths;
int g_widthsCapacity;
int g_lastFit;

// Average advance, in sixteenths of a pixel, of the text measured lately: the first
// guess of how many characters a width holds. Only the speed depends on it.
int g_averageAdvance16 = 8 * 16;

// Copies bytes until the NUL or `count`, each byte becoming the code unit of the same
// value; returns how many were copied.
int CopyWidened(WCHAR* out, const BYTE* text, int count) {
    int i = 0;
    if (text)
        while (i < count && text[i]) {
            out[i] = text[i];
            ++i;
        }
    return i;
}

// Makes the shared buffer hold `need` characters and a NUL, keeping its first `keep`.
bool ReserveWidened(int need, int keep) {
    if (g_widenBuffer.text && g_widenBuffer.capacity >= need) return true;
    int grown = need;
    if (keep > 0 && grown < g_widenBuffer.capacity * 2) grown = g_widenBuffer.capacity * 2;
    WCHAR* fresh = (WCHAR*)LocalAlloc(LMEM_FIXED, ((size_t)grown + 1) * sizeof(WCHAR));
    if (!fresh) return false;
    if (keep > 0) std::memcpy(fresh, g_widenBuffer.text, (size_t)keep * sizeof(WCHAR));
    LocalFree(g_widenBuffer.text);
    g_widenBuffer.text = fresh;
    g_widenBuffer.capacity = grown;
    return true;
}

bool ReserveWidths(int need, int keep) {
    if (g_widths && g_widthsCapacity >= need) return true;
    int grown = need < g_widthsCapacity * 2 ? g_widthsCapacity * 2 : need;
    int* fresh = (int*)LocalAlloc(LMEM_FIXED, ((size_t)grown + 1) * sizeof(int));
    if (!fresh) return false;
    if (keep > 0) std::memcpy(fresh, g_widths, (size_t)keep * sizeof(int));
    LocalFree(g_widths);
    g_widths = fresh;
    g_widthsCapacity = grown;
    return true;
}

// Widens into the shared buffer and reports the length; null when it cannot grow.
WCHAR* WidenShared(const BYTE* text, int count, int* length) {
    WCHAR* out = WidenText(text, &g_widenBuffer, count);
    if (!out) return nullptr;
    int n = 0;
    while (out[n]) ++n;
    *length = n;
    return out;
}

}  // namespace

WCHAR* WidenText(const BYTE* text, WidenBuffer* buffer, int count) {
    if (count < 0) count = 0;
    WCHAR* out;
    if (buffer) {
        if (!buffer->text || buffer->capacity < count) {
            WCHAR* fresh = (WCHAR*)LocalAlloc(LMEM_FIXED, ((size_t)count + 1) * sizeof(WCHAR));
            if (!fresh) return nullptr;
            LocalFree(buffer->text);
            buffer->text = fresh;
            buffer->capacity = count;
        }
        out = buffer->text;
    } else {
        out = (WCHAR*)LocalAlloc(LMEM_FIXED, ((size_t)count + 1) * sizeof(WCHAR));
        if (!out) return nullptr;
    }
    out[CopyWidened(out, text, count)] = 0;
    return out;
}

int MeasureText(HDC dc, const BYTE* text, int* width, int* count) {
    int limit = *width < 0 ? 0 : *width;
    int n = *count;
    *width = 0;
    *count = 0;
    g_lastFit = 0;
    if (n <= 0 || !text) return 0;

    // A paragraph is measured once per line, so measuring all of its remaining
    // characters every time would cost the square of its length. Instead the run is
    // widened and measured in steps of about as many characters as the width holds;
    // the widths add up, so the result is the same as one query over the whole run.
    int done = 0;  // characters measured so far, all of them fitting
    int used = 0;  // their width
    for (;;) {
        int64_t guess = (int64_t)(limit - used) * 16 / g_averageAdvance16 + 8;
        int take = guess < n - done ? (int)guess : n - done;
        if (!ReserveWidened(done + take, done) || !ReserveWidths(done + take, done)) {
            g_lastFit = 0;
            return -1;
        }
        WCHAR* chunk = g_widenBuffer.text + done;
        int got = CopyWidened(chunk, text + done, take);
        chunk[got] = 0;
        if (got == 0) break;
        int fit = 0;
        SIZE size = {0, 0};
        if (!GetTextExtentExPointW(dc, chunk, got, limit - used, &fit, g_widths + done, &size)) break;
        if (size.cx > 0) g_averageAdvance16 = (int)((int64_t)size.cx * 16 / got) + 1;
        for (int i = done; i < done + fit; ++i) g_widths[i] += used;
        done += fit;
        if (fit < got) break;
        used = g_widths[done - 1];
        if (got < take || done == n) break;
    }
    g_lastFit = done;
    *count = done;
    *width = done > 0 ? g_widths[done - 1] : 0;
    return 0;
}

int MeasuredPrefixWidth(int n) {
    if (n < 1 || n > g_lastFit) return 0;
    return g_widths[n - 1];
}

void DrawTextRun(HDC dc, const BYTE* text, int count, int x, int y, int width, int height) {
    int n = 0;
    WCHAR* wide = WidenShared(text, count, &n);
    if (!wide) return;
    RECT rect = {x, y, x + width, y + height};
    DrawTextW(dc, wide, n, &rect, kTextRunFormat);
}

void DrawColouredText(HDC dc, const BYTE* text, int count, int x, int y, int width, int height,
                      COLORREF textColour, COLORREF backColour) {
    COLORREF oldText = SetTextColor(dc, textColour);
    COLORREF oldBack = SetBkColor(dc, backColour);
    DrawTextRun(dc, text, count, x, y, width, height);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}
