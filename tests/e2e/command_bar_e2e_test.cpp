// The bar the reader builds for the shell it finds, and the full-screen boot option:
// what the window tree of the running program looks like.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace {

struct BarCase {
    const char* shell;       // --shell-version
    const char* bootValues;  // values of the boot-options key
    bool commandBar;         // the command bar at the top (else the menu bar at the bottom)
    bool fullScreen;
};

const BarCase kBars[] = {
    {"5.0", "", false, false},
    {"4.20", "", true, false},
    {"4.20", "\"FullScreen\"=dword:00000001\n", true, true},
    {"5.0", "\"FullScreen\"=dword:00000001\n", false, true},
    {"4.20", "\"MenuBarOnBottom\"=dword:00000001\n", false, false},
};

TEST(CommandBarE2E, TheBarAndTheMainWindowFollowTheShellAndFullScreen) {
    int n = 0;
    for (const BarCase& c : kBars) {
        SCOPED_TRACE(std::string("shell ") + c.shell + ", boot values " + c.bootValues);
        Home home = MakeHome("bar-" + std::to_string(n++));
        // The boot options live in a key of their own, which the reader only reads.
        if (*c.bootValues) PresetRegistry(home, std::string("[HKEY_CURRENT_USER\\software\\Orlavex]\n") + c.bootValues);
        std::string dump = home.Path("tree.txt");
        Child reader;
        ASSERT_TRUE(Start(&reader,
                          {"--headless", "--shell-version", c.shell, "--script", home.Write("s.txt", "dump " + dump + "\n")},
                          home.env, home.Path("err.txt")));
        RunResult run = reader.Wait();
        ASSERT_EQ(run.status, 0) << run.err;
        std::string text = ReadFile(dump);
        std::vector<DumpLine> tree = ParseDump(text);

        const DumpLine* main = FindLine(tree, "Almarest-Velmora");
        const DumpLine* taskBar = FindLine(tree, "HHTaskBar");
        ASSERT_TRUE(main && taskBar) << text;
        EXPECT_EQ(main->depth, 0);
        // Full screen: the task bar hides and the window reaches up to the top.
        EXPECT_EQ(main->y, c.fullScreen ? 0 : 26) << text;
        EXPECT_EQ(main->y + main->h, 640) << text;
        EXPECT_EQ(taskBar->Has("hidden"), c.fullScreen) << text;

        const DumpLine* commandBar = FindLine(tree, "HHCommandBar");
        const DumpLine* menuBar = FindLine(tree, "HHMenuBar");
        if (c.commandBar) {
            ASSERT_NE(commandBar, nullptr) << text;
            EXPECT_EQ(menuBar, nullptr) << text;
            // A child of the main window, across its top.
            EXPECT_EQ(commandBar->depth, 1);
            EXPECT_EQ(commandBar->y, main->y);
            EXPECT_EQ(commandBar->x, main->x);
            EXPECT_EQ(commandBar->h, 26);
            // Its menus and the six toolbar buttons.
            EXPECT_NE(FindText(tree, "button", "&File"), nullptr) << text;
            EXPECT_NE(FindText(tree, "button", "&Go"), nullptr) << text;
            for (int id : {110, 119, 109, 40006, 116, 117}) EXPECT_NE(FindLine(tree, "button", id), nullptr) << id;
            // The close adornment only in full screen, at the bar's right end.
            const DumpLine* close = FindText(tree, "button", "×");
            ASSERT_EQ(close != nullptr, c.fullScreen) << text;
            if (close) {
                EXPECT_EQ(close->depth, 2);
                EXPECT_LE(close->x + close->w, commandBar->x + commandBar->w);
                EXPECT_GE(close->y, commandBar->y);
            }
        } else {
            ASSERT_NE(menuBar, nullptr) << text;
            EXPECT_EQ(commandBar, nullptr) << text;
            EXPECT_EQ(menuBar->depth, 0);
            EXPECT_EQ(menuBar->y + menuBar->h, 640);
            EXPECT_EQ(FindText(tree, "button", "×"), nullptr) << text;
        }
        // The boot options are never written back.
        RegistryKeys keys = ReadRegistry(home.Registry());
        EXPECT_EQ(keys["software\\orlavex"].size(), *c.bootValues ? 1u : 0u) << ReadFile(home.Registry());
    }
}

TEST(CommandBarE2E, TheCloseAdornmentEndsTheReaderAndItSaves) {
    Home home = MakeHome("bar-close");
    const std::string boot = "[HKEY_CURRENT_USER\\software\\Orlavex]\n\"FullScreen\"=dword:00000001\n";
    PresetRegistry(home, boot);
    std::string dump = home.Path("tree.txt");
    Child look;
    ASSERT_TRUE(Start(&look, {"--headless", "--shell-version", "4.20", "--script", home.Write("look.txt", "dump " + dump + "\n")},
                      home.env, home.Path("err1.txt")));
    ASSERT_EQ(look.Wait().status, 0);
    std::vector<DumpLine> tree = ParseDump(ReadFile(dump));
    const DumpLine* close = FindText(tree, "button", "×");
    ASSERT_NE(close, nullptr) << ReadFile(dump);

    // Only the tap can end this run before its long sleep.
    std::string script = "key RIGHT\n" + Tap(close->CentreX(), close->CentreY()) + "sleep 20000\n";
    Child reader;
    ASSERT_TRUE(Start(&reader, {"--headless", "--shell-version", "4.20", "--script", home.Write("s.txt", script)},
                      home.env, home.Path("err2.txt")));
    RunResult run = reader.Wait(10000);
    ASSERT_EQ(run.status, 0) << run.err;
    auto values = Settings(home);
    EXPECT_EQ(values["lesson"].dword, 2u) << ReadFile(home.Registry());
    RegistryKeys keys = ReadRegistry(home.Registry());
    EXPECT_EQ(keys["software\\orlavex"].size(), 1u);
    EXPECT_EQ(keys["software\\orlavex"]["fullscreen"].dword, 1u);
}

}  // namespace
