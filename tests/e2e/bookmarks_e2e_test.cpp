// Bookmarks chosen from the Go menu of the running reader, the removal question, and
// what reaches registry.reg.
#include <png.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace {

std::string Repeat(const std::string& line, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += line;
    return s;
}

// Dark pixels (all channels below 128) inside the rectangle of a screenshot.
int DarkPixels(const std::string& png, int x0, int y0, int w, int h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png.c_str())) return -1;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return -1;
    int dark = 0;
    for (int y = y0; y < y0 + h && y < (int)image.height; ++y)
        for (int x = x0; x < x0 + w && x < (int)image.width; ++x) {
            const unsigned char* p = &pixels[(y * image.width + x) * 3];
            if (p[0] < 128 && p[1] < 128 && p[2] < 128) ++dark;
        }
    return dark;
}

const DumpLine* BookmarkItem(const std::vector<DumpLine>& lines) { return FindLine(lines, "item", 123); }

TEST(BookmarksE2E, ChosenFromTheGoMenuTheyAreCheckedAndSavedInOrder) {
    const GoMenu& m = FindGoMenu();
    ASSERT_TRUE(m.found) << "the Go menu's positions could not be found";
    Home home = MakeHome("bookmarks-order");
    std::string go = Tap(m.goX, m.goY), bookmark = Tap(m.bookmarkX, m.bookmarkY);
    std::string plainPng = home.Path("plain.png"), plainDump = home.Path("plain.txt");
    std::string checkedPng = home.Path("checked.png"), checkedDump = home.Path("checked.txt");
    // A first start: lesson 1, then to lesson 7 and back to lesson 3.
    std::string script = Repeat("key RIGHT\n", 6) + go + "screenshot " + plainPng + "\ndump " + plainDump + "\n" +
                         bookmark + Repeat("key LEFT\n", 4) + go + bookmark + go + "screenshot " + checkedPng +
                         "\ndump " + checkedDump + "\n";
    Child reader;
    ASSERT_TRUE(Start(&reader, {"--headless", "--script", home.Write("s.txt", script)}, home.env, home.Path("err.txt")));
    RunResult run = reader.Wait();
    ASSERT_EQ(run.status, 0) << run.err;

    auto values = Settings(home);
    EXPECT_EQ(values["bookmarks"].bytes, (std::vector<uint8_t>{7, 0, 3, 0, 0, 0})) << ReadFile(home.Registry());
    EXPECT_EQ(values["lesson"].dword, 3u);

    std::vector<DumpLine> plain = ParseDump(ReadFile(plainDump)), checked = ParseDump(ReadFile(checkedDump));
    const DumpLine* before = BookmarkItem(plain);
    const DumpLine* after = BookmarkItem(checked);
    ASSERT_TRUE(before && after) << ReadFile(plainDump) << ReadFile(checkedDump);
    EXPECT_FALSE(before->Has("checked"));
    EXPECT_TRUE(after->Has("checked"));
    EXPECT_EQ(after->text, "&Bookmark");
    // The check mark is drawn at the item's left, where the unchecked item is blank.
    int blank = DarkPixels(plainPng, before->x, before->y, 16, before->h);
    int mark = DarkPixels(checkedPng, after->x, after->y, 16, after->h);
    EXPECT_EQ(blank, 0);
    EXPECT_GT(mark, 5);
}

TEST(BookmarksE2E, TheRemovalQuestionAnsweredNoYesAndCancel) {
    const GoMenu& m = FindGoMenu();
    ASSERT_TRUE(m.found) << "the Go menu's positions could not be found";
    Home home = MakeHome("bookmarks-remove");
    PresetRegistry(home, std::string("[HKEY_CURRENT_USER\\") + kSettingsKey +
                             "]\n\"Lesson\"=dword:00000003\n\"Bookmarks\"=hex:07,00,03,00,00,00\n");
    std::string go = Tap(m.goX, m.goY), bookmark = Tap(m.bookmarkX, m.bookmarkY);
    std::string loaded = home.Path("loaded.txt"), asked = home.Path("asked.txt");
    // No keeps the bookmark; Return answers Yes, which removes it.
    std::string script = go + "dump " + loaded + "\n" + bookmark + "dump " + asked + "\n" + Tap(m.noX, m.noY) + go +
                         bookmark + "key RETURN\n";
    Child first;
    ASSERT_TRUE(Start(&first, {"--headless", "--script", home.Write("s1.txt", script)}, home.env, home.Path("err1.txt")));
    RunResult run = first.Wait();
    ASSERT_EQ(run.status, 0) << run.err;

    // The list came from the registry: lesson 3 is checked at once.
    std::vector<DumpLine> menu = ParseDump(ReadFile(loaded));
    ASSERT_NE(BookmarkItem(menu), nullptr) << ReadFile(loaded);
    EXPECT_TRUE(BookmarkItem(menu)->Has("checked"));
    std::vector<DumpLine> box = ParseDump(ReadFile(asked));
    const DumpLine* question = FindLine(box, "HHMsgBox");
    ASSERT_NE(question, nullptr) << ReadFile(asked);
    EXPECT_EQ(question->text, "Bookmark");
    EXPECT_NE(FindText(box, "text", "Remove Bookmark?\n\nCancel - Don't ask again"), nullptr) << ReadFile(asked);
    // The box is modal: the main window waits, disabled.
    const DumpLine* main = FindLine(box, "Almarest-Velmora");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->Has("disabled"));
    EXPECT_EQ(Settings(home)["bookmarks"].bytes, (std::vector<uint8_t>{7, 0, 0, 0})) << ReadFile(home.Registry());

    // Cancel removes it and stops asking: the next removal goes without a question.
    std::string after = home.Path("after.txt");
    script = go + bookmark + go + bookmark + "key ESCAPE\n" + go + bookmark + go + bookmark + "dump " + after + "\n";
    Child second;
    ASSERT_TRUE(Start(&second, {"--headless", "--script", home.Write("s2.txt", script)}, home.env, home.Path("err2.txt")));
    run = second.Wait();
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<DumpLine> end = ParseDump(ReadFile(after));
    EXPECT_EQ(FindLine(end, "HHMsgBox"), nullptr) << ReadFile(after);
    ASSERT_NE(FindLine(end, "Almarest-Velmora"), nullptr) << ReadFile(after);
    EXPECT_FALSE(FindLine(end, "Almarest-Velmora")->Has("disabled"));
    EXPECT_EQ(Settings(home)["bookmarks"].bytes, (std::vector<uint8_t>{7, 0, 0, 0})) << ReadFile(home.Registry());
}

}  // namespace
