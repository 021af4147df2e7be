#include "tools/library_dump.h"

#include <cstdio>

#include "tools/cp1252.h"
#include "tools/library_source.h"

namespace {

constexpr size_t kWrapColumn = 78;

std::string Hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
    return buf;
}

std::string EscapeByte(uint8_t b) {
    if (b == '\\') return "\\\\";
    uint32_t cp = Cp1252ToCodePoint(b);
    if (cp == 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", b);
        return buf;
    }
    std::string s;
    AppendUtf8(&s, cp);
    return s;
}

// Escaped units, one per byte of text, with the spaces at either end kept by \x20.
std::vector<std::string> EscapeUnits(const std::string& text, bool escapeLeadingDot) {
    std::vector<std::string> units;
    for (size_t i = 0; i < text.size(); ++i) {
        uint8_t b = (uint8_t)text[i];
        if (b == ' ' && (i == 0 || i + 1 == text.size()))
            units.push_back("\\x20");
        else if (b == '.' && i == 0 && escapeLeadingDot)
            units.push_back("\\.");
        else
            units.push_back(EscapeByte(b));
    }
    return units;
}

// Characters (not bytes) of a piece of UTF-8.
size_t Columns(const std::string& u) {
    size_t n = 0;
    for (char c : u) n += ((uint8_t)c & 0xC0) != 0x80;
    return n;
}

// The record's source: `head` (its tags) then the text, wrapped at single spaces
// between words; a line that would start with # gets \#.
std::string RecordLines(const std::string& head, const std::string& text) {
    std::vector<std::string> units = EscapeUnits(text, true);
    std::string out = head;
    size_t column = out.size();
    size_t i = 0;
    while (i < text.size()) {
        // The next word runs up to a space with a non-space on either side, which is
        // where a line may break without losing or gaining a space.
        size_t j = i + 1;
        while (j < text.size() && !(text[j] == ' ' && text[j - 1] != ' ' && j + 1 < text.size() && text[j + 1] != ' '))
            ++j;
        size_t width = 0;
        for (size_t k = i; k < j; ++k) width += Columns(units[k]);
        if (!out.empty() && out.back() != '\n') {
            if (column + 1 + width > kWrapColumn && i > 0) {
                out += '\n';
                column = 0;
            } else {
                out += ' ';
                ++column;
            }
        }
        for (size_t k = i; k < j; ++k) {
            std::string u = k == i && text[k] == '#' && (out.empty() || out.back() == '\n') ? "\\#" : units[k];
            out += u;
            column += Columns(u);
        }
        i = j < text.size() ? j + 1 : j;
    }
    return out + "\n";
}

std::string JoinTags(const std::vector<std::string>& tags) {
    std::string s;
    for (const std::string& t : tags) s += (s.empty() ? "" : " ") + t;
    return s;
}

// The canonical tags of a record, or false when none reproduce its style.
std::string CanonicalRecord(uint8_t style, uint8_t param, std::string text, size_t position, bool afterTitle) {
    std::vector<std::string> tags;
    if ((style & 7) == 7) {
        uint8_t base = style & 0x7F;
        if (!text.empty() || (base != 0x47 && base != 0x27) || param == 0 || param > 210) return {};
        tags.push_back(".rule");
        if (base == 0x27) tags.push_back(".right");
        if (!(style & 0x80)) tags.push_back(".tight");
        tags.push_back(param <= 160 ? std::to_string(param) + "px" : std::to_string((param - 160) * 2) + "%");
        return RecordLines(JoinTags(tags), "");
    }
    uint8_t base = style & 0x7F;
    bool rawStyle = false;
    if (base == 0x4C) {
        tags.push_back(position == 0 ? ".title" : ".heading");
    } else if (base == 0x41 && (position == 0 || afterTitle)) {
        tags.push_back(".subtitle");
    } else if (((style & 0x01) != 0) == ((style & 0x06) == 0) && !(style & 0x10) && (style & 0x60) != 0x60) {
        if (style & 0x40) tags.push_back(".center");
        if (style & 0x20) tags.push_back(".right");
        if (style & 0x02) tags.push_back(".small");
        if (style & 0x04) tags.push_back(".large");
        if (style & 0x08) tags.push_back(".bold");
    } else {
        tags.push_back(".style " + Hex2(style));
        rawStyle = true;
    }
    if (!(style & 0x80) && !rawStyle) tags.push_back(".tight");
    int level = param >> 6, indent = param & 0x3F;
    static const char* const kItem[] = {"", ".item", ".item2", ".item3"};
    if (level > 0) {
        if (text.size() >= 2 && (uint8_t)text[0] == 0x95 && text[1] == ' ') {
            tags.push_back(".bullet");
            text.erase(0, 2);
            if (level > 1) tags.push_back(kItem[level]);
        } else if (!text.empty() && text[0] == ' ') {
            tags.push_back(".cont");
            text.erase(0, 1);
            if (level > 1) tags.push_back(kItem[level]);
        } else {
            tags.push_back(kItem[level]);
        }
    }
    if (indent) tags.push_back(".in" + std::to_string(indent));
    if (tags.empty() && text.empty()) tags.push_back(".style " + Hex2(style));
    return RecordLines(JoinTags(tags), text);
}

std::string RawRecord(uint8_t style, uint8_t param, const std::string& text) {
    return RecordLines(".style " + Hex2(style) + " .param " + Hex2(param), text);
}

}  // namespace

bool DumpLessonSource(const std::vector<uint8_t>& lesson, std::string* text, std::string* why) {
    std::string out;
    size_t at = 0;
    size_t position = 0;
    bool afterTitle = false;
    while (at < lesson.size() && lesson[at] != 0) {
        if (lesson.size() - at < 3) break;
        uint8_t style = lesson[at], param = lesson[at + 1];
        size_t end = at + 2;
        while (end < lesson.size() && lesson[end] != 0) ++end;
        if (end == lesson.size()) {
            *why = "a record at byte " + std::to_string(at) + " has no terminator";
            return false;
        }
        std::string body((const char*)lesson.data() + at + 2, end - at - 2);
        std::vector<uint8_t> expect(lesson.begin() + at, lesson.begin() + end + 1);
        std::string source = CanonicalRecord(style, param, body, position, afterTitle);
        std::vector<uint8_t> got;
        if (source.empty() || !ParseLessonRecord(source, &got) || got != expect) {
            source = RawRecord(style, param, body);
            if (!ParseLessonRecord(source, &got) || got != expect) {
                *why = "the record at byte " + std::to_string(at) + " cannot be written as source";
                return false;
            }
        }
        if (!out.empty()) out += "\n";
        out += source;
        afterTitle = position == 0 && style == 0xCC;
        ++position;
        at = end + 1;
    }
    if (lesson.size() - at != 3 || lesson[at] || lesson[at + 1] || lesson[at + 2]) {
        *why = "the lesson does not end with its end marker and two zero bytes";
        return false;
    }
    // The whole file must give the lesson back (first-record and size rules included).
    std::vector<uint8_t> check;
    PackDiagnostics diag;
    if (!ParseLessonSource(out, "dump", &check, &diag) || check != lesson) {
        *why = diag.errors.empty() ? "the lesson cannot be written as source" : diag.errors[0];
        return false;
    }
    *text = out;
    return true;
}

bool DumpIndexSource(const std::vector<uint8_t>& index, const std::vector<bool>& exists, std::string* text,
                     std::string* why) {
    std::string out;
    size_t at = 0;
    while (at + 5 <= index.size() && index[at + 2] != 0) {
        unsigned key = index[at] | index[at + 1] << 8;
        uint8_t style = index[at + 2], level = index[at + 3];
        size_t end = at + 4;
        while (end < index.size() && index[end] != 0) ++end;
        if (end == index.size()) {
            *why = "an index record at byte " + std::to_string(at) + " has no terminator";
            return false;
        }
        if (level == 0) {
            *why = "an index record at byte " + std::to_string(at) + " has level 0";
            return false;
        }
        const char* kind = (key & 0xC000) == 0x8000 ? "section" : (key & 0xC000) == 0x4000 ? "lesson" : nullptr;
        if (!kind) {
            *why = "an index record at byte " + std::to_string(at) + " is neither a section nor a lesson";
            return false;
        }
        out.append((level - 1) * 2, ' ');
        if (style != (level == 1 ? 0x8C : 0x01)) out += ".style " + Hex2(style) + " ";
        out += std::string(kind) + " " + std::to_string(key & 0x3FFF);
        std::string title((const char*)index.data() + at + 4, end - at - 4);
        if (!title.empty()) {
            out += ' ';
            for (const std::string& u : EscapeUnits(title, false)) out += u;
        }
        out += '\n';
        at = end + 1;
    }
    if (index.size() - at != 5 || index[at] || index[at + 1] || index[at + 2] || index[at + 3] || index[at + 4]) {
        *why = "the index does not end with five zero bytes";
        return false;
    }
    std::vector<uint8_t> check;
    PackDiagnostics diag;
    if (!ParseIndexSource(out, "index.txt", exists, &check, &diag) || check != index) {
        *why = diag.errors.empty() ? "the index cannot be written as source" : diag.errors[0];
        return false;
    }
    *text = out;
    return true;
}

std::string LessonSlug(const std::vector<uint8_t>& lesson) {
    std::string slug;
    if (lesson.size() > 2) {
        bool dash = false;
        for (size_t i = 2; i < lesson.size() && lesson[i] && slug.size() < 40; ++i) {
            char c = (char)lesson[i];
            if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
                if (dash && !slug.empty()) slug += '-';
                slug += c;
                dash = false;
            } else {
                dash = true;
            }
        }
    }
    return slug.empty() ? "lesson" : slug;
}
