// The desktop-window backend on a real X server (Xvfb): it starts, takes SIGTERM like
// a closed window, and saves.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "e2e_fixture.h"

namespace {

bool OnPath(const std::string& program) {
    for (const char* dir : {"/usr/bin", "/bin", "/usr/local/bin"})
        if (access((std::string(dir) + "/" + program).c_str(), X_OK) == 0) return true;
    return false;
}

// The velmora process that xvfb-run started: the one in the group `group` whose
// command is our executable.
pid_t FindReader(pid_t group) {
    std::error_code ec;
    std::string exe = std::filesystem::canonical(VelmoraPath()).string();
    for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
        std::string name = e.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t pid = (pid_t)std::stol(name);
        if (getpgid(pid) != group) continue;
        std::error_code linkError;
        if (std::filesystem::read_symlink(e.path() / "exe", linkError).string() == exe) return pid;
    }
    return -1;
}

TEST(DesktopWindowE2E, UnderXvfbItRunsAndSavesOnSigterm) {
    if (!OnPath("xvfb-run")) GTEST_SKIP() << "xvfb-run is not installed (package xvfb; scripts/install-deps adds it)";
    Home home = MakeHome("xvfb");
    std::vector<std::string> env = home.env;
    // The graphics drivers keep allocations to the end, which the leak checker would report.
    for (auto& e : env)
        if (e.rfind("ASAN_OPTIONS=", 0) == 0) e += ":detect_leaks=0";
    bool hasAsanOptions = false;
    for (auto& e : env) hasAsanOptions |= e.rfind("ASAN_OPTIONS=", 0) == 0;
    if (!hasAsanOptions) env.push_back("ASAN_OPTIONS=detect_leaks=0");

    // A group of its own, so xvfb-run, Xvfb and the reader can all be found and ended.
    Child run;
    ASSERT_TRUE(Start(&run, {"-a", VelmoraPath()}, env, home.Path("err.txt"), "xvfb-run", true));
    struct EndGroup {
        pid_t group;
        ~EndGroup() {
            if (group > 0) kill(-group, SIGKILL);
        }
    } endGroup{run.pid};

    // Started: it found its display and wrote its path at start.
    pid_t reader = -1;
    for (int64_t end = NowMs() + 15000; NowMs() < end && run.Running(); usleep(20000)) {
        if (reader < 0) reader = FindReader(run.pid);
        if (reader > 0 && Settings(home).count("program path")) break;
    }
    if (!run.Running() && ReadFile(home.Path("err.txt")).find("built without a display backend") != std::string::npos)
        GTEST_SKIP() << "velmora was built without SDL2";
    ASSERT_GT(reader, 0) << ReadFile(home.Path("err.txt"));
    ASSERT_TRUE(Settings(home).count("program path")) << ReadFile(home.Path("err.txt"));
    // Let it settle into its loop, presenting frames.
    usleep(1500 * 1000);
    ASSERT_TRUE(run.Running()) << ReadFile(home.Path("err.txt"));
    kill(reader, SIGTERM);
    RunResult result = run.Wait(15000);  // xvfb-run ends with the reader's exit status
    EXPECT_EQ(result.status, 0) << result.err;
    auto values = Settings(home);
    EXPECT_EQ(values["lesson"].dword, 1u) << ReadFile(home.Registry());
    EXPECT_EQ(values["flags"].dword, 0xD1140040u);
}

}  // namespace
