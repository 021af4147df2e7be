#include "tools/pack_commands.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "tools/library_dump.h"
#include "tools/library_source.h"
#include "tools/pack_file.h"

namespace {

const char kUsage[] =
    "usage: velmora-pack [--lessons N] SRC_DIR OUT.pack   pack the library sources\n"
    "       velmora-pack --dump OUT.pack DIR             write the sources back\n"
    "       velmora-pack --stats OUT.pack                sizes and the index's shape\n";

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

void Report(const PackDiagnostics& diag, std::string* err) {
    for (const std::string& e : diag.errors) *err += "velmora-pack: " + e + "\n";
}

int Pack(const std::string& src, const std::string& outPath, int lessonCount, std::string* out, std::string* err) {
    LibrarySources lib;
    PackDiagnostics diag;
    std::vector<uint8_t> image;
    if (!ReadLibrarySources(src, lessonCount, &lib, &diag) || !BuildPackImage(lib, &image, &diag)) {
        Report(diag, err);
        *err += Format("velmora-pack: %zu error(s); %s not written\n", diag.errors.size(), outPath.c_str());
        return kPackExitSourceError;
    }
    std::string why;
    if (!WriteFileAtomically(outPath, image, &why)) {
        *err += "velmora-pack: " + why + "\n";
        return kPackExitSourceError;
    }
    *out += Format("velmora-pack: %d lessons and the index, %zu bytes, to %s\n", lessonCount, image.size(),
                   outPath.c_str());
    return kPackExitOk;
}

// The decoded lessons (by number) and index of a pack file.
struct DecodedPack {
    std::map<int, std::vector<uint8_t>> lessons;
    std::vector<uint8_t> index;
    bool hasIndex = false;
    std::vector<PackEntry> entries;
};

bool ReadPack(const std::string& path, DecodedPack* pack, std::string* err) {
    std::string text;
    if (!ReadWholeFile(path, &text)) {
        *err += "velmora-pack: " + path + ": cannot be read\n";
        return false;
    }
    std::vector<uint8_t> image(text.begin(), text.end());
    if (!ParsePackImage(image, &pack->entries)) {
        *err += "velmora-pack: " + path + ": not a pack file (an entry runs past its end)\n";
        return false;
    }
    for (const PackEntry& e : pack->entries) {
        std::string why;
        std::vector<uint8_t> decoded;
        bool lesson = e.id > kLessonResourceBase && e.id <= kLessonResourceBase + kLessonCount;
        if (e.type != kPackTypeRawData || (!lesson && e.id != kIndexResourceId)) {
            *err += Format("velmora-pack: %s: resource type %u id %u is not a lesson or the index\n", path.c_str(),
                           e.type, e.id);
            return false;
        }
        if (!DecodeContentContainer(e.bytes.data(), e.bytes.size(), &decoded, &why)) {
            *err += Format("velmora-pack: %s: resource %u: %s\n", path.c_str(), e.id, why.c_str());
            return false;
        }
        if (lesson) {
            pack->lessons[e.id - kLessonResourceBase] = decoded;
        } else {
            pack->index = decoded;
            pack->hasIndex = true;
        }
    }
    if (!pack->hasIndex) {
        *err += "velmora-pack: " + path + ": the pack has no index\n";
        return false;
    }
    return true;
}

int Dump(const std::string& packPath, const std::string& dir, std::string* out, std::string* err) {
    DecodedPack pack;
    if (!ReadPack(packPath, &pack, err)) return kPackExitSourceError;
    std::vector<bool> exists(kLessonCount + 1, false);
    for (const auto& [n, bytes] : pack.lessons) exists[n] = true;
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& [n, bytes] : pack.lessons) {
        std::string text, why;
        if (!DumpLessonSource(bytes, &text, &why)) {
            *err += Format("velmora-pack: %s: lesson %d: %s\n", packPath.c_str(), n, why.c_str());
            return kPackExitSourceError;
        }
        files[Format("lessons/%03d-%s.txt", n, LessonSlug(bytes).c_str())].assign(text.begin(), text.end());
    }
    std::string text, why;
    if (!DumpIndexSource(pack.index, exists, &text, &why)) {
        *err += Format("velmora-pack: %s: index: %s\n", packPath.c_str(), why.c_str());
        return kPackExitSourceError;
    }
    files["index.txt"].assign(text.begin(), text.end());
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/lessons").c_str(), 0755);
    for (const auto& [name, bytes] : files) {
        if (!WriteFileAtomically(dir + "/" + name, bytes, &why)) {
            *err += "velmora-pack: " + why + "\n";
            return kPackExitSourceError;
        }
    }
    *out += Format("velmora-pack: %zu lessons and the index written to %s\n", pack.lessons.size(), dir.c_str());
    int count = pack.lessons.empty() ? 0 : pack.lessons.rbegin()->first;
    if (count != kLessonCount) *out += Format("velmora-pack: pack them again with --lessons %d\n", count);
    return kPackExitOk;
}

int Stats(const std::string& packPath, std::string* out, std::string* err) {
    DecodedPack pack;
    if (!ReadPack(packPath, &pack, err)) return kPackExitSourceError;
    size_t totalU = 0, totalP = 0;
    for (const PackEntry& e : pack.entries) {
        unsigned P = (unsigned)e.bytes[6] << 8 | e.bytes[7];
        unsigned U = (unsigned)e.bytes[8] << 8 | e.bytes[9];
        totalU += U;
        totalP += P;
        *out += Format("resource %5u  decoded %6u  compressed %6u  %5.1f%%\n", e.id, U, P, 100.0 * P / U);
    }
    *out += Format("total %zu resources  decoded %zu  compressed %zu  %.1f%%\n", pack.entries.size(), totalU, totalP,
                   totalU ? 100.0 * totalP / totalU : 0.0);

    const std::vector<uint8_t>& ix = pack.index;
    size_t records = 0, sections = 0, lessons = 0;
    std::map<int, int> levels, listed;
    std::vector<std::string> top;
    for (size_t at = 0; at + 5 <= ix.size() && ix[at + 2] != 0;) {
        unsigned key = ix[at] | ix[at + 1] << 8;
        int level = ix[at + 3];
        size_t length = strnlen((const char*)ix.data() + at + 4, ix.size() - at - 4);
        if (at + 4 + length >= ix.size()) break;
        std::string title((const char*)ix.data() + at + 4, length);
        ++records;
        ++levels[level];
        if (key & 0x8000) ++sections;
        if (key & 0x4000) {
            ++lessons;
            ++listed[key & 0x3FFF];
        }
        if (level == 1)
            top.push_back(Format("  %s %u %s", key & 0x8000 ? "section" : "lesson", key & 0x3FFF, title.c_str()));
        at += title.size() + 5;
    }
    *out += Format("index: %zu records, %zu sections, %zu lessons (%zu distinct)\n", records, sections, lessons,
                   listed.size());
    std::string lv = "index levels:";
    for (const auto& [level, count] : levels) lv += Format(" %d: %d", level, count);
    *out += lv + "\n";
    std::string twice;
    int twiceCount = 0;
    for (const auto& [n, count] : listed)
        if (count > 1) {
            twice += Format(" %d (%d times)", n, count);
            ++twiceCount;
        }
    *out += Format("index lessons listed more than once: %d%s%s\n", twiceCount, twiceCount ? " -" : "", twice.c_str());
    std::string unlisted;
    for (const auto& [n, bytes] : pack.lessons)
        if (!listed.count(n)) unlisted += Format(" %d", n);
    if (!unlisted.empty()) *out += "index misses lessons:" + unlisted + "\n";
    *out += Format("index level-1 records: %zu\n", top.size());
    for (const std::string& t : top) *out += t + "\n";
    return kPackExitOk;
}

}  // namespace

int RunVelmoraPack(const std::vector<std::string>& args, std::string* out, std::string* err) {
    if (args.size() == 3 && args[0] == "--dump") return Dump(args[1], args[2], out, err);
    if (args.size() == 2 && args[0] == "--stats") return Stats(args[1], out, err);
    if (args.size() == 2 && args[0][0] != '-') return Pack(args[0], args[1], kLessonCount, out, err);
    if (args.size() == 4 && args[0] == "--lessons") {
        char* end;
        long n = std::strtol(args[1].c_str(), &end, 10);
        if (*end == 0 && n >= 1 && n <= kLessonCount && args[2][0] != '-')
            return Pack(args[2], args[3], (int)n, out, err);
    }
    *err += kUsage;
    return kPackExitUsage;
}
