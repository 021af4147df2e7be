// Runs the real velmora executable with scripts and looks at what it leaves behind.
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct RunResult {
    int status = -1;  // exit code, or 128 + signal
    std::string err;
};

std::string TempDir() {
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/velmora-e2e-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    return dir;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = TempDir() + "/" + name;
    std::ofstream(path) << text;
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Starts velmora with the arguments; `env` replaces the environment when not empty;
// `signalAfterMs` > 0 sends SIGTERM after that long.
RunResult Velmora(std::vector<std::string> args, std::vector<std::string> env = {}, int signalAfterMs = 0) {
    std::string exe = std::string(VELMORA_BINARY_DIR) + "/velmora";
    std::string errPath = TempDir() + "/stderr.txt";
    args.insert(args.begin(), exe);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    RunResult run;
    if (posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), env.empty() ? environ : envp.data()) != 0) {
        posix_spawn_file_actions_destroy(&fa);
        return run;
    }
    posix_spawn_file_actions_destroy(&fa);
    if (signalAfterMs > 0) {
        usleep(signalAfterMs * 1000);
        kill(pid, SIGTERM);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.err = ReadFile(errPath);
    return run;
}

TEST(VelmoraRun, ScriptWritesAScreenshotAndADump) {
    std::string png = TempDir() + "/shot.png", dump = TempDir() + "/tree.txt";
    std::string script = WriteFile("shot.txt", "# first screen\nscreenshot " + png + "\ndump " + dump + "\n");
    RunResult run = Velmora({"--headless", "--script", script, "/today"});
    ASSERT_EQ(run.status, 0) << run.err;

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, png.c_str())) << image.message;
    EXPECT_EQ(image.width, 480u);
    EXPECT_EQ(image.height, 640u);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    // The main window's white client area below the task bar's band.
    size_t at = (300 * 480 + 200) * 3;
    EXPECT_EQ(pixels[at], 255);
    EXPECT_EQ(pixels[at + 1], 255);

    std::string tree = ReadFile(dump);
    EXPECT_NE(tree.find("Almarest-Velmora \"Velmora\" 0,26,480,614 focus\n"), std::string::npos) << tree;
}

TEST(VelmoraRun, ScreenOptionAndResizeChangeTheScreenshot) {
    std::string a = TempDir() + "/a.png", b = TempDir() + "/b.png";
    std::string script = WriteFile("resize.txt", "screenshot " + a + "\nresize 300 200\nscreenshot " + b + "\n");
    RunResult run = Velmora({"--script", script, "--screen=320x240"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (auto [path, w, h] : {std::tuple{a, 320u, 240u}, std::tuple{b, 300u, 200u}}) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
        EXPECT_EQ(image.width, w);
        EXPECT_EQ(image.height, h);
        png_image_free(&image);
    }
}

TEST(VelmoraRun, BadScriptsAndOptionsStopWithOneClearLine) {
    std::string script = WriteFile("bad.txt", "# ok\ntap 1 2\ntapp 3 4\n");
    RunResult bad = Velmora({"--headless", "--script", script});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("line 3: unknown command \"tapp\""), std::string::npos) << bad.err;

    RunResult missing = Velmora({"--script", TempDir() + "/none.txt"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);

    RunResult screen = Velmora({"--headless", "--screen", "big"});
    EXPECT_EQ(screen.status, 2);
    EXPECT_NE(screen.err.find("--screen"), std::string::npos);

    EXPECT_EQ(Velmora({"--help"}).status, 0);
    EXPECT_EQ(Velmora({"--version"}).status, 0);
}

TEST(VelmoraRun, WithoutADisplayItSaysSoAndNamesHeadless) {
    RunResult run = Velmora({}, {"HOME=/tmp", "PATH=/usr/bin:/bin"});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("--headless"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

TEST(VelmoraRun, SigtermClosesTheOrderlyWay) {
    std::string dump = TempDir() + "/after.txt";
    std::string script = WriteFile("wait.txt", "sleep 20000\ndump " + dump + "\n");
    RunResult run = Velmora({"--headless", "--script", script}, {}, 300);
    EXPECT_EQ(run.status, 0) << run.err;  // WM_CLOSE -> WM_DESTROY -> PostQuitMessage(0)
}

}  // namespace
