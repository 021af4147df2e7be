// Two readers of one user: the second start finds the first through its socket, acts
// on it by what is in front there, and ends without a window of its own.
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace {

// How long the first reader idles, serving its socket, while the second one starts.
constexpr int kFirstSleepMs = 4000;

struct Second {
    RunResult run;
    bool ranItsScript = false;
    bool touchedRegistry = false;
    bool firstStillRunning = false;
};

ino_t Inode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Starts a second reader in the same home while `first` runs. Its script would leave a
// dump behind, so a second start that wrongly ran as a reader of its own shows.
Second RunSecond(const Home& home, Child* first) {
    Second s;
    std::string dump = home.Path("second-dump.txt");
    std::string before = ReadFile(home.Registry());
    ino_t inode = Inode(home.Registry());
    Child second;
    if (!Start(&second, {"--headless", "--script", home.Write("second.txt", "dump " + dump + "\n")}, home.env,
               home.Path("second-err.txt")))
        return s;
    s.run = second.Wait(10000);
    s.firstStillRunning = first->Running();
    s.ranItsScript = std::filesystem::exists(dump);
    // Every registry write replaces the file, so an untouched file keeps its inode.
    s.touchedRegistry = Inode(home.Registry()) != inode || ReadFile(home.Registry()) != before;
    return s;
}

void ExpectSecondStoppedAtOnce(const Second& s) {
    EXPECT_EQ(s.run.status, 0) << s.run.err;
    EXPECT_FALSE(s.ranItsScript) << "the second start ran as a reader of its own";
    EXPECT_FALSE(s.touchedRegistry) << "the second start wrote settings";
    EXPECT_TRUE(s.firstStillRunning) << "the second start took longer than the first one's sleep";
}

int ScrollPos(const std::string& dump) {
    const std::vector<DumpLine> lines = ParseDump(dump);
    const DumpLine* bar = FindLine(lines, "scrollbar");
    size_t at = bar ? bar->rest.find("pos=") : std::string::npos;
    return at == std::string::npos ? -1 : std::atoi(bar->rest.c_str() + at + 4);
}

// The first reader's main window in front: it is sent the Choose Section command.
TEST(SingleInstance, SecondStartWhileTheMainWindowIsInFront) {
    Home home = MakeHome("front");
    std::string a = home.Path("a.txt"), b = home.Path("b.txt");
    Child first;
    ASSERT_TRUE(Start(&first,
                      {"--headless", "--script",
                       home.Write("first.txt", "dump " + a + "\nsleep " + std::to_string(kFirstSleepMs) + "\ndump " + b + "\n")},
                      home.env, home.Path("first-err.txt")));
    ASSERT_TRUE(WaitForFile(a, 15000)) << ReadFile(home.Path("first-err.txt"));
    Second s = RunSecond(home, &first);
    ExpectSecondStoppedAtOnce(s);
    RunResult run = first.Wait(kFirstSleepMs + 10000);
    ASSERT_EQ(run.status, 0) << run.err;
    // The Choose Section outline is a stand-in that keeps the lesson: nothing on the
    // screen changes, and the second start's wait for the command ends at once. Once
    // the outline opens its dialog, the second start waits until that dialog closes:
    // this test then expects the dialog in `b` and closes it from the first's script.
    EXPECT_EQ(ReadFile(b), ReadFile(a));
    EXPECT_EQ(Settings(home)["lesson"].dword, 1u);
}

// Another program in front (the first reader lost the focus): the second start brings
// the first one back to the front, so keys reach it again.
TEST(SingleInstance, SecondStartBringsABackgroundReaderToTheFront) {
    Home home = MakeHome("background");
    std::string a = home.Path("a.txt"), b = home.Path("b.txt");
    std::string script = "focus off\nkey NEXT\ndump " + a + "\nsleep " + std::to_string(kFirstSleepMs) +
                         "\nkey NEXT\ndump " + b + "\n";
    Child first;
    ASSERT_TRUE(Start(&first, {"--headless", "--script", home.Write("first.txt", script)}, home.env,
                      home.Path("first-err.txt")));
    ASSERT_TRUE(WaitForFile(a, 15000)) << ReadFile(home.Path("first-err.txt"));
    EXPECT_EQ(ScrollPos(ReadFile(a)), 0) << "a key reached the reader without the focus";
    Second s = RunSecond(home, &first);
    ExpectSecondStoppedAtOnce(s);
    RunResult run = first.Wait(kFirstSleepMs + 10000);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(ScrollPos(ReadFile(b)), 0) << "the reader did not come back to the front\n" << ReadFile(b);
    EXPECT_GT(Settings(home)["lastposition"].dword, 0u);
}

// A dialog of the first reader in front: the second start leaves everything as it is.
TEST(SingleInstance, SecondStartWhileADialogIsInFrontChangesNothing) {
    const GoMenu& m = FindGoMenu();
    ASSERT_TRUE(m.found) << "the Go menu's positions could not be found";
    Home home = MakeHome("dialog");
    PresetRegistry(home, std::string("[HKEY_CURRENT_USER\\") + kSettingsKey + "]\n\"Bookmarks\"=hex:01,00,00,00\n");
    std::string a = home.Path("a.txt"), b = home.Path("b.txt");
    // Choosing Bookmark on the bookmarked lesson 1 asks "Remove Bookmark?".
    std::string script = Tap(m.goX, m.goY) + Tap(m.bookmarkX, m.bookmarkY) + "dump " + a + "\nsleep " +
                         std::to_string(kFirstSleepMs) + "\ndump " + b + "\n";
    Child first;
    ASSERT_TRUE(Start(&first, {"--headless", "--script", home.Write("first.txt", script)}, home.env,
                      home.Path("first-err.txt")));
    ASSERT_TRUE(WaitForFile(a, 15000)) << ReadFile(home.Path("first-err.txt"));
    std::vector<DumpLine> open = ParseDump(ReadFile(a));
    const DumpLine* box = FindLine(open, "HHMsgBox");
    ASSERT_NE(box, nullptr) << ReadFile(a);
    ASSERT_TRUE(box->Has("focus"));
    Second s = RunSecond(home, &first);
    ExpectSecondStoppedAtOnce(s);
    RunResult run = first.Wait(kFirstSleepMs + 10000);
    ASSERT_EQ(run.status, 0) << run.err;
    // Same windows, same order, same focus: the main window was not brought forward.
    EXPECT_EQ(ReadFile(b), ReadFile(a));
}

// A socket left by a reader that died: the next start removes it and runs as the only
// reader.
TEST(SingleInstance, AStaleSocketIsRemovedAndTheStartRunsNormally) {
    Home home = MakeHome("stale");
    // A process id that surely has no reader: a child that has ended.
    Child gone;
    ASSERT_TRUE(Start(&gone, {}, home.env, home.Path("true-err.txt"), "/bin/true"));
    ASSERT_EQ(gone.Wait().status, 0);
    std::filesystem::create_directories(home.InstanceFolder());
    std::filesystem::permissions(home.InstanceFolder(), std::filesystem::perms::owner_all);
    std::string stale = home.InstanceFolder() + "/instance-" + std::to_string(gone.pid) + ".sock";
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(stale.size(), sizeof addr.sun_path);
    stale.copy(addr.sun_path, stale.size());
    ASSERT_EQ(bind(fd, (sockaddr*)&addr, sizeof addr), 0);
    close(fd);  // bound, never listened: connecting to it is refused
    ASSERT_TRUE(std::filesystem::exists(stale));

    std::string dump = home.Path("running.txt");
    Child reader;
    ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", "dump " + dump + "\nsleep 20000\n")},
                      home.env, home.Path("err.txt")));
    ASSERT_TRUE(WaitForFile(dump, 15000)) << ReadFile(home.Path("err.txt"));
    std::set<std::string> sockets;
    for (const auto& e : std::filesystem::directory_iterator(home.InstanceFolder()))
        sockets.insert(e.path().filename().string());
    EXPECT_EQ(sockets, (std::set<std::string>{"instance-" + std::to_string(reader.pid) + ".sock"}));
    const std::vector<DumpLine> tree = ParseDump(ReadFile(dump));
    EXPECT_NE(FindLine(tree, "Almarest-Velmora"), nullptr) << ReadFile(dump);

    reader.Signal(SIGTERM);
    RunResult run = reader.Wait(10000);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Settings(home)["lesson"].dword, 1u);
    // Its own socket goes with it.
    EXPECT_TRUE(std::filesystem::is_empty(home.InstanceFolder()));
}

}  // namespace
