// The registry's text form: REGEDIT4, UTF-8, one section per key.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Orlavex\Almarest-Velmora]
//   "Flags"=dword:d1140040
//   "FontName"="Tahoma \"Bold\" \\ x"
//   "Bookmarks"=hex:07,00,00,00
//   "Odd"=hex(1):41,00
//   @="default value"
//
// The reader is strict (anything it would not write, bar the tolerances below, makes
// the whole file unreadable) so that a damaged file is noticed and kept aside rather
// than half-loaded. Tolerated: a UTF-8 BOM, CRLF, blank and ';' comment lines,
// whitespace around lines, hex lists continued with a trailing backslash, 1-8 digit
// dwords, "" for the default value, repeated sections and values (the last wins).
#include "registry_tree.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kRootName[] = "HKEY_CURRENT_USER";
// Bytes per hex line before continuing on the next, as the usual editors do.
constexpr size_t kHexLineWidth = 77;

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A unit allowed inside a quoted name or string on one line of the file.
bool IsTextUnit(char16_t c) { return c >= 0x20 || c == u'\t'; }

bool NameUnitsValid(std::u16string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        if (!IsTextUnit(c)) return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

// A REG_SZ the text form can show as a quoted string and read back to the same bytes:
// whole UTF-16 units, exactly one terminator at the end, well formed, printable.
bool IsPlainString(const std::vector<BYTE>& data, std::u16string* text) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    size_t units = data.size() / 2 - 1;
    if (data[units * 2] != 0 || data[units * 2 + 1] != 0) return false;
    text->resize(units);
    for (size_t i = 0; i < units; ++i) (*text)[i] = char16_t(data[i * 2] | (data[i * 2 + 1] << 8));
    return NameUnitsValid(*text);
}

void AppendQuoted(std::string* out, const std::string& utf8) {
    out->push_back('"');
    for (char c : utf8) {
        if (c == '"' || c == '\\') out->push_back('\\');
        out->push_back(c);
    }
    out->push_back('"');
}

void AppendHex(std::string* out, size_t lineStart, const std::vector<BYTE>& data) {
    static const char kDigits[] = "0123456789abcdef";
    size_t onLine = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        bool last = i + 1 == data.size();
        if (onLine > 0 && out->size() - lineStart + (last ? 2 : 3) > kHexLineWidth) {
            out->append("\\\n  ");
            lineStart = out->size() - 2;
            onLine = 0;
        }
        out->push_back(kDigits[data[i] >> 4]);
        out->push_back(kDigits[data[i] & 15]);
        if (!last) out->push_back(',');
        ++onLine;
    }
}

void FormatValue(std::string* out, const RegValueRec& v) {
    size_t lineStart = out->size();
    std::string name;
    if (v.name.empty()) {
        out->push_back('@');
    } else {
        RegUtf16ToUtf8(v.name, &name);  // names are checked when set or read
        AppendQuoted(out, name);
    }
    out->push_back('=');
    std::u16string text;
    std::string utf8;
    if (v.type == REG_DWORD && v.data.size() == 4) {
        char buf[16];
        unsigned d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (unsigned(v.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        out->append(buf);
    } else if (v.type == REG_SZ && IsPlainString(v.data, &text) && RegUtf16ToUtf8(text, &utf8)) {
        AppendQuoted(out, utf8);
    } else {
        if (v.type == REG_BINARY) {
            out->append("hex:");
        } else {
            char buf[24];
            std::snprintf(buf, sizeof buf, "hex(%x):", unsigned(v.type));
            out->append(buf);
        }
        AppendHex(out, lineStart, v.data);
    }
    out->push_back('\n');
}

void FormatNode(std::string* out, const RegNode& node, std::string* path, bool isRoot) {
    if (!isRoot || !node.values.empty()) {
        out->push_back('[');
        out->append(*path);
        out->append("]\n");
        for (const RegValueRec& v : node.values) FormatValue(out, v);
        out->push_back('\n');
    }
    for (const auto& child : node.children) {
        size_t keep = path->size();
        std::string name;
        RegUtf16ToUtf8(child->name, &name);
        path->push_back('\\');
        path->append(name);
        FormatNode(out, *child, path, false);
        path->resize(keep);
    }
}

// --- Reader ------------------------------------------------------------------------

struct Line {
    std::string_view text;  // without line end and surrounding whitespace
    int number;
};

struct Parser {
    std::vector<Line> lines;
    size_t next = 0;
    std::string* why;
    int line = 0;

    bool Fail(const char* what) {
        if (why) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "line %d: %s", line, what);
            *why = buf;
        }
        return false;
    }
};

void SplitLines(const char* text, size_t size, std::vector<Line>* lines) {
    size_t pos = 0;
    int number = 1;
    while (pos < size) {
        const char* nl = static_cast<const char*>(std::memchr(text + pos, '\n', size - pos));
        size_t end = nl ? size_t(nl - text) : size;
        size_t b = pos, e = end;
        if (e > b && text[e - 1] == '\r') --e;
        while (b < e && IsSpace(text[b])) ++b;
        while (e > b && IsSpace(text[e - 1])) --e;
        lines->push_back({std::string_view(text + b, e - b), number++});
        pos = end + 1;
    }
}

// Reads a quoted string at *s (which starts with '"'): \" and \\ are the only escapes.
bool ReadQuoted(std::string_view* s, std::u16string* out) {
    std::string raw;
    size_t i = 1;
    for (;; ++i) {
        if (i >= s->size()) return false;
        char c = (*s)[i];
        if (c == '"') break;
        if (c == '\\') {
            if (++i >= s->size()) return false;
            c = (*s)[i];
            if (c != '"' && c != '\\') return false;
        }
        raw.push_back(c);
    }
    s->remove_prefix(i + 1);
    return RegUtf8ToUtf16(raw, out) && NameUnitsValid(*out);
}

// Reads "xx,xx,...", following a trailing backslash onto the next lines.
bool ReadHexList(Parser* p, std::string_view s, std::vector<BYTE>* out) {
    if (s.empty()) return true;
    for (;;) {
        if (s.size() < 2 || HexDigit(s[0]) < 0 || HexDigit(s[1]) < 0) return false;
        out->push_back(BYTE(HexDigit(s[0]) * 16 + HexDigit(s[1])));
        if (out->size() > kRegMaxValueData) return false;
        s.remove_prefix(2);
        if (s.empty()) return true;
        if (s[0] != ',') return false;
        s.remove_prefix(1);
        if (s == "\\") {
            if (p->next >= p->lines.size()) return false;
            p->line = p->lines[p->next].number;
            s = p->lines[p->next++].text;
        }
    }
}

bool ParseData(Parser* p, std::string_view s, RegValueRec* v) {
    if (!s.empty() && s[0] == '"') {
        std::u16string text;
        if (!ReadQuoted(&s, &text) || !s.empty()) return false;
        v->type = REG_SZ;
        for (char16_t c : text) {
            v->data.push_back(BYTE(c & 0xFF));
            v->data.push_back(BYTE(c >> 8));
        }
        v->data.push_back(0);
        v->data.push_back(0);
        return v->data.size() <= kRegMaxValueData;
    }
    if (s.substr(0, 6) == "dword:") {
        s.remove_prefix(6);
        if (s.empty() || s.size() > 8) return false;
        unsigned d = 0;
        for (char c : s) {
            if (HexDigit(c) < 0) return false;
            d = d * 16 + unsigned(HexDigit(c));
        }
        v->type = REG_DWORD;
        v->data = {BYTE(d), BYTE(d >> 8), BYTE(d >> 16), BYTE(d >> 24)};
        return true;
    }
    if (s.substr(0, 4) == "hex:") {
        v->type = REG_BINARY;
        return ReadHexList(p, s.substr(4), &v->data);
    }
    if (s.substr(0, 4) == "hex(") {
        s.remove_prefix(4);
        size_t close = s.find("):");
        if (close == std::string_view::npos || close == 0 || close > 8) return false;
        DWORD type = 0;
        for (size_t i = 0; i < close; ++i) {
            if (HexDigit(s[i]) < 0) return false;
            type = type * 16 + DWORD(HexDigit(s[i]));
        }
        v->type = type;
        return ReadHexList(p, s.substr(close + 2), &v->data);
    }
    return false;
}

bool ParseSection(std::string_view s, RegNode* root, RegNode** current) {
    // s is "[...]"; key names may hold ']' since the last one closes the header.
    if (s.size() < 2 || s.back() != ']') return false;
    s = s.substr(1, s.size() - 2);
    size_t rootLen = sizeof kRootName - 1;
    if (s.size() < rootLen) return false;
    for (size_t i = 0; i < rootLen; ++i) {
        if (FoldAscii(char16_t(s[i])) != FoldAscii(char16_t(kRootName[i]))) return false;
    }
    s.remove_prefix(rootLen);
    RegNode* node = root;
    while (!s.empty()) {
        if (s[0] != '\\') return false;
        s.remove_prefix(1);
        size_t end = s.find('\\');
        std::string_view part = s.substr(0, end);
        std::u16string name;
        if (!RegUtf8ToUtf16(part, &name) || !RegKeyNameValid(name)) return false;
        RegNode* child = RegFindChild(node, name);
        if (!child) {
            node->children.push_back(std::make_unique<RegNode>());
            child = node->children.back().get();
            child->name = name;
        }
        node = child;
        s.remove_prefix(part.size());
    }
    *current = node;
    return true;
}

bool ParseValue(Parser* p, std::string_view s, RegNode* node) {
    RegValueRec v;
    if (s[0] == '@') {
        s.remove_prefix(1);
    } else if (!ReadQuoted(&s, &v.name) || !RegValueNameValid(v.name)) {
        return p->Fail("bad value name");
    }
    if (s.empty() || s[0] != '=') return p->Fail("'=' expected after the value name");
    s.remove_prefix(1);
    if (!ParseData(p, s, &v)) return p->Fail("bad value data");
    if (RegValueRec* old = RegFindValue(node, v.name)) {
        old->type = v.type;
        old->data = std::move(v.data);
    } else {
        node->values.push_back(std::move(v));
    }
    return true;
}

}  // namespace

bool RegNameEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

bool RegKeyNameValid(std::u16string_view name) {
    return !name.empty() && name.size() <= kRegMaxKeyName && name.find(u'\\') == name.npos &&
           NameUnitsValid(name);
}

bool RegValueNameValid(std::u16string_view name) {
    return name.size() <= kRegMaxValueName && NameUnitsValid(name);
}

RegNode* RegFindChild(const RegNode* node, std::u16string_view name) {
    for (const auto& c : node->children) {
        if (RegNameEqual(c->name, name)) return c.get();
    }
    return nullptr;
}

RegValueRec* RegFindValue(const RegNode* node, std::u16string_view name) {
    for (const RegValueRec& v : node->values) {
        if (RegNameEqual(v.name, name)) return const_cast<RegValueRec*>(&v);
    }
    return nullptr;
}

RegNode* RegFindPath(const RegNode* root, const std::vector<std::u16string>& path) {
    const RegNode* node = root;
    for (const std::u16string& part : path) {
        node = RegFindChild(node, part);
        if (!node) return nullptr;
    }
    return const_cast<RegNode*>(node);
}

bool RegistryParseText(const char* text, size_t size, RegNode* root, std::string* why) {
    Parser p;
    p.why = why;
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        text += 3;
        size -= 3;
    }
    SplitLines(text, size, &p.lines);
    p.line = 1;
    if (p.lines.empty() || p.lines[0].text != "REGEDIT4") return p.Fail("REGEDIT4 expected");
    p.next = 1;
    RegNode* current = nullptr;
    while (p.next < p.lines.size()) {
        const Line& l = p.lines[p.next++];
        p.line = l.number;
        std::string_view s = l.text;
        if (s.empty() || s[0] == ';') continue;
        if (s[0] == '[') {
            if (!ParseSection(s, root, &current)) return p.Fail("bad section header");
        } else if (s[0] == '"' || s[0] == '@') {
            if (!current) return p.Fail("value outside a section");
            if (!ParseValue(&p, s, current)) return false;
        } else {
            return p.Fail("unexpected line");
        }
    }
    return true;
}

void RegistryFormatText(const RegNode& root, std::string* out) {
    out->assign("REGEDIT4\n\n");
    std::string path = kRootName;
    FormatNode(out, root, &path, true);
}

bool RegTreeEqual(const RegNode& a, const RegNode& b) {
    if (a.name != b.name || a.values.size() != b.values.size() ||
        a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.values.size(); ++i) {
        const RegValueRec& x = a.values[i];
        const RegValueRec& y = b.values[i];
        if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
    for (size_t i = 0; i < a.children.size(); ++i) {
        if (!RegTreeEqual(*a.children[i], *b.children[i])) return false;
    }
    return true;
}

bool RegUtf8ToUtf16(std::string_view in, std::u16string* out) {
    out->clear();
    size_t i = 0;
    while (i < in.size()) {
        unsigned char c = in[i];
        char32_t cp;
        size_t n;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            n = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            n = 4;
        } else {
            return false;
        }
        if (i + n > in.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            unsigned char cc = in[i + k];
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out->push_back(char16_t(0xD800 + (cp >> 10)));
            out->push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out->push_back(char16_t(cp));
        }
        i += n;
    }
    return true;
}

bool RegUtf16ToUtf8(std::u16string_view in, std::string* out) {
    out->clear();
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= in.size() || in[i + 1] < 0xDC00 || in[i + 1] > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[++i] - 0xDC00);
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out->push_back(char(cp));
        } else if (cp < 0x800) {
            out->push_back(char(0xC0 | (cp >> 6)));
            out->push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out->push_back(char(0xE0 | (cp >> 12)));
            out->push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out->push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out->push_back(char(0xF0 | (cp >> 18)));
            out->push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out->push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out->push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}
