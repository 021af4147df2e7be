#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "content/content_resource.h"
#include "content/index_records.h"
#include "content/lesson_records.h"
#include "platform/heap.h"
#include "platform/msgbox.h"
#include "platform/resource.h"
#include "tools/library_source.h"
#include "tools/pack_commands.h"

extern char** environ;

namespace {

void RemoveTree(const std::string& dir) {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

const std::string kFixture = std::string(VELMORA_SOURCE_DIR) + "/tests/fixtures/library-small";

std::string TempDir() {
    char path[] = "/tmp/velmora-pack-test-XXXXXX";
    return mkdtemp(path) ? path : "";
}

void WriteFile(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string ReadFile(const std::string& path) {
    std::string text;
    ReadWholeFile(path, &text);
    return text;
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

struct PackRun {
    int code;
    std::string out, err;
};

PackRun Pack(const std::vector<std::string>& args) {
    PackRun r;
    r.code = RunVelmoraPack(args, &r.out, &r.err);
    return r;
}

// A valid three-lesson library; each case changes one file.
struct SourceTree {
    std::string dir = TempDir();
    std::string lesson[4] = {"", ".title One\n\nText of one.\n", ".subtitle Two\n", ".title Three\n"};
    std::string index = "section 16240 All\n  lesson 1 One\n  lesson 2 Two\n  lesson 3 Three\n";
    void Write() {
        mkdir((dir + "/lessons").c_str(), 0755);
        for (int n = 1; n <= 3; ++n)
            if (!lesson[n].empty()) WriteFile(dir + "/lessons/00" + std::to_string(n) + "-x.txt", lesson[n]);
        WriteFile(dir + "/index.txt", index);
    }
    ~SourceTree() { RemoveTree(dir); }
};

TEST(Packer, EachSourceErrorIsReportedWithItsPlaceAndNothingIsWritten) {
    struct Case {
        const char* what;
        int file;  // lesson number, or 0 for the index
        std::string text;
        std::string error;  // expected in the error output
    } cases[] = {
        {"unknown tag", 1, ".title One\n\n.shout Hello\n", "001-x.txt:3: unknown tag .shout"},
        {"text starting with a dot", 1, ".title One\n\n...and so on\n", "001-x.txt:3: unknown tag ..."},
        {"character outside Windows-1252", 1, ".title One\n\nOmega \xCE\xA9 sign\n", "001-x.txt:3: character U+03A9"},
        {"control character", 1, ".title One\n\nBell\x07\n", "001-x.txt:3: character U+0007"},
        {"tab", 1, ".title One\n\n\tIndented\n", "001-x.txt:3: a tab character"},
        {"invalid UTF-8", 1, ".title One\n\nLatin-1 \xE9 byte\n", "001-x.txt:3: not valid UTF-8"},
        {"unknown escape", 1, ".title One\n\nC:\\Windows\n", "001-x.txt:3: unknown escape \\W"},
        {"NUL escape", 1, ".title One\n\nA\\x00B\n", "001-x.txt:3: \\x00 cannot be in text"},
        {"bad rule width", 1, ".title One\n\n.rule 75%\n", "001-x.txt:3: rule width 75%"},
        {"rule with text", 1, ".title One\n\n.rule 24% and words\n", "001-x.txt:3: a rule has no text"},
        {"indent out of range", 1, ".title One\n\n.in64 Deep\n", "001-x.txt:3: indent .in64"},
        {"style 0", 1, ".title One\n\n.style 0x00 End\n", "001-x.txt:3: .style 0x00"},
        {"first record empty text", 1, "# comment\n.bold\n\nText\n", "001-x.txt:2: the first record is text with no characters"},
        {"empty lesson", 1, "# only a comment\n", "001-x.txt: the lesson has no records"},
        {"lesson too long", 1, ".title One\n\n" + std::string(70000, 'x') + "\n", "001-x.txt: the lesson decodes to 70012 bytes"},
        {"missing lesson", 2, "", "lessons: lesson 2 is missing"},
        {"index names a lesson that does not exist", 0, "section 16240 All\n  lesson 1 One\n  lesson 4 Four\n",
         "index.txt:3: lesson 4 does not exist"},
        {"adjacent records with the same key", 0, "section 16240 All\n  lesson 1 One\n  lesson 1 One again\n",
         "index.txt:3: the same lesson as the entry on line 2"},
        {"section id equals a lesson number", 0, "section 17 All\n  lesson 1 One\n", "index.txt:1: section id 17 equals a lesson number"},
        {"section id used twice", 0, "section 16240 All\n  lesson 1 One\nsection 16240 More\n",
         "index.txt:3: section id 16240 is already used on line 1"},
        {"malformed index line", 0, "section 16240 All\n  chapter 1 One\n", "index.txt:2: malformed entry"},
        {"index entry without a number", 0, "section 16240 All\n  lesson One\n", "index.txt:2: malformed entry"},
        {"odd indentation", 0, "section 16240 All\n   lesson 1 One\n", "index.txt:2: indentation"},
        {"level jump", 0, "section 16240 All\n    lesson 1 One\n", "index.txt:2: entry at level 3 follows one at level 1"},
    };
    for (const Case& c : cases) {
        SourceTree tree;
        if (c.file) tree.lesson[c.file] = c.text;
        else tree.index = c.text;
        tree.Write();
        std::string out = tree.dir + "/out.pack";
        PackRun r = Pack({"--lessons", "3", tree.dir, out});
        EXPECT_EQ(r.code, kPackExitSourceError) << c.what;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.what << "\n" << r.err;
        EXPECT_FALSE(Exists(out)) << c.what;
    }
}

TEST(Packer, AFailedPackKeepsThePreviousPack) {
    SourceTree tree;
    tree.Write();
    std::string out = tree.dir + "/out.pack";
    ASSERT_EQ(Pack({"--lessons", "3", tree.dir, out}).code, kPackExitOk);
    std::string before = ReadFile(out);
    tree.lesson[2] = ".bogus\n";
    tree.Write();
    EXPECT_EQ(Pack({"--lessons", "3", tree.dir, out}).code, kPackExitSourceError);
    EXPECT_EQ(ReadFile(out), before);
}

TEST(Packer, UsageErrorsExitWith2) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {}, {"only-one"}, {"--dump", "x"}, {"--stats"}, {"--lessons", "0", "a", "b"}, {"--lessons", "x", "a", "b"},
             {"--frobnicate", "a"}, {"a", "b", "c"}}) {
        PackRun r = Pack(args);
        EXPECT_EQ(r.code, kPackExitUsage);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
}

TEST(Packer, ReadmeExamplesGiveTheirBytes) {
    struct Case {
        const char* source;
        int style, param;
        std::string text;
    } cases[] = {
        {".title Hydrogen", 0xCC, 0x00, "Hydrogen"},
        {".subtitle The lightest element", 0xC1, 0x00, "The lightest element"},
        {".rule 74%", 0xC7, 0xC5, ""},
        {".heading Where it is found", 0xCC, 0x00, "Where it is found"},
        {"Ordinary paragraph text ...", 0x81, 0x00, "Ordinary paragraph text ..."},
        {".bold Facts", 0x89, 0x00, "Facts"},
        {".bullet .tight Symbol: H", 0x01, 0x40, "\x95 Symbol: H"},
        {".bullet Atomic number: 1", 0x81, 0x40, "\x95 Atomic number: 1"},
        {".item .in24 1. First step", 0x81, 0x58, "1. First step"},
        {".cont .in24 More about that step.", 0x81, 0x58, " More about that step."},
        {".small A note in smaller print.", 0x82, 0x00, "A note in smaller print."},
        {".center .small Centred small print.", 0xC2, 0x00, "Centred small print."},
        {".tight A line with no blank row.", 0x01, 0x00, "A line with no blank row."},
        {".center .tight Centred, no blank row.", 0x41, 0x00, "Centred, no blank row."},
        {".rule .tight 100%", 0x47, 0xD2, ""},
        {".in12 Indented paragraph.", 0x81, 0x0C, "Indented paragraph."},
        {".rule 160px", 0xC7, 0xA0, ""},
        {".rule .right .tight 2%", 0x27, 0xA1, ""},
        {".large .bold Blue", 0x8C, 0x00, "Blue"},
        {".large Large", 0x84, 0x00, "Large"},
        {".small .bold Small bold", 0x8A, 0x00, "Small bold"},
        {".item3 .in63 x", 0x81, 0xFF, "x"},
        {".style 0x11 .param 0xFF x", 0x11, 0xFF, "x"},
        {"\\#1 \\\\ \\. \\x95\\x20", 0x81, 0x00, "#1 \\ . \x95 "},
        {"Line one\n  and   two\n# a comment line\nthree", 0x81, 0x00, "Line one and   two three"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> got;
        ASSERT_TRUE(ParseLessonRecord(c.source, &got)) << c.source;
        std::string expect = std::string(1, (char)c.style) + std::string(1, (char)c.param) + c.text;
        EXPECT_EQ(std::string(got.begin(), got.end()), expect + std::string(1, '\0')) << c.source;
    }
}

TEST(Packer, PackDumpPackGivesTheSameBytes) {
    std::string dir = TempDir();
    std::string first = dir + "/a.pack", second = dir + "/b.pack";
    ASSERT_EQ(Pack({"--lessons", "5", kFixture, first}).code, kPackExitOk);
    PackRun dump = Pack({"--dump", first, dir + "/src"});
    ASSERT_EQ(dump.code, kPackExitOk) << dump.err;
    ASSERT_EQ(Pack({"--lessons", "5", dir + "/src", second}).code, kPackExitOk);
    EXPECT_EQ(ReadFile(first), ReadFile(second));
    // Canonical tags where they fit, raw bytes where they do not.
    std::string hydrogen = ReadFile(dir + "/src/lessons/001-hydrogen.txt");
    EXPECT_NE(hydrogen.find(".title Hydrogen\n"), std::string::npos);
    EXPECT_NE(hydrogen.find(".subtitle The lightest element\n"), std::string::npos);
    EXPECT_NE(hydrogen.find(".rule .tight 100%\n"), std::string::npos);
    EXPECT_NE(hydrogen.find(".item .in24 1. First step\n"), std::string::npos);
    std::string lithium = ReadFile(dir + "/src/lessons/003-lithium.txt");
    EXPECT_NE(lithium.find(".style 0x1F .param 0xFF\n"), std::string::npos);
    EXPECT_NE(lithium.find("kept.\\x20\n"), std::string::npos);
    std::string index = ReadFile(dir + "/src/index.txt");
    EXPECT_NE(index.find("    .style 0xC1 lesson 4 Beryllium\n"), std::string::npos);
    RemoveTree(dir);
}

TEST(Packer, StatsDescribeResourcesAndTheIndex) {
    std::string dir = TempDir();
    ASSERT_EQ(Pack({"--lessons", "5", kFixture, dir + "/a.pack"}).code, kPackExitOk);
    PackRun r = Pack({"--stats", dir + "/a.pack"});
    ASSERT_EQ(r.code, kPackExitOk);
    EXPECT_NE(r.out.find("resource  1001  decoded    423"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("total 6 resources"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("index: 10 records, 4 sections, 6 lessons (5 distinct)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("index levels: 1: 3 2: 5 3: 2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("listed more than once: 1 - 1 (2 times)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  lesson 5 Boron\n"), std::string::npos) << r.out;
    EXPECT_EQ(Pack({"--stats", dir + "/missing.pack"}).code, kPackExitSourceError);
    RemoveTree(dir);
}

// The packed test library through the reader's loader: every lesson decodes, a
// lesson it lacks is status 1, and a damaged resource fails cleanly.
TEST(Packer, TheLoaderReadsThePackedTestLibrary) {
    std::string dir = TempDir();
    ASSERT_EQ(Pack({"--lessons", "5", kFixture, dir + "/a.pack"}).code, kPackExitOk);
    std::string image = ReadFile(dir + "/a.pack");
    RemoveTree(dir);
    ResourceEntry table[8];
    ASSERT_EQ(ResourceParsePack(image.data(), image.size(), table, 8), 6);
    ResourceInstallTable(table, 6);
    int status = 0;
    for (int n = 1; n <= 5; ++n) {
        BYTE* lesson = LoadContentResource(n, &status);
        ASSERT_NE(lesson, nullptr) << n;
        EXPECT_NE(FirstParagraphRecord(lesson, nullptr), nullptr);
        LocalFree(lesson);
    }
    BYTE* lesson = LoadContentResource(2, &status);
    const BYTE* sub = LessonSubtitleRecord(lesson, nullptr);
    ASSERT_NE(sub, nullptr);
    EXPECT_STREQ(ParagraphText(sub), "Helium, the noble gas \x97 \x93inert\x94 at 25 \xB0" "C");
    LocalFree(lesson);
    EXPECT_EQ(LoadContentResource(6, &status), nullptr);
    EXPECT_EQ(status, kContentNoResource);
    // Damage lesson 1: drop the second half of its compressed block.
    std::string damaged((const char*)table[0].data, table[0].size / 2);
    table[0].data = damaged.data();
    table[0].size = (DWORD)damaged.size();
    MessageBoxClearLog();
    EXPECT_EQ(LoadContentResource(1, &status), nullptr);
    EXPECT_EQ(status, kContentInputShort);
    int boxes = 0;
    MessageBoxLog(&boxes);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(HeapLiveBlocks(), 0);
    ResourceInstallTable(nullptr, 0);
}

TEST(Packer, TheExecutableExitsWithItsCodes) {
    std::string dir = TempDir();
    // The real executable, started with an argument vector; its output goes to a log.
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), VELMORA_PACK_EXE);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        std::string log = dir + "/log";
        posix_spawn_file_actions_addopen(&fa, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&fa, 1, 2);
        pid_t pid;
        int status = -1;
        if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&fa);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run({"--lessons", "5", kFixture, dir + "/a.pack"}), 0);
    EXPECT_EQ(run({"--lessons", "6", kFixture, dir + "/b.pack"}), 1);
    EXPECT_NE(ReadFile(dir + "/log").find("lesson 6 is missing"), std::string::npos);
    EXPECT_FALSE(Exists(dir + "/b.pack"));
    EXPECT_EQ(run({"--bogus"}), 2);
    RemoveTree(dir);
}

}  // namespace
