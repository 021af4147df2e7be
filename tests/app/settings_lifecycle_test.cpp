// Settings as the main window's life moves them: read before the window exists,
// written once when it is destroyed.
#include <cstring>
#include <string>

#include "app/commands.h"
#include "platform/heap.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tests/app/frame_window_fixture.h"
#include "view/text_view.h"

namespace {

using SettingsLifecycle = FrameWindowTest;

void ClearSettings() { RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey); }

std::string Bytes(const char* data, size_t n) { return std::string(data, n); }

}  // namespace

TEST_F(SettingsLifecycle, FirstStartWritesOnlyWhatItHasAtExit) {
    Start();
    DWORD type;
    std::string bytes;
    // The program path is the one value written at start; it creates the key.
    ASSERT_TRUE(Stored(u"Program Path", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_GT(bytes.size(), 2u);
    EXPECT_FALSE(Stored(u"Flags", &type, &bytes));
    EXPECT_EQ(g_app.lesson, 1);
    EXPECT_EQ(g_app.flags, kDefaultFlags);
    EXPECT_EQ(g_app.font.alphabetBase, 97);

    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(StoredNumber(u"Flags"), kDefaultFlags);
    EXPECT_EQ(StoredNumber(u"Lesson"), 1);
    EXPECT_EQ(StoredNumber(u"LastPosition"), 0);
    EXPECT_EQ(StoredNumber(u"FontAsciiBase"), 97);
    ASSERT_TRUE(Stored(u"Bookmarks", &type, &bytes));
    EXPECT_EQ(bytes, Bytes("\0\0", 2));
    EXPECT_FALSE(Stored(u"FontName", &type, &bytes));
    EXPECT_FALSE(Stored(u"FontSize", &type, &bytes));
    EXPECT_FALSE(Stored(u"SearchString", &type, &bytes));
}

TEST_F(SettingsLifecycle, StoredLessonAndPositionOpenTheView) {
    // Numbers may be decimal strings; only their low 16 bits count; a stored lesson of
    // 0 starts at lesson 1 from its top.
    struct Case {
        const char* what;
        const char16_t* lessonText;  // null: stored as a number
        DWORD lesson;
        DWORD position;
        int openedLesson;
        int top;
    } cases[] = {
        {"decimal string", u"12", 0, 4, 12, 4},
        {"a letter", u"x", 0, 4, 72, 4},
        {"number", nullptr, 40, 9, 40, 9},
        {"high bits dropped", nullptr, 0x10005, 0x20003, 5, 3},
        {"lesson 0", nullptr, 0, 9, 1, 0},
        {"lesson 0 as a string", u"0", 0, 9, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearSettings();
        if (c.lessonText)
            StoreString(u"Lesson", c.lessonText);
        else
            StoreNumber(u"Lesson", c.lesson);
        StoreNumber(u"LastPosition", c.position);
        Start();
        EXPECT_EQ(g_app.lesson, c.openedLesson);
        EXPECT_TRUE(ShowsLesson(c.openedLesson));
        EXPECT_EQ(Top(), c.top);
        int max, pos;
        ScrollBar(&max, &pos);
        EXPECT_EQ(pos, c.top);
        EXPECT_EQ(Boxes(), 0);
        Stop();
        EXPECT_EQ(StoredNumber(u"Lesson"), c.openedLesson);
        EXPECT_EQ(StoredNumber(u"LastPosition"), c.top);
    }
}

TEST_F(SettingsLifecycle, MissingLessonShowsAnEmptyViewUntilTheLessonChanges) {
    // Above 131 the steps wrap as computed: to 1, except Previous from 132.
    struct Case {
        DWORD stored;
        WORD command;
        int to;
    } cases[] = {{200, kCmdNextArticle, 1}, {200, kCmdPreviousArticle, 1}, {132, kCmdNextArticle, 1},
                 {132, kCmdPreviousArticle, 131}, {0xFFFF, kCmdNextArticle, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        SCOPED_TRACE(c.command);
        ClearSettings();
        MessageBoxClearLog();
        StoreNumber(u"Lesson", c.stored);
        StoreNumber(u"LastPosition", 6);
        Start();
        ASSERT_NE(g_app.mainWindow, nullptr);
        ASSERT_EQ(Boxes(), 1);
        const MessageBoxRecord& box = MessageBoxLog(nullptr)[0];
        EXPECT_EQ(std::u16string(box.text), u"Resource not found");
        EXPECT_EQ(std::u16string(box.caption), u"Error");
        EXPECT_EQ(box.type, (UINT)MB_ICONEXCLAMATION);
        EXPECT_EQ(box.owner, g_app.mainWindow);
        ASSERT_NE(g_app.view, nullptr);
        EXPECT_EQ(g_app.view->text, nullptr);
        EXPECT_EQ(g_app.lesson, c.stored);
        // An empty view takes input without moving.
        Send(WM_KEYDOWN, VK_NEXT, 0);
        Send(WM_KEYDOWN, VK_END, 0);
        Send(WM_VSCROLL, SB_PAGEDOWN, 0);
        Send(WM_LBUTTONDOWN, 0, MAKELPARAM(100, 500));
        Send(WM_COMMAND, kCmdBookmark, 0);
        EXPECT_EQ(g_app.lesson, c.stored);

        Send(WM_COMMAND, c.command, 0);
        EXPECT_EQ(g_app.lesson, c.to);
        EXPECT_TRUE(ShowsLesson(c.to));
        EXPECT_EQ(Top(), 0);
        EXPECT_EQ(Boxes(), 1);
        EXPECT_EQ(Stop(), 0);
        EXPECT_EQ(StoredNumber(u"Lesson"), c.to);
    }
}

TEST_F(SettingsLifecycle, LongFontNameAndSearchStringAreCut) {
    StoreString(u"FontName", u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");  // 40 units
    const std::string fifty(50, 'q');
    Store(u"SearchString", REG_BINARY, fifty.c_str(), 51);
    Start();
    EXPECT_EQ(std::u16string(g_app.font.face), u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
    EXPECT_EQ(std::u16string(g_app.view->font.face), u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
    EXPECT_EQ(std::string(g_app.searchString), std::string(33, 'q'));
    Stop();
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(Stored(u"FontName", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(bytes.size(), 64u);
    ASSERT_TRUE(Stored(u"SearchString", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(bytes, std::string(33, 'q') + std::string(1, '\0'));
}

TEST_F(SettingsLifecycle, FontNumbersAndEveryFlagsBitSurviveARun) {
    struct Case {
        uint32_t flags;
    } cases[] = {
        {kDefaultFlags & ~0x40040000u},  // the bits nothing reads, cleared
        {kDefaultFlags | 0x0800012Fu},   // bits nothing reads, set
        {0xFFFFFFFFu},
        {0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        ClearSettings();
        StoreNumber(u"Flags", c.flags);
        StoreNumber(u"FontSize", (DWORD)-20);
        StoreNumber(u"FontAsciiBase", 0x5D0);
        Start();
        ASSERT_NE(g_app.view, nullptr);
        EXPECT_EQ(g_app.view->font.size, -20);
        EXPECT_EQ(g_app.font.alphabetBase, 0x5D0);
        // Paging moves the view whatever the flags.
        ShowAt(10);
        Send(WM_KEYDOWN, VK_NEXT, 0);
        EXPECT_GT(Top(), 10);
        Stop();
        EXPECT_EQ(StoredNumber(u"Flags"), c.flags);
        EXPECT_EQ(StoredNumber(u"FontSize"), 0xFFFFFFECu);
        EXPECT_EQ(StoredNumber(u"FontAsciiBase"), 0x5D0);
    }
}

TEST_F(SettingsLifecycle, WithoutAViewLastPositionIsNotWritten) {
    // Find the allocation of the view itself: the first failure that leaves the window
    // without a view and shows nothing.
    bool found = false;
    for (int n = 1; n <= 100 && !found; ++n) {
        ClearSettings();
        MessageBoxClearLog();
        StoreNumber(u"LastPosition", 9);
        HeapFailAfter(n);
        Start();
        HeapFailAfter(0);
        found = g_app.mainWindow && !g_app.view && Boxes() == 0;
        if (!found) Stop();
    }
    ASSERT_TRUE(found);
    // Every handler copes with the missing view; a lesson change still counts.
    Send(WM_KEYDOWN, VK_NEXT, 0);
    Send(WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(Send(WM_VSCROLL, SB_LINEDOWN, 0), 1);
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100));
    InvalidateRect(g_app.mainWindow, nullptr, TRUE);
    MoveWindow(g_app.mainWindow, 0, 26, 300, 300, TRUE);
    Pump();
    Send(WM_COMMAND, kCmdNextArticle, 0);
    EXPECT_EQ(g_app.lesson, 2);
    Send(WM_COMMAND, kCmdCopy, 0);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(StoredNumber(u"LastPosition"), 9);
    EXPECT_EQ(StoredNumber(u"Lesson"), 2);
    EXPECT_EQ(StoredNumber(u"Flags"), kDefaultFlags);
}

TEST_F(SettingsLifecycle, SavedOnceWhenTheWindowOutlivesTheSave) {
    // The out-of-memory exit saves while the window still exists; it ends later.
    StoreNumber(u"Lesson", 12);
    Start();
    ShowAt(20);
    SaveAndQuit();
    Pump();
    EXPECT_EQ(quitCode_, 0);
    EXPECT_EQ(g_app.view, nullptr);
    EXPECT_EQ(StoredNumber(u"LastPosition"), 20);
    ASSERT_TRUE(IsWindow(g_app.mainWindow));
    Send(WM_KEYDOWN, VK_NEXT, 0);
    Send(WM_VSCROLL, SB_PAGEDOWN, 0);
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(100, 500));
    MoveWindow(g_app.mainWindow, 0, 26, 300, 300, TRUE);
    InvalidateRect(g_app.mainWindow, nullptr, TRUE);
    Pump();
    Send(WM_COMMAND, kCmdNextArticle, 0);
    EXPECT_EQ(g_app.lesson, 13);
    EXPECT_EQ(Stop(), 0);
    // The second exit posts the quit message only.
    EXPECT_EQ(StoredNumber(u"Lesson"), 12);
    EXPECT_EQ(StoredNumber(u"LastPosition"), 20);
}

TEST_F(SettingsLifecycle, RunningOutOfMemoryWhileLoadingKeepsTheStoredSettings) {
    // The first allocation of the start is the buffer for the stored face name.
    const DWORD flags = 0x91100040;
    StoreNumber(u"Flags", flags);
    StoreNumber(u"Lesson", 12);
    StoreString(u"FontName", u"Tahoma");
    const BYTE list[] = {7, 0, 0, 0};
    Store(u"Bookmarks", REG_BINARY, list, 4);
    HeapFailAfter(1);
    Start();
    HeapFailAfter(0);
    ASSERT_GE(Boxes(), 1);
    EXPECT_EQ(BoxText(0), u"There is not enough memory, aborting");
    EXPECT_EQ(quitCode_, 0);
    Stop();
    // Nothing was loaded yet when the exit ran: what it writes must not replace the
    // stored values with blanks.
    EXPECT_EQ(StoredNumber(u"Flags"), flags);
    EXPECT_EQ(StoredNumber(u"Lesson"), 12);
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(Stored(u"Bookmarks", &type, &bytes));
    EXPECT_EQ(bytes, Bytes("\x07\0\0\0", 4));
    ASSERT_TRUE(Stored(u"FontName", &type, &bytes));
    EXPECT_EQ(bytes.size(), 14u);
}
