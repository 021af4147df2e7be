// The trace of a DC: every drawing call as a line of text, for readable golden tests.
#include <cstdio>
#include <new>

#include "gdi_internal.h"

namespace {
std::string g_traceResult;
}

void GdiTrace(DcRec* dc, const char* fmt, ...) {
    if (!dc->trace) return;
    char line[512];
    va_list args;
    va_start(args, fmt);
    int n = vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    if (n < 0) return;
    if ((size_t)n >= sizeof line) {
        // A long text: format again into a buffer of the right size.
        std::string big((size_t)n + 1, '\0');
        va_start(args, fmt);
        vsnprintf(big.data(), big.size(), fmt, args);
        va_end(args);
        big.resize((size_t)n);
        dc->trace->append(big);
        return;
    }
    dc->trace->append(line, (size_t)n);
}

std::string GdiTraceText(const WCHAR* text, int n) {
    std::string out = "\"";
    for (int i = 0; i < n; ++i) {
        WCHAR u = text[i];
        char esc[8];
        if (u == '"' || u == '\\') {
            out += '\\';
            out += (char)u;
        } else if (u >= 0x20 && u <= 0x7E) {
            out += (char)u;
        } else {
            snprintf(esc, sizeof esc, u <= 0xFF ? "\\x%02x" : "\\u%04x", (unsigned)u);
            out += esc;
        }
    }
    out += '"';
    return out;
}

std::string GdiTraceColour(COLORREF c, bool isNull) {
    if (isNull) return "none";
    char hex[8];
    snprintf(hex, sizeof hex, "%06x", (unsigned)(c & 0xFFFFFF));
    return hex;
}

std::string GdiTraceFont(DcRec* dc) {
    FontInstance* f = GdiDcFont(dc, nullptr);
    std::string s = std::to_string(FontHeight(f));
    if (FontIsBold(f)) s += 'b';
    return s;
}

bool GdiTraceBegin(HDC dc) {
    DcRec* d = GdiDc(dc);
    if (!d) return false;
    if (d->trace) {
        d->trace->clear();
        return true;
    }
    d->trace = new (std::nothrow) std::string();
    return d->trace != nullptr;
}

const char* GdiTraceEnd(HDC dc) {
    g_traceResult.clear();
    DcRec* d = GdiDc(dc);
    if (d && d->trace) {
        g_traceResult.swap(*d->trace);
        delete d->trace;
        d->trace = nullptr;
    }
    return g_traceResult.c_str();
}
