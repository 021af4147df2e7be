// Decoding the packed library against memcpy of the same bytes (the limit) and a
// plain byte-at-a-time decoder (the baseline); the optimal compressor's size against
// a greedy encoder; and the time to compress the library.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "content/content_resource.h"
#include "platform/heap.h"
#include "tools/library_source.h"
#include "tools/pack_file.h"
#include "tools/palmdoc_compress.h"

namespace {

struct Resource {
    std::vector<uint8_t> block;    // the compressed bytes
    std::vector<uint8_t> decoded;  // what they decode to
};

std::vector<Resource> g_library;
size_t g_decodedTotal = 0;
std::string g_source;

// English-like stand-in text, lesson-shaped, when no packed library is at hand.
std::vector<std::vector<uint8_t>> StandInLessons() {
    static const char* const kWords[] = {
        "the", "of", "and", "to", "in", "is", "a", "that", "it", "as", "was", "for", "on", "are", "with", "by",
        "be", "this", "which", "from", "at", "or", "an", "have", "its", "has", "element", "metal", "atom",
        "electrons", "nucleus", "protons", "neutrons", "gas", "liquid", "solid", "temperature", "pressure",
        "compound", "reaction", "oxygen", "hydrogen", "carbon", "nitrogen", "water", "acid", "salt", "crystal",
        "lattice", "bond", "energy", "charge", "mass", "isotope", "radioactive", "decay", "found", "used",
        "discovered", "named", "chemist", "century", "industry", "alloy", "ore", "mineral", "melting", "boiling",
        "point", "density", "group", "period", "table", "heavier", "lighter", "common", "rare", "earth", "crust",
        "ocean", "air", "stars", "universe", "forms", "produced", "reacts", "slowly", "quickly", "strong", "weak",
        "soft", "hard", "shiny", "silvery", "colourless", "because", "when", "however", "although", "between",
        "through", "during", "without", "about", "against", "among", "most", "many", "some", "other", "such",
        "only", "also", "than", "then", "into", "over", "after", "before", "under", "these", "those", "their",
        "there", "where", "while", "would", "could", "should", "makes", "gives", "takes", "shows", "lamps",
        "batteries", "fertiliser", "glass", "steel", "copper", "silver", "gold", "iron", "zinc", "lead", "tin",
        "sodium", "potassium", "calcium", "magnesium", "aluminium", "silicon", "phosphorus", "sulfur", "chlorine"};
    std::mt19937 rng(2024);
    auto word = [&]() { return std::string(kWords[rng() % (sizeof kWords / sizeof kWords[0])]); };
    std::vector<std::vector<uint8_t>> lessons;
    for (int n = 0; n < 131; ++n) {
        std::string lesson;
        auto record = [&](uint8_t style, uint8_t param, const std::string& text) {
            lesson.push_back((char)style);
            lesson.push_back((char)param);
            lesson += text;
            lesson.push_back(0);
        };
        auto sentence = [&]() {
            std::string s = word();
            s[0] = (char)std::toupper(s[0]);
            for (int i = 0, k = 6 + rng() % 14; i < k; ++i) s += (rng() % 9 ? " " : ", ") + word();
            return s + (rng() % 5 ? ". " : "; ");
        };
        record(0xCC, 0, word() + " " + word());
        record(0xC1, 0, sentence());
        record(0xC7, 0xC5, "");
        for (int section = 0, ns = 3 + rng() % 6; section < ns; ++section) {
            record(0xCC, 0, word() + " and " + word());
            for (int p = 0, np = 3 + rng() % 7; p < np; ++p) {
                std::string para;
                for (int s = 0, k = 2 + rng() % 6; s < k; ++s) para += sentence();
                para.pop_back();
                record(0x81, 0, para);
            }
            for (int b = 0, nb = rng() % 4; b < nb; ++b) record(0x01, 0x40, "\x95 " + sentence());
        }
        lesson.append(3, '\0');
        lessons.emplace_back(lesson.begin(), lesson.end());
    }
    return lessons;
}

void LoadLibrary() {
    // VELMORA_LIBRARY_PACK names a pack to use; "standin" forces the stand-in text.
    const char* env = std::getenv("VELMORA_LIBRARY_PACK");
    bool standIn = env && std::strcmp(env, "standin") == 0;
    std::vector<std::string> candidates = {env ? env : "", std::string(VELMORA_BINARY_DIR) + "/library.pack",
                                           std::string(VELMORA_SOURCE_DIR) + "/build/library.pack"};
    for (const std::string& path : candidates) {
        std::string text;
        std::vector<PackEntry> entries;
        if (standIn || path.empty() || !ReadWholeFile(path, &text)) continue;
        if (!ParsePackImage(std::vector<uint8_t>(text.begin(), text.end()), &entries)) continue;
        for (const PackEntry& e : entries) {
            Resource r;
            std::string why;
            if (e.bytes.size() < kContentHeaderSize || !DecodeContentContainer(e.bytes.data(), e.bytes.size(), &r.decoded, &why))
                continue;
            unsigned P = (unsigned)e.bytes[6] << 8 | e.bytes[7];
            r.block.assign(e.bytes.begin() + kContentHeaderSize, e.bytes.begin() + kContentHeaderSize + P);
            g_library.push_back(std::move(r));
        }
        g_source = path;
        break;
    }
    if (g_library.empty()) {
        for (auto& lesson : StandInLessons()) {
            Resource r;
            r.block = PalmDocCompress(lesson.data(), lesson.size());
            r.decoded = std::move(lesson);
            g_library.push_back(std::move(r));
        }
        g_source = "stand-in text (no library.pack found)";
    }
    for (const Resource& r : g_library) g_decodedTotal += r.decoded.size();
}

// A PalmDoc decoder the way it is commonly written: one byte at a time, every byte
// bounds-checked. It makes the same checks as UnCompress.
size_t PlainDecode(const uint8_t* in, size_t P, uint8_t* out, size_t U) {
    size_t i = 0, o = 0;
    while (i < P && o < U) {
        unsigned c = in[i++];
        if (c >= 1 && c <= 8) {
            while (c-- > 0 && o < U) {
                if (i >= P) return 0;
                out[o++] = in[i++];
            }
        } else if (c < 0x80) {
            out[o++] = (uint8_t)c;
        } else if (c >= 0xC0) {
            out[o++] = ' ';
            if (o < U) out[o++] = (uint8_t)(c ^ 0x80);
        } else {
            if (i >= P) return 0;
            c = c << 8 | in[i++];
            size_t distance = (c >> 3) & 0x7FF, length = (c & 7) + 3;
            if (distance == 0 || distance > o) return 0;
            while (length-- > 0 && o < U) {
                out[o] = out[o - distance];
                ++o;
            }
        }
    }
    return o;
}

// A greedy PalmDoc encoder: the longest match of 3-10 bytes, else a space pair, else
// a literal, else a raw run of the bytes that need one.
std::vector<uint8_t> GreedyCompress(const std::vector<uint8_t>& data) {
    std::vector<PalmDocMatch> match = PalmDocLongestMatches(data.data(), data.size());
    std::vector<uint8_t> out;
    auto literal = [](uint8_t b) { return b == 0 || (b >= 0x09 && b <= 0x7F); };
    for (size_t i = 0; i < data.size();) {
        if (match[i].length >= 3) {
            unsigned w = 0x8000u | (unsigned)match[i].distance << 3 | (unsigned)(match[i].length - 3);
            out.push_back((uint8_t)(w >> 8));
            out.push_back((uint8_t)w);
            i += match[i].length;
        } else if (data[i] == ' ' && i + 1 < data.size() && data[i + 1] >= 0x40 && data[i + 1] <= 0x7F) {
            out.push_back(data[i + 1] ^ 0x80);
            i += 2;
        } else if (literal(data[i])) {
            out.push_back(data[i++]);
        } else {
            size_t k = 0;
            while (k < 8 && i + k < data.size() && !literal(data[i + k])) ++k;
            out.push_back((uint8_t)k);
            out.insert(out.end(), data.begin() + i, data.begin() + i + k);
            i += k;
        }
    }
    return out;
}

void BM_UnCompress(benchmark::State& state) {
    for (auto _ : state) {
        for (const Resource& r : g_library) {
            BYTE* out = UnCompress(r.block.data(), (UINT)r.block.size(), (UINT)r.decoded.size(), nullptr);
            benchmark::DoNotOptimize(out);
            LocalFree(out);
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * g_decodedTotal));
}

void BM_PlainDecoder(benchmark::State& state) {
    for (auto _ : state) {
        for (const Resource& r : g_library) {
            BYTE* out = (BYTE*)LocalAlloc(LMEM_FIXED, r.decoded.size() + 2);
            size_t n = PlainDecode(r.block.data(), r.block.size(), out, r.decoded.size());
            out[n] = 0;
            benchmark::DoNotOptimize(out);
            LocalFree(out);
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * g_decodedTotal));
}

void BM_Memcpy(benchmark::State& state) {
    for (auto _ : state) {
        for (const Resource& r : g_library) {
            BYTE* out = (BYTE*)LocalAlloc(LMEM_FIXED, r.decoded.size() + 2);
            std::memcpy(out, r.decoded.data(), r.decoded.size());
            out[r.decoded.size()] = 0;
            benchmark::DoNotOptimize(out);
            LocalFree(out);
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * g_decodedTotal));
}

void BM_CompressLibrary(benchmark::State& state) {
    for (auto _ : state) {
        for (const Resource& r : g_library) {
            auto block = PalmDocCompress(r.decoded.data(), r.decoded.size());
            benchmark::DoNotOptimize(block.data());
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * g_decodedTotal));
}

BENCHMARK(BM_UnCompress)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_PlainDecoder)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_CompressLibrary)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps each benchmark's time per iteration for the summary.
struct SummaryReporter : benchmark::ConsoleReporter {
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred) seconds[r.benchmark_name()] = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
};

bool CheckDecoders() {
    for (const Resource& r : g_library) {
        BYTE* a = UnCompress(r.block.data(), (UINT)r.block.size(), (UINT)r.decoded.size(), nullptr);
        std::vector<uint8_t> b(r.decoded.size() + 2);
        size_t n = PlainDecode(r.block.data(), r.block.size(), b.data(), r.decoded.size());
        bool same = a && n == r.decoded.size() && std::memcmp(a, r.decoded.data(), n) == 0 &&
                    std::memcmp(b.data(), r.decoded.data(), n) == 0;
        LocalFree(a);
        if (!same) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    LoadLibrary();
    std::printf("library: %s, %zu resources, %zu bytes decoded\n", g_source.c_str(), g_library.size(), g_decodedTotal);
    if (!CheckDecoders()) {
        std::printf("FAILED: the decoders do not agree with the decoded library\n");
        return 1;
    }
    size_t optimal = 0, greedy = 0;
    for (const Resource& r : g_library) {
        optimal += PalmDocCompress(r.decoded.data(), r.decoded.size()).size();
        greedy += GreedyCompress(r.decoded).size();
    }
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    double un = reporter.seconds["BM_UnCompress/min_time:1.000"];
    double plain = reporter.seconds["BM_PlainDecoder/min_time:1.000"];
    double copy = reporter.seconds["BM_Memcpy/min_time:1.000"];
    double pack = reporter.seconds["BM_CompressLibrary/min_time:1.000"];
    std::printf("\nsummary\n");
    if (un > 0 && plain > 0)
        std::printf("decode: UnCompress / plain decoder throughput = %.2fx (goal >= 2x); UnCompress %.0f MB/s\n",
                    plain / un, g_decodedTotal / un / 1e6);
    if (un > 0 && copy > 0) std::printf("decode: memcpy / UnCompress throughput = %.2fx (the limit)\n", un / copy);
    std::printf("size: optimal %zu / greedy %zu bytes = %.4f (goal <= 0.975)\n", optimal, greedy,
                greedy ? (double)optimal / greedy : 0.0);
    if (pack > 0) std::printf("pack: compressing the library takes %.0f ms\n", pack * 1e3);
    return 0;
}
