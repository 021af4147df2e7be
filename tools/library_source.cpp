#include "tools/library_source.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tools/cp1252.h"

namespace {

// A source line with its characters already as Windows-1252 bytes.
struct SourceLine {
    int number;
    std::string bytes;
};


// Splits UTF-8 text into lines converted to Windows-1252; false when a character
// cannot be converted (each bad line reported once).
bool ConvertLines(const std::string& text, const std::string& file, std::vector<SourceLine>* lines,
                  PackDiagnostics* diag) {
    bool ok = true;
    size_t at = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
    int number = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        std::string raw = text.substr(at, nl - at);
        at = nl + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        SourceLine line{number, {}};
        size_t i = 0;
        while (i < raw.size()) {
            size_t start = i;
            int64_t cp = DecodeUtf8(raw, &i);
            if (cp < 0) {
                AddError(diag, file, number, "not valid UTF-8 at column " + std::to_string(start + 1));
                ok = false;
                break;
            }
            if (cp == '\t') {
                AddError(diag, file, number, "a tab character; use spaces (or \\x09 for the byte)");
                ok = false;
                break;
            }
            int b = Cp1252FromCodePoint((uint32_t)cp);
            if (b < 0) {
                char buf[80];
                std::snprintf(buf, sizeof buf, "character U+%04X \"%s\" has no single-byte Windows-1252 code",
                              (unsigned)cp, cp >= 0x20 && cp != 0x7F ? raw.substr(start, i - start).c_str() : "");
                AddError(diag, file, number, buf);
                ok = false;
                break;
            }
            line.bytes.push_back((char)b);
        }
        lines->push_back(std::move(line));
    }
    return ok;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Resolves the text escapes of s; lineOf gives the source line of each byte of s.
bool Unescape(const std::string& s, const std::vector<int>& lineOf, size_t offset, const std::string& file,
              std::string* out, PackDiagnostics* diag) {
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        int line = lineOf[offset + i];
        char e = i + 1 < s.size() ? s[i + 1] : 0;
        if (e == '\\' || e == '#' || e == '.') {
            out->push_back(e);
            ++i;
        } else if (e == 'x') {
            int hi = i + 2 < s.size() ? HexDigit(s[i + 2]) : -1;
            int lo = i + 3 < s.size() ? HexDigit(s[i + 3]) : -1;
            if (hi < 0 || lo < 0) {
                AddError(diag, file, line, "\\x needs two hex digits");
                return false;
            }
            if (hi == 0 && lo == 0) {
                AddError(diag, file, line, "\\x00 cannot be in text (it ends the text)");
                return false;
            }
            out->push_back((char)(hi * 16 + lo));
            i += 3;
        } else {
            AddError(diag, file, line, std::string("unknown escape \\") + (e ? std::string(1, e) : "") +
                                           " (use \\\\, \\#, \\. or \\xNN)");
            return false;
        }
    }
    return true;
}

// A number 0 to max, decimal or 0x hex; -1 when it is not one.
long ParseNumber(const std::string& word, long max) {
    if (word.empty()) return -1;
    bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    size_t start = hex ? 2 : 0;
    long v = 0;
    for (size_t i = start; i < word.size(); ++i) {
        int d = hex ? HexDigit(word[i]) : (word[i] >= '0' && word[i] <= '9' ? word[i] - '0' : -1);
        if (d < 0) return -1;
        v = v * (hex ? 16 : 10) + d;
        if (v > max) return -1;
    }
    return v;
}

struct RawRecord {
    std::string raw;
    std::vector<int> lineOf;
};

// Tags of one record; -1 means "not given".
struct Tags {
    bool centre = false, right = false, small = false, large = false, bold = false, tight = false;
    int indent = -1, level = -1;
    bool bullet = false, cont = false;
    bool isRule = false;
    int style = -1, param = -1;
    bool fontTags = false;  // any tag that only text can use
};

// The width code of a rule word: "N%" (even, 2 to 100) or "Npx" (1 to 160); -1 if neither.
int RuleWidthCode(const std::string& arg) {
    if (arg.size() > 1 && arg.back() == '%') {
        long pct = ParseNumber(arg.substr(0, arg.size() - 1), 100);
        if (pct >= 2 && pct % 2 == 0) return 160 + (int)pct / 2;
    } else if (arg.size() > 2 && arg.compare(arg.size() - 2, 2, "px") == 0) {
        long px = ParseNumber(arg.substr(0, arg.size() - 2), 160);
        if (px >= 1) return (int)px;
    }
    return -1;
}

bool ParseTag(const std::string& tag, const std::string& arg, bool* usedArg, Tags* t, std::string* why) {
    *usedArg = false;
    auto needArg = [&]() {
        *usedArg = true;
        if (arg.empty()) {
            *why = tag + " needs a value after it";
            return false;
        }
        return true;
    };
    if (tag == ".title" || tag == ".heading") {
        t->centre = t->large = t->bold = t->fontTags = true;
    } else if (tag == ".subtitle") {
        t->centre = t->fontTags = true;
    } else if (tag == ".center") {
        t->centre = true;
    } else if (tag == ".right") {
        t->right = true;
    } else if (tag == ".small") {
        t->small = t->fontTags = true;
    } else if (tag == ".large") {
        t->large = t->fontTags = true;
    } else if (tag == ".bold") {
        t->bold = t->fontTags = true;
    } else if (tag == ".tight") {
        t->tight = true;
    } else if (tag == ".item") {
        t->level = 1;
    } else if (tag == ".item2") {
        t->level = 2;
    } else if (tag == ".item3") {
        t->level = 3;
    } else if (tag == ".bullet") {
        t->bullet = true;
    } else if (tag == ".cont") {
        t->cont = true;
    } else if (tag.size() > 3 && tag.compare(0, 3, ".in") == 0 && tag[3] >= '0' && tag[3] <= '9') {
        long v = ParseNumber(tag.substr(3), 63);
        if (v < 0) {
            *why = "indent " + tag + " is not 0 to 63";
            return false;
        }
        t->indent = (int)v;
    } else if (tag == ".rule") {
        t->isRule = true;
    } else if (tag == ".style" || tag == ".param") {
        if (!needArg()) return false;
        long v = ParseNumber(arg, 255);
        if (v < 0) {
            *why = tag + " value " + arg + " is not a byte (0xNN)";
            return false;
        }
        if (tag == ".style" && v == 0) {
            *why = ".style 0x00 would end the lesson here";
            return false;
        }
        (tag == ".style" ? t->style : t->param) = (int)v;
    } else {
        *why = "unknown tag " + tag + " (write \\. for text that starts with a dot)";
        return false;
    }
    return true;
}

// Builds one record's bytes from its joined source text.
bool ParseRecord(const RawRecord& rec, const std::string& file, std::string* bytes, bool* emptyText,
                 PackDiagnostics* diag) {
    const std::string& raw = rec.raw;
    Tags t;
    size_t p = 0;
    auto wordEnd = [&](size_t from) {
        size_t e = raw.find(' ', from);
        return e == std::string::npos ? raw.size() : e;
    };
    auto skipSpaces = [&](size_t from) {
        while (from < raw.size() && raw[from] == ' ') ++from;
        return from;
    };
    while (p < raw.size() && raw[p] == '.') {
        size_t e = wordEnd(p);
        std::string tag = raw.substr(p, e - p);
        size_t argStart = skipSpaces(e);
        size_t argEnd = wordEnd(argStart);
        std::string arg = raw.substr(argStart, argEnd - argStart);
        bool usedArg;
        std::string why;
        if (!ParseTag(tag, arg, &usedArg, &t, &why)) {
            AddError(diag, file, rec.lineOf[p], why);
            return false;
        }
        p = skipSpaces(usedArg ? argEnd : e);
    }
    int line = rec.lineOf[std::min(p, raw.size() - 1)];
    // A rule's width is the first word after its tags.
    int width = -1;
    if (t.isRule) {
        size_t e = wordEnd(p);
        std::string w = raw.substr(p, e - p);
        width = RuleWidthCode(w);
        if (width < 0 && t.param < 0) {
            AddError(diag, file, line, w.empty() ? ".rule needs a width (24%, 74%, 100% or Npx)"
                                                 : "rule width " + w + " is not an even percentage 2% to 100% or 1px to 160px");
            return false;
        }
        if (width >= 0) p = skipSpaces(e);
    }
    std::string text;
    if (!Unescape(raw.substr(p), rec.lineOf, p, file, &text, diag)) return false;

    if (t.centre && t.right) {
        AddError(diag, file, line, "a record cannot be both centred and right aligned");
        return false;
    }
    if (t.bullet && t.cont) {
        AddError(diag, file, line, ".bullet and .cont cannot be combined");
        return false;
    }
    bool rule = t.isRule;
    if (rule && (t.fontTags || t.level >= 0 || t.bullet || t.cont || t.indent >= 0)) {
        AddError(diag, file, line, "a rule takes only .tight, .right, .center, .style and .param");
        return false;
    }
    if (rule && !text.empty()) {
        AddError(diag, file, line, "a rule has no text (text after the width)");
        return false;
    }
    int style;
    if (t.style >= 0) {
        style = t.style;
    } else {
        // The plain bit marks text of the normal size (0x81, 0x89, 0xC1); smaller and
        // larger text goes without it (0x82, 0xC2, 0xCC).
        style = rule ? 0x07 : (t.small || t.large) ? 0x00 : 0x01;
        if (t.small) style |= 0x02;
        if (t.large) style |= 0x04;
        if (t.bold) style |= 0x08;
        if (t.right) style |= 0x20;
        else if (t.centre || rule) style |= 0x40;
        if (!t.tight) style |= 0x80;
    }
    int level = t.level >= 0 ? t.level : (t.bullet || t.cont) ? 1 : 0;
    int param = t.param >= 0 ? t.param : rule ? width : (level << 6) | (t.indent >= 0 ? t.indent : 0);
    if (t.bullet) text = "\x95 " + text;
    if (t.cont) text = " " + text;
    bytes->push_back((char)style);
    bytes->push_back((char)param);
    *bytes += text;
    bytes->push_back(0);
    *emptyText = text.empty() && (style & 7) != 7;
    return true;
}

}  // namespace

void AddError(PackDiagnostics* diag, const std::string& file, int line, const std::string& message) {
    diag->errors.push_back(line > 0 ? file + ":" + std::to_string(line) + ": " + message : file + ": " + message);
}

bool ParseLessonSource(const std::string& text, const std::string& file, std::vector<uint8_t>* lesson,
                       PackDiagnostics* diag) {
    std::vector<SourceLine> lines;
    if (!ConvertLines(text, file, &lines, diag)) return false;
    std::vector<RawRecord> records;
    bool open = false;
    for (const SourceLine& l : lines) {
        if (!l.bytes.empty() && l.bytes[0] == '#') continue;
        std::string t = Trim(l.bytes);
        if (t.empty()) {
            open = false;
            continue;
        }
        if (!open) {
            records.push_back({});
            open = true;
        } else {
            records.back().raw.push_back(' ');
            records.back().lineOf.push_back(l.number);
        }
        records.back().raw += t;
        records.back().lineOf.insert(records.back().lineOf.end(), t.size(), l.number);
    }
    if (records.empty()) {
        AddError(diag, file, 0, "the lesson has no records");
        return false;
    }
    std::string bytes;
    bool ok = true;
    for (size_t i = 0; i < records.size(); ++i) {
        bool empty = false;
        if (!ParseRecord(records[i], file, &bytes, &empty, diag)) {
            ok = false;
            continue;
        }
        if (i == 0 && empty) {
            AddError(diag, file, records[i].lineOf[0],
                     "the first record is text with no characters; the reader would reject the lesson");
            ok = false;
        }
    }
    if (!ok) return false;
    bytes.append(3, '\0');
    if (bytes.size() > kMaxDecodedSize) {
        AddError(diag, file, 0, "the lesson decodes to " + std::to_string(bytes.size()) +
                                    " bytes; at most 65535 fit");
        return false;
    }
    lesson->assign(bytes.begin(), bytes.end());
    return true;
}

bool ParseLessonRecord(const std::string& text, std::vector<uint8_t>* record) {
    PackDiagnostics diag;
    std::vector<SourceLine> lines;
    if (!ConvertLines(text, "", &lines, &diag)) return false;
    RawRecord rec;
    for (const SourceLine& l : lines) {
        if (!l.bytes.empty() && l.bytes[0] == '#') continue;
        std::string t = Trim(l.bytes);
        if (t.empty()) return false;
        if (!rec.raw.empty()) {
            rec.raw.push_back(' ');
            rec.lineOf.push_back(l.number);
        }
        rec.raw += t;
        rec.lineOf.insert(rec.lineOf.end(), t.size(), l.number);
    }
    if (rec.raw.empty()) return false;
    std::string bytes;
    bool empty;
    if (!ParseRecord(rec, "", &bytes, &empty, &diag)) return false;
    record->assign(bytes.begin(), bytes.end());
    return true;
}

bool ParseIndexSource(const std::string& text, const std::string& file, const std::vector<bool>& exists,
                      std::vector<uint8_t>* index, PackDiagnostics* diag) {
    std::vector<SourceLine> lines;
    if (!ConvertLines(text, file, &lines, diag)) return false;
    std::string bytes;
    bool ok = true;
    int prevLevel = 0;
    int prevKey = -1, prevLine = 0;
    std::map<int, int> sectionLine;
    int entries = 0;
    for (const SourceLine& l : lines) {
        std::string t = Trim(l.bytes);
        if (t.empty() || t[0] == '#') continue;
        auto fail = [&](const std::string& why) {
            AddError(diag, file, l.number, why);
            ok = false;
        };
        size_t spaces = l.bytes.find_first_not_of(' ');
        if (spaces % 2) {
            fail("indentation must be two spaces per level");
            continue;
        }
        int level = (int)spaces / 2 + 1;
        if (level > prevLevel + 1 || level > 255) {
            fail("entry at level " + std::to_string(level) + " follows one at level " + std::to_string(prevLevel) +
                 " (one level deeper at most)");
            continue;
        }
        size_t p = spaces;
        auto word = [&]() {
            size_t e = l.bytes.find(' ', p);
            if (e == std::string::npos) e = l.bytes.size();
            std::string w = l.bytes.substr(p, e - p);
            p = l.bytes.find_first_not_of(' ', e);
            if (p == std::string::npos) p = l.bytes.size();
            return w;
        };
        int style = level == 1 ? 0x8C : 0x01;
        std::string kind = word();
        if (kind == ".style") {
            long v = ParseNumber(word(), 255);
            if (v <= 0) {
                fail(".style needs a byte 0x01 to 0xFF (0 would end the index)");
                continue;
            }
            style = (int)v;
            kind = word();
        }
        if (kind != "section" && kind != "lesson") {
            fail("malformed entry: expected \"section ID TITLE\" or \"lesson N TITLE\"");
            continue;
        }
        std::string numberWord = word();
        long number = ParseNumber(numberWord, 0x3FFF);
        if (number < 0 || numberWord.empty() || (numberWord[0] == '0' && numberWord.size() > 1)) {
            fail("malformed entry: " + kind + " needs a number (" + (kind == "section" ? "0 to 16383" : "1 to 131") + ")");
            continue;
        }
        std::string rawTitle = l.bytes.substr(p);
        size_t last = rawTitle.find_last_not_of(' ');
        rawTitle = last == std::string::npos ? "" : rawTitle.substr(0, last + 1);
        std::string title;
        std::vector<int> lineOf(rawTitle.size(), l.number);
        if (!Unescape(rawTitle, lineOf, 0, file, &title, diag)) {
            ok = false;
            continue;
        }
        int key;
        if (kind == "lesson") {
            if (number < 1 || (size_t)number >= exists.size() || !exists[number]) {
                fail("lesson " + std::to_string(number) + " does not exist in the library");
                continue;
            }
            key = 0x4000 | (int)number;
        } else {
            if (number >= 1 && number <= kLessonCount) {
                fail("section id " + std::to_string(number) + " equals a lesson number (1 to 131)");
                continue;
            }
            auto seen = sectionLine.find((int)number);
            if (seen != sectionLine.end()) {
                fail("section id " + std::to_string(number) + " is already used on line " +
                     std::to_string(seen->second));
                continue;
            }
            sectionLine[(int)number] = l.number;
            key = 0x8000 | (int)number;
        }
        if (key == prevKey) {
            fail("the same " + kind + " as the entry on line " + std::to_string(prevLine) +
                 "; adjacent entries must differ");
            continue;
        }
        prevKey = key;
        prevLine = l.number;
        prevLevel = level;
        ++entries;
        bytes.push_back((char)(key & 0xFF));
        bytes.push_back((char)(key >> 8));
        bytes.push_back((char)style);
        bytes.push_back((char)level);
        bytes += title;
        bytes.push_back(0);
    }
    if (ok && entries == 0) {
        AddError(diag, file, 0, "the index has no entries");
        ok = false;
    }
    if (!ok) return false;
    bytes.append(5, '\0');
    if (bytes.size() > kMaxDecodedSize) {
        AddError(diag, file, 0, "the index decodes to " + std::to_string(bytes.size()) + " bytes; at most 65535 fit");
        return false;
    }
    index->assign(bytes.begin(), bytes.end());
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    text->clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool ReadLibrarySources(const std::string& dir, int lessonCount, LibrarySources* lib, PackDiagnostics* diag) {
    std::string lessonDir = dir + "/lessons";
    lib->lessonCount = lessonCount;
    lib->lessons.assign(lessonCount + 1, {});
    std::vector<std::string> fileOf(lessonCount + 1);
    bool ok = true;
    DIR* d = opendir(lessonDir.c_str());
    if (!d) {
        AddError(diag, lessonDir, 0, "cannot open the lessons folder");
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.empty() || name[0] == '.') continue;
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) continue;
        names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string path = lessonDir + "/" + name;
        bool digits = name.size() >= 7 && std::all_of(name.begin(), name.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || (name[3] != '-' && name[3] != '.')) {
            AddError(diag, path, 0, "not a lesson file name (NNN-slug.txt)");
            ok = false;
            continue;
        }
        int n = std::atoi(name.substr(0, 3).c_str());
        if (n < 1 || n > lessonCount) {
            AddError(diag, path, 0, "lesson number " + std::to_string(n) + " is not 1 to " + std::to_string(lessonCount));
            ok = false;
            continue;
        }
        if (!fileOf[n].empty()) {
            AddError(diag, path, 0, "a second file for lesson " + std::to_string(n) + " (also " + fileOf[n] + ")");
            ok = false;
            continue;
        }
        fileOf[n] = path;
        std::string text;
        if (!ReadWholeFile(path, &text)) {
            AddError(diag, path, 0, "cannot be read");
            ok = false;
            continue;
        }
        if (!ParseLessonSource(text, path, &lib->lessons[n], diag)) ok = false;
    }
    std::vector<bool> exists(lessonCount + 1, false);
    for (int n = 1; n <= lessonCount; ++n) {
        exists[n] = !fileOf[n].empty();
        if (!exists[n]) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%03d", n);
            AddError(diag, lessonDir, 0, "lesson " + std::to_string(n) + " is missing (no " + buf + "-*.txt)");
            ok = false;
        }
    }
    std::string indexPath = dir + "/index.txt";
    std::string text;
    if (!ReadWholeFile(indexPath, &text)) {
        AddError(diag, indexPath, 0, "cannot be read");
        return false;
    }
    if (!ParseIndexSource(text, indexPath, exists, &lib->index, diag)) ok = false;
    return ok;
}
