// Layout and paint of the longest lesson at 480 pixels in the default font, each set
// against a limit measured in the same run:
//   layout  vs  summing the advance of every character of the lesson (one extent query
//               per record over text widened beforehand, fonts selected as needed);
//   paint   vs  filling the view and drawing each visible line's characters once.
// The lesson comes from library.pack in the build folder (or $VELMORA_LIBRARY_PACK);
// without one, a long generated lesson of prose with labels and rules stands in.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "content/content_resource.h"
#include "platform/gdi.h"
#include "platform/heap.h"
#include "platform/resource.h"
#include "view/text_paint.h"
#include "view/text_primitives.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;

struct Bench {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    TextView* view = nullptr;
    BYTE* text = nullptr;
    std::string source;
    int lessonBytes = 0;
    std::vector<unsigned char> pack;
    ResourceEntry table[512];
};
Bench g_bench;

size_t LessonSize(const BYTE* text) {
    const BYTE* p = text;
    while (*p) p += 2 + std::strlen((const char*)p + 2) + 1;
    return (size_t)(p - text) + 1;
}

BYTE* LongestPackedLesson(std::string* source) {
    const char* path = std::getenv("VELMORA_LIBRARY_PACK");
    std::string file = path ? path : VELMORA_BINARY_DIR "/library.pack";
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return nullptr;
    unsigned char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
        g_bench.pack.insert(g_bench.pack.end(), chunk, chunk + n);
    std::fclose(f);
    int entries = ResourceParsePack(g_bench.pack.data(), g_bench.pack.size(), g_bench.table, 512);
    if (entries <= 0) return nullptr;
    ResourceInstallTable(g_bench.table, (size_t)entries);
    BYTE* best = nullptr;
    size_t bestSize = 0;
    int bestLesson = 0;
    for (int n = 1; n <= 131; ++n) {
        BYTE* t = LoadContentResource(n, nullptr);
        if (!t) continue;
        size_t size = LessonSize(t);
        if (size > bestSize) {
            LocalFree(best);
            best = t;
            bestSize = size;
            bestLesson = n;
        } else {
            LocalFree(t);
        }
    }
    *source = file + ", lesson " + std::to_string(bestLesson);
    return best;
}

BYTE* GeneratedLesson() {
    static const char* const kWords[] = {"the", "element", "reacts", "slowly", "with", "water", "and", "forms",
                                         "a", "thin", "layer", "of", "oxide", "that", "protects", "metal",
                                         "beneath", "from", "further", "attack", "well-known", "compounds"};
    std::vector<BYTE> bytes;
    auto record = [&](int style, int param, const std::string& text) {
        bytes.push_back((BYTE)style);
        bytes.push_back((BYTE)param);
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    };
    record(0xCC, 0, "A Long Lesson");
    record(0xC1, 0, "Generated prose for timing");
    unsigned seed = 1;
    for (int p = 0; p < 60; ++p) {
        if (p % 10 == 0) record(0xC7, 0xC5, "");
        if (p % 10 == 5) record(0xCC, 0, "A section heading");
        std::string text = p % 4 == 3 ? "\x95 " : "";
        for (int w = 0; w < 80; ++w) {
            seed = seed * 1103515245 + 12345;
            text += kWords[(seed >> 16) % (sizeof kWords / sizeof kWords[0])];
            text += w % 12 == 11 ? ". " : " ";
        }
        text.pop_back();
        record(p % 4 == 3 ? 0x81 : 0x81, p % 4 == 3 ? 0x40 : 0, text);
    }
    bytes.insert(bytes.end(), {0, 0, 0});
    BYTE* out = (BYTE*)LocalAlloc(LMEM_FIXED, bytes.size());
    std::memcpy(out, bytes.data(), bytes.size());
    return out;
}

bool Setup() {
    g_bench.dc = CreateCompatibleDC(nullptr);
    g_bench.bitmap = CreateCompatibleBitmap(g_bench.dc, kWidth, kHeight);
    if (!g_bench.dc || !g_bench.bitmap) return false;
    SelectObject(g_bench.dc, g_bench.bitmap);
    FontSpec font;
    std::memset(&font, 0, sizeof font);  // the default face and size
    RECT rect = {0, 0, kWidth, kHeight};
    g_bench.view = CreateTextView(g_bench.dc, &rect, &font, 100);
    g_bench.text = LongestPackedLesson(&g_bench.source);
    if (!g_bench.text) {
        g_bench.text = GeneratedLesson();
        g_bench.source = "generated lesson";
    }
    g_bench.lessonBytes = (int)LessonSize(g_bench.text);
    return g_bench.view && LayoutText(g_bench.view, g_bench.text, 1) == kViewOk;
}

void BM_Layout(benchmark::State& state) {
    TextView* v = g_bench.view;
    for (auto _ : state) benchmark::DoNotOptimize(LayoutText(v, v->text, 0));
    state.counters["lines"] = v->lineCount;
}

// The limit of layout: every character's advance summed once, one query per record.
void BM_SumOfAdvances(benchmark::State& state) {
    TextView* v = g_bench.view;
    struct Run {
        int style;
        std::u16string text;
    };
    std::vector<Run> runs;
    for (const BYTE* p = v->text; *p; p += 2 + std::strlen((const char*)p + 2) + 1)
        if ((p[0] & 7) != 7) runs.push_back({p[0], std::u16string(p + 2, p + 2 + std::strlen((const char*)p + 2))});
    HFONT kept = SelectStyleFont(v, 1);
    long total = 0;
    for (auto _ : state) {
        int current = -1;
        for (const Run& r : runs) {
            if ((r.style & 0x1F) != current) {
                SelectStyleFont(v, r.style);
                current = r.style & 0x1F;
            }
            SIZE size;
            GetTextExtentPoint32W(g_bench.dc, r.text.c_str(), (int)r.text.size(), &size);
            total += size.cx;
        }
    }
    SelectObject(g_bench.dc, kept);
    benchmark::DoNotOptimize(total);
}

void BM_Paint(benchmark::State& state) {
    TextView* v = g_bench.view;
    v->topLine = 0;
    for (auto _ : state) benchmark::DoNotOptimize(PaintTextView(v, 1));
    state.counters["rows"] = v->linesShown;
}

// The limit of paint: fill the view, then each visible line's characters drawn once.
void BM_FillAndDraw(benchmark::State& state) {
    TextView* v = g_bench.view;
    struct Run {
        int style;
        RECT rect;
        std::u16string text;
    };
    std::vector<Run> runs;
    int y = v->y;
    for (const LineRecord* line = v->lines; line->style && y + line->height <= v->y + v->height; ++line) {
        if ((line->style & 7) != 7) {
            const BYTE* t = v->text + line->offset;
            int n = line->count + (line->hang ? LabelSpan(t) : 0);
            runs.push_back({line->style, {line->x - line->hang, y, line->x + line->width, y + line->height},
                            std::u16string(t, t + n)});
        }
        y += (line->style & 0x80) ? 2 * line->height : line->height;
    }
    RECT all = {v->x, v->y, v->x + v->width, v->y + v->height};
    HFONT kept = SelectStyleFont(v, 1);
    for (auto _ : state) {
        FillRect(g_bench.dc, &all, GetStockObject(WHITE_BRUSH));
        int current = -1;
        for (Run& r : runs) {
            if ((r.style & 0x1F) != current) {
                SelectStyleFont(v, r.style | kSelectWithColour);
                current = r.style & 0x1F;
            }
            DrawTextW(g_bench.dc, r.text.c_str(), (int)r.text.size(), &r.rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    SelectObject(g_bench.dc, kept);
}

// Keeps each benchmark's time per iteration, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                seconds[r.benchmark_name()] = r.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!Setup()) {
        std::fprintf(stderr, "bench_view: cannot set the view up\n");
        return 1;
    }
    std::printf("bench_view: %s, %d bytes, %d lines, %d display rows at %d px\n", g_bench.source.c_str(),
                g_bench.lessonBytes, g_bench.view->lineCount, g_bench.view->displayLines, kWidth);
    benchmark::RegisterBenchmark("layout", BM_Layout)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("layout_limit_sum_of_advances", BM_SumOfAdvances)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("paint", BM_Paint)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("paint_limit_fill_and_draw", BM_FillAndDraw)->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* a, const char* b) {
        auto x = reporter.seconds.find(a), y = reporter.seconds.find(b);
        return x != reporter.seconds.end() && y != reporter.seconds.end() && y->second > 0 ? x->second / y->second
                                                                                          : -1.0;
    };
    double layout = ratio("layout", "layout_limit_sum_of_advances");
    double paint = ratio("paint", "paint_limit_fill_and_draw");
    std::printf("\nlayout / sum of advances     = %.2f  (goal: within 3)\n", layout);
    std::printf("paint  / fill and draw once  = %.2f  (goal: within 2)\n", paint);
    DestroyTextView(g_bench.view, 1);
    benchmark::Shutdown();
    return 0;
}
