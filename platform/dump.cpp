// The window tree as text.
#include "dump.h"

#include <cstdio>
#include <vector>

#include "message.h"
#include "window.h"
#include "window_internal.h"

struct DumpOut {
    std::string flags;
    std::vector<std::string> parts;
};

namespace {
std::vector<DumpHook>& Hooks() {
    static std::vector<DumpHook> hooks;
    return hooks;
}

void AppendRect(std::string* s, const RECT& r) {
    char buf[64];
    snprintf(buf, sizeof buf, "%ld,%ld,%ld,%ld", (long)r.left, (long)r.top, (long)(r.right - r.left),
             (long)(r.bottom - r.top));
    *s += buf;
}

void DumpWindow(HWND hwnd, int depth, std::string* text) {
    WindowRec* w = WindowLookup(hwnd);
    if (!w) return;
    std::string line(depth * 2, ' ');
    line += Utf16ToUtf8(WindowClassOf(w)->name);
    line += ' ';
    line += DumpQuote(w->text.c_str(), w->text.size());
    line += ' ';
    RECT r;
    GetWindowRect(hwnd, &r);
    AppendRect(&line, r);
    if (w->parent && w->id) line += " id=" + std::to_string((int)w->id);
    if (!(w->style & WS_VISIBLE)) line += " hidden";
    if (w->style & WS_DISABLED) line += " disabled";
    DumpOut out;
    for (DumpHook hook : Hooks()) hook(hwnd, &out);
    // "checked" comes before "focus" in the line.
    line += out.flags;
    if (GetFocus() == hwnd) line += " focus";
    *text += line + "\n";
    for (const std::string& p : out.parts) *text += std::string((depth + 1) * 2, ' ') + p + "\n";
    if (!(w = WindowLookup(hwnd))) return;
    std::vector<HWND> kids = w->children;
    for (HWND k : kids) DumpWindow(k, depth + 1, text);
}
}  // namespace

std::string DumpQuote(LPCWSTR text, size_t n) {
    std::u16string s(text ? text : u"", text ? n : 0);
    std::string utf8 = Utf16ToUtf8(s), out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

void DumpWindowFlag(DumpOut* out, const char* flag) {
    if (out && flag) out->flags += std::string(" ") + flag;
}

void DumpPart(DumpOut* out, const char* kind, LPCWSTR text, const RECT* screen, const char* extra) {
    if (!out || !kind) return;
    std::string line = kind;
    line += ' ';
    line += DumpQuote(text, WStrLen(text));
    if (screen) {
        line += ' ';
        AppendRect(&line, *screen);
    }
    if (extra && *extra) line += std::string(" ") + extra;
    out->parts.push_back(line);
}

void DumpAddHook(DumpHook hook) {
    auto& hooks = Hooks();
    for (DumpHook h : hooks)
        if (h == hook) return;
    if (hook && hooks.size() < 16) hooks.push_back(hook);
}

void DumpRemoveHook(DumpHook hook) {
    auto& hooks = Hooks();
    for (auto it = hooks.begin(); it != hooks.end(); ++it)
        if (*it == hook) {
            hooks.erase(it);
            return;
        }
}

std::string DumpWindowTree() {
    std::string text;
    std::vector<HWND> tops = WindowTopLevels();
    for (HWND h : tops) DumpWindow(h, 0, &text);
    return text;
}

bool DumpWriteFile(const char* path) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    std::string text = DumpWindowTree();
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}
