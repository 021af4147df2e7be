// The whole reader, started headless on its first lesson, painting it and closing the
// orderly way, timed side by side with a baseline process that only brings up the
// fonts and draws one line. Prints the ratio of median wall times and the reader's
// peak resident memory.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double seconds;
    long maxRssKb;
};

bool Spawn(const std::vector<std::string>& args, Run* run) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    struct rusage usage = {};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    run->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run->maxRssKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::string build = argc > 1 ? argv[1] : VELMORA_BINARY_DIR;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    std::string reader = build + "/velmora";
    std::string baseline = build + "/bench/app/baseline_text";

    // A private settings and runtime folder, so no other reader is found and the
    // user's settings stay untouched. One warm-up run writes the settings; every timed
    // run then starts as a reader does on most days: on the lesson it left.
    std::string folder = std::filesystem::temp_directory_path() / ("velmora-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder + "/config");
    std::filesystem::create_directories(folder + "/run");
    std::filesystem::permissions(folder + "/run", std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder + "/run").c_str(), 1);
    std::string script = folder + "/empty.script";
    std::FILE* f = std::fopen(script.c_str(), "w");
    if (!f) return 1;
    std::fputs("# start, paint, close\n", f);
    std::fclose(f);

    std::vector<double> readerTimes, baselineTimes;
    long peakKb = 0;
    Run warm;
    if (!Spawn({reader, "--headless", "--script", script}, &warm)) {
        std::fprintf(stderr, "bench_startup: the reader did not run\n");
        std::filesystem::remove_all(folder);
        return 1;
    }
    for (int i = 0; i < rounds; ++i) {
        Run r, b;
        if (!Spawn({reader, "--headless", "--script", script}, &r) || !Spawn({baseline}, &b)) {
            std::fprintf(stderr, "bench_startup: a run failed\n");
            std::filesystem::remove_all(folder);
            return 1;
        }
        readerTimes.push_back(r.seconds);
        baselineTimes.push_back(b.seconds);
        peakKb = std::max(peakKb, r.maxRssKb);
    }
    std::filesystem::remove_all(folder);

    double reader50 = Median(readerTimes), baseline50 = Median(baselineTimes);
    std::printf("start-up: reader %.1f ms, baseline %.1f ms (medians of %d side-by-side runs)\n", reader50 * 1e3,
                baseline50 * 1e3, rounds);
    std::printf("start-up ratio reader/baseline: %.2f (goal: at most 2)\n", reader50 / baseline50);
    std::printf("peak resident memory of the reader: %.1f MB (goal: at most 15)\n", peakKb / 1024.0);
    return 0;
}
