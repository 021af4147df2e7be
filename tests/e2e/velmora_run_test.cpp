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
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace {

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
    EXPECT_NE(tree.find("Almarest-Velmora \"Velmora\" 0,26,480,614\n"), std::string::npos) << tree;
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
    // One line of ours (the display libraries may add their own).
    size_t first = run.err.find("velmora:");
    ASSERT_NE(first, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("velmora:", first + 1), std::string::npos) << run.err;
}

TEST(VelmoraRun, SigtermClosesTheOrderlyWay) {
    std::string dump = TempDir() + "/after.txt";
    std::string script = WriteFile("wait.txt", "sleep 20000\ndump " + dump + "\n");
    RunResult run = Velmora({"--headless", "--script", script}, {}, 300);
    EXPECT_EQ(run.status, 0) << run.err;  // WM_CLOSE -> WM_DESTROY -> PostQuitMessage(0)
}

TEST(VelmoraRun, DesktopBackendRunsAndClosesOnSigterm) {
#if !VELMORA_HAVE_SDL
    GTEST_SKIP() << "built without SDL";
#endif
    // SDL's offscreen driver, asked for by name, stands in for a display. The graphics
    // drivers it loads keep allocations to the end, which the leak checker would report.
    RunResult run = Velmora({"--scale", "2"},
                            {"HOME=/tmp", "PATH=/usr/bin:/bin", "SDL_VIDEODRIVER=offscreen", "ASAN_OPTIONS=detect_leaks=0",
                             "XDG_CONFIG_HOME=" + TempDir() + "/config", "XDG_RUNTIME_DIR=" + TempDir() + "/run"},
                            500);
    EXPECT_EQ(run.status, 0) << run.err;
}

// The runs' files go when the tests are done.
struct RemoveTempDir : testing::Environment {
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(TempDir(), ec);
    }
};
const testing::Environment* const kRemoveTempDir = testing::AddGlobalTestEnvironment(new RemoveTempDir);

}  // namespace
