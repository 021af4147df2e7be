// What a run of the reader leaves in registry.reg: the first start's values, the
// lesson and position a script moved to, and the ways a run can end.
#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace {

const std::string kSettingsSection = std::string("[HKEY_CURRENT_USER\\") + kSettingsKey + "]\n";

// The main window's scroll bar position in a dump (the view's top line); -1 when the
// window has no scroll bar.
int ScrollPos(const std::string& dumpPath) {
    std::vector<DumpLine> lines = ParseDump(ReadFile(dumpPath));
    const DumpLine* bar = FindLine(lines, "scrollbar");
    if (!bar) return -1;
    size_t at = bar->rest.find("pos=");
    return at == std::string::npos ? -1 : std::atoi(bar->rest.c_str() + at + 4);
}

TEST(FrameSettings, FirstStartWritesTheProgramPathAtOnceAndTheDefaultsAtExit) {
    Home home = MakeHome("first-start");
    std::string running = home.Path("running.txt");
    Child reader;
    ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", "dump " + running + "\nsleep 20000\n")},
                      home.env, home.Path("err.txt")));
    ASSERT_TRUE(WaitForFile(running, 15000)) << ReadFile(home.Path("err.txt"));

    // While it runs, only the start's own value is there.
    auto during = Settings(home);
    ASSERT_TRUE(during.count("program path")) << ReadFile(home.Registry());
    EXPECT_EQ(during["program path"].kind, "sz");
    EXPECT_EQ(during["program path"].text, std::filesystem::canonical(VelmoraPath()).string());
    EXPECT_FALSE(during.count("lesson"));
    EXPECT_FALSE(during.count("flags"));
    // The default Flags ask for a vertical scroll bar.
    EXPECT_EQ(ScrollPos(running), 0) << ReadFile(running);

    reader.Signal(SIGTERM);
    RunResult run = reader.Wait(10000);
    ASSERT_EQ(run.status, 0) << run.err;
    auto after = Settings(home);
    EXPECT_EQ(after["program path"].text, during["program path"].text);
    EXPECT_EQ(after["flags"].kind, "dword");
    EXPECT_EQ(after["flags"].dword, 0xD1140040u);
    EXPECT_EQ(after["lesson"].dword, 1u);
    ASSERT_TRUE(after.count("lastposition"));
    EXPECT_EQ(after["lastposition"].dword, 0u);
    EXPECT_EQ(after["fontasciibase"].dword, 97u);
    EXPECT_EQ(after["bookmarks"].kind, "hex");
    EXPECT_EQ(after["bookmarks"].bytes, (std::vector<uint8_t>{0, 0}));
    // Values nobody set stay absent.
    for (const char* name : {"fontname", "fontsize", "searchstring"}) EXPECT_FALSE(after.count(name)) << name;
}

TEST(FrameSettings, AnEmptyScriptOnAFirstStartSavesTheSameDefaults) {
    Home home = MakeHome("empty-script");
    Child reader;
    ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", "")}, home.env, home.Path("err.txt")));
    RunResult run = reader.Wait();
    ASSERT_EQ(run.status, 0) << run.err;
    auto values = Settings(home);
    EXPECT_EQ(values["flags"].dword, 0xD1140040u);
    EXPECT_EQ(values["lesson"].dword, 1u);
    EXPECT_EQ(values["fontasciibase"].dword, 97u);
    EXPECT_EQ(values["bookmarks"].bytes, (std::vector<uint8_t>{0, 0}));
    EXPECT_TRUE(values.count("lastposition") && values.count("program path")) << ReadFile(home.Registry());
    for (const char* name : {"fontname", "fontsize", "searchstring"}) EXPECT_FALSE(values.count(name)) << name;
}

constexpr int kPaged = -1;  // moved down: above 0
constexpr int kBack = -2;   // moved up from the stored 40, a page (not to the top)

struct MoveCase {
    const char* name;
    const char* preset;  // settings values written before the run
    const char* script;
    uint32_t lesson;
    int position;  // LastPosition at exit, or kPaged
    uint32_t flags;
};

const MoveCase kMoves[] = {
    {"page down", "", "key NEXT\n", 1, kPaged, 0xD1140040},
    {"end", "", "key END\n", 1, kPaged, 0xD1140040},
    {"next lesson starts at its top", "", "key NEXT\nkey RIGHT\n", 2, 0, 0xD1140040},
    {"previous lesson wraps to the last", "", "key LEFT\n", 131, 0, 0xD1140040},
    {"last lesson wraps to the first", "\"Lesson\"=dword:00000083\n", "key RIGHT\n", 1, 0, 0xD1140040},
    {"tap in the lower half pages forward", "", "tap 240 500\n", 1, kPaged, 0xD1140040},
    {"tap in the upper half pages back", "\"Lesson\"=dword:00000001\n\"LastPosition\"=dword:00000028\n",
     "tap 240 100\n", 1, kBack, 0xD1140040},
    {"stored lesson and position come back", "\"Lesson\"=dword:00000005\n\"LastPosition\"=dword:00000003\n", "", 5, 3,
     0xD1140040},
    {"stored lesson 0 opens lesson 1 at its top", "\"Lesson\"=dword:00000000\n\"LastPosition\"=dword:00000007\n", "",
     1, 0, 0xD1140040},
    {"a lesson stored as digits", "\"Lesson\"=\"12\"\n", "", 12, 0, 0xD1140040},
    // Bits nobody reads survive; without 0xC0 there is no scroll bar, and bit 31 clear
    // turns tap paging off.
    {"unread flag bits survive", "\"Flags\"=dword:51140000\n", "tap 240 500\n", 1, 0, 0x51140000},
};

TEST(FrameSettings, WhereAScriptMovedIsSavedAtExit) {
    int n = 0;
    for (const MoveCase& c : kMoves) {
        SCOPED_TRACE(c.name);
        Home home = MakeHome("move-" + std::to_string(n++));
        if (*c.preset) PresetRegistry(home, kSettingsSection + c.preset);
        std::string dump = home.Path("end.txt");
        Child reader;
        ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", std::string(c.script) + "dump " + dump + "\n")},
                          home.env, home.Path("err.txt")));
        RunResult run = reader.Wait();
        ASSERT_EQ(run.status, 0) << run.err;
        auto values = Settings(home);
        EXPECT_EQ(values["lesson"].dword, c.lesson);
        EXPECT_EQ(values["flags"].dword, c.flags);
        ASSERT_TRUE(values.count("lastposition"));
        // With a scroll bar, its position is what was saved; without one, none is shown.
        int pos = ScrollPos(dump);
        EXPECT_EQ(pos, (c.flags & 0xC0) ? (int)values["lastposition"].dword : -1) << ReadFile(dump);
        if (c.position == kPaged) {
            EXPECT_GT(values["lastposition"].dword, 0u);
        } else if (c.position == kBack) {
            EXPECT_GT(values["lastposition"].dword, 0u);
            EXPECT_LT(values["lastposition"].dword, 40u);
        } else {
            EXPECT_EQ(values["lastposition"].dword, (uint32_t)c.position);
        }
    }
}

TEST(FrameSettings, EveryOrderlyEndSavesWithoutWaitingForTheScript) {
    const GoMenu& m = FindGoMenu();
    ASSERT_TRUE(m.found) << "the Go menu's positions could not be found";
    const std::string go = Tap(m.goX, m.goY), mark = "dump MARK\nsleep 20000\n";
    struct End {
        std::string name, preset;
        std::string script;  // MARK becomes a dump that says the sleep began
        int signal;
        uint32_t lesson;
        std::string open = "";  // a window open when the signal comes
    };
    const End kEnds[] = {
        {"close", "", "key RIGHT\nclose\nsleep 20000\n", 0, 2},
        {"SIGTERM", "", "key RIGHT\n" + mark, SIGTERM, 2},
        {"SIGINT", "", "key RIGHT\n" + mark, SIGINT, 2},
        {"SIGHUP", "", "key RIGHT\n" + mark, SIGHUP, 2},
        // Open menus and boxes are cancelled first.
        {"SIGTERM with the Go menu open", "", "key RIGHT\n" + go + mark, SIGTERM, 2, "HHMenuPopup"},
        // The box comes up while the main window is being made, still hidden.
        {"SIGTERM with the start's error box open", "\"Lesson\"=dword:000000c8\n", mark, SIGTERM, 200, "HHMsgBox"},
    };
    for (const End& e : kEnds) {
        SCOPED_TRACE(e.name);
        Home home = MakeHome("end");
        if (!e.preset.empty()) PresetRegistry(home, kSettingsSection + e.preset);
        std::string markPath = home.Path("mark.txt"), script = e.script;
        if (size_t at = script.find("MARK"); at != std::string::npos) script.replace(at, 4, markPath);
        Child reader;
        ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", script)}, home.env, home.Path("err.txt")));
        if (e.signal) {
            ASSERT_TRUE(WaitForFile(markPath, 15000));
            if (!e.open.empty()) {
                const std::vector<DumpLine> tree = ParseDump(ReadFile(markPath));
                EXPECT_NE(FindLine(tree, e.open), nullptr) << ReadFile(markPath);
            }
            reader.Signal(e.signal);
        }
        // Well before the sleep is over.
        RunResult run = reader.Wait(10000);
        ASSERT_EQ(run.status, 0) << run.err;
        auto values = Settings(home);
        EXPECT_EQ(values["lesson"].dword, e.lesson) << ReadFile(home.Registry());
        EXPECT_EQ(values["flags"].dword, 0xD1140040u);
    }
}

// A stored lesson the library lacks: the reader says so, shows an empty view, keeps
// the stored number when nothing else is chosen, and steps from it to lesson 1.
TEST(FrameSettings, AStoredLessonWithoutItsResourceIsReportedAndLeftBehindByAStep) {
    struct Step {
        const char* keys;
        uint32_t lesson;
    };
    for (Step step : {Step{"", 200}, Step{"key LEFT\n", 1}, Step{"key RIGHT\n", 1}}) {
        SCOPED_TRACE(step.keys);
        Home home = MakeHome("missing-lesson");
        PresetRegistry(home, kSettingsSection + "\"Lesson\"=dword:000000c8\n");
        std::string box = home.Path("box.txt"), after = home.Path("after.txt");
        std::string script = "dump " + box + "\nkey RETURN\n" + step.keys + "dump " + after + "\n";
        Child reader;
        ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", script)}, home.env, home.Path("err.txt")));
        RunResult run = reader.Wait();
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<DumpLine> asked = ParseDump(ReadFile(box));
        const DumpLine* message = FindLine(asked, "HHMsgBox");
        ASSERT_NE(message, nullptr) << ReadFile(box);
        EXPECT_EQ(message->text, "Error");
        EXPECT_NE(FindText(asked, "text", "Resource not found"), nullptr) << ReadFile(box);
        const std::vector<DumpLine> later = ParseDump(ReadFile(after));
        EXPECT_EQ(FindLine(later, "HHMsgBox"), nullptr) << ReadFile(after);
        EXPECT_EQ(Settings(home)["lesson"].dword, step.lesson) << ReadFile(home.Registry());
    }
}

}  // namespace
