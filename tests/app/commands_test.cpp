// The command table, the lesson steps, the Bookmark command and the two kinds of bar.
#include <cstring>
#include <string>
#include <vector>

#include "app/commands.h"
#include "bookmarks/bookmarks.h"
#include "platform/dump.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tests/app/frame_window_fixture.h"
#include "view/text_view.h"

namespace {

using Commands = FrameWindowTest;

// The stored form of a bookmark list: 16-bit little-endian entries and a 0.
std::vector<BYTE> BookmarkBytes(std::vector<uint16_t> lessons) {
    lessons.push_back(0);
    std::vector<BYTE> bytes;
    for (uint16_t n : lessons) bytes.insert(bytes.end(), {(BYTE)(n & 0xFF), (BYTE)(n >> 8)});
    return bytes;
}

}  // namespace

TEST_F(Commands, LessonStepsWrapAroundAndStartAtTheTop) {
    struct Case {
        const char* what;
        uint16_t from;
        UINT msg;
        WPARAM wParam;
        int to;
    } cases[] = {
        {"Next on the last", 131, WM_COMMAND, kCmdNextArticle, 1},
        {"Previous on the first", 1, WM_COMMAND, kCmdPreviousArticle, 131},
        {"Next", 40, WM_COMMAND, kCmdNextArticle, 41},
        {"Previous", 40, WM_COMMAND, kCmdPreviousArticle, 39},
        {"right key", 5, WM_KEYDOWN, VK_RIGHT, 6},
        {"left key", 5, WM_KEYDOWN, VK_LEFT, 4},
        {"right key on the last", 131, WM_KEYDOWN, VK_RIGHT, 1},
        {"left key on the first", 1, WM_KEYDOWN, VK_LEFT, 131},
        {"an accelerator's notification code", 40, WM_COMMAND, MAKEWPARAM(kCmdNextArticle, 1), 41},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreNumber(u"Lesson", c.from);
        StoreNumber(u"LastPosition", 3);
        Start();
        ASSERT_TRUE(ShowsLesson(c.from));
        ASSERT_EQ(Top(), 3);
        EXPECT_EQ(Send(c.msg, c.wParam, 0), 0);
        EXPECT_EQ(g_app.lesson, c.to);
        EXPECT_TRUE(ShowsLesson(c.to));
        EXPECT_EQ(Top(), 0);
        EXPECT_EQ(g_app.lastPosition, 0);
        int max, pos;
        ScrollBar(&max, &pos);
        EXPECT_EQ(max, g_app.view->maxTopLine);
        EXPECT_EQ(pos, 0);
        EXPECT_EQ(Boxes(), 0);
        Stop();
        EXPECT_EQ(StoredNumber(u"Lesson"), c.to);
        EXPECT_EQ(StoredNumber(u"LastPosition"), 0);
    }
}

TEST_F(Commands, ChoosingTheShownLessonChangesNothing) {
    // The Choose Section dialog answers with the lesson it was given.
    Start();
    for (WORD id : {kCmdChooseArticle, kCmdChooseArticleToo}) {
        SCOPED_TRACE(id);
        ShowAt(30);
        EXPECT_EQ(OnCommand(g_app.mainWindow, id), 0);
        EXPECT_EQ(Send(WM_COMMAND, id, 0), 0);
        EXPECT_EQ(g_app.lesson, 1);
        EXPECT_EQ(Top(), 30);
        EXPECT_EQ(Boxes(), 0);
    }
}

TEST_F(Commands, MenuBarButtonsAndUnknownIdsGoToTheDefaultProcedure) {
    Start();
    for (WORD id : {(WORD)kCmdFileMenu, (WORD)kCmdGoMenu, (WORD)0, (WORD)1, (WORD)108, (WORD)999, (WORD)40008, (WORD)0xFFFF}) {
        SCOPED_TRACE(id);
        ShowAt(30);
        EXPECT_EQ(OnCommand(g_app.mainWindow, id), 1);
        EXPECT_EQ(Send(WM_COMMAND, id, 0), 0);
        EXPECT_TRUE(IsWindow(g_app.mainWindow));
        EXPECT_EQ(g_app.lesson, 1);
        EXPECT_EQ(Top(), 30);
        EXPECT_EQ(Boxes(), 0);
    }
}


TEST_F(Commands, LessonChangesRefreshTheBookmarkCheck) {
    std::vector<BYTE> list = BookmarkBytes({7, 9});
    Store(u"Bookmarks", REG_BINARY, list.data(), (DWORD)list.size());
    StoreNumber(u"Lesson", 7);
    Start();
    EXPECT_EQ(BookmarkCheck(), (UINT)MF_CHECKED);
    struct Step {
        UINT msg;
        WPARAM wParam;
        int lesson;
        UINT check;
    } steps[] = {
        {WM_COMMAND, kCmdNextArticle, 8, MF_UNCHECKED}, {WM_KEYDOWN, VK_RIGHT, 9, MF_CHECKED},
        {WM_KEYDOWN, VK_LEFT, 8, MF_UNCHECKED},          {WM_COMMAND, kCmdPreviousArticle, 7, MF_CHECKED},
    };
    for (const Step& s : steps) {
        Send(s.msg, s.wParam, 0);
        ASSERT_EQ(g_app.lesson, s.lesson);
        EXPECT_EQ(BookmarkCheck(), s.check) << "lesson " << s.lesson;
    }
}

TEST_F(Commands, BookmarkAddsAndAsksBeforeRemoving) {
    StoreNumber(u"Lesson", 5);
    Start();
    ASSERT_EQ(BookmarkCheck(), (UINT)MF_UNCHECKED);
    // answer 0: no question expected.
    struct Step {
        const char* what;
        int answer;
        UINT check;
    } steps[] = {
        {"add", 0, MF_CHECKED},
        {"No keeps it", IDNO, MF_CHECKED},
        {"No asks again; Yes removes", IDYES, MF_UNCHECKED},
        {"add again", 0, MF_CHECKED},
        {"Yes asks again; Cancel removes", IDCANCEL, MF_UNCHECKED},
        {"add after Cancel", 0, MF_CHECKED},
        {"removed without asking after Cancel", 0, MF_UNCHECKED},
    };
    int asked = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.answer) MessageBoxQueueAnswer(s.answer);
        EXPECT_EQ(Send(WM_COMMAND, kCmdBookmark, 0), 0);
        EXPECT_EQ(BookmarkCheck(), s.check);
        EXPECT_EQ(IsBookmarked(), s.check == MF_CHECKED ? 1 : 0);
        if (s.answer) ++asked;
        ASSERT_EQ(Boxes(), asked);
        if (!s.answer) continue;
        const MessageBoxRecord& box = MessageBoxLog(nullptr)[asked - 1];
        EXPECT_EQ(std::u16string(box.text), u"Remove Bookmark?\n\nCancel - Don't ask again");
        EXPECT_EQ(std::u16string(box.caption), u"Bookmark");
        EXPECT_EQ(box.type, (UINT)MB_YESNOCANCEL);
        EXPECT_EQ(box.owner, g_app.mainWindow);
        EXPECT_EQ(box.result, s.answer);
    }
    EXPECT_EQ(g_app.lesson, 5);
}

TEST_F(Commands, BookmarksAreStoredInTheOrderAdded) {
    StoreNumber(u"Lesson", 7);
    Start();
    Send(WM_COMMAND, kCmdBookmark, 0);
    for (int i = 0; i < 4; ++i) Send(WM_COMMAND, kCmdPreviousArticle, 0);
    ASSERT_EQ(g_app.lesson, 3);
    Send(WM_COMMAND, kCmdBookmark, 0);
    EXPECT_EQ(Stop(), 0);
    DWORD type;
    std::string bytes;
    ASSERT_TRUE(Stored(u"Bookmarks", &type, &bytes));
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(bytes, std::string("\x07\0\x03\0\0\0", 6));

    // Removing them all stores the empty list.
    Start();
    EXPECT_EQ(g_app.lesson, 3);
    MessageBoxQueueAnswer(IDYES);
    Send(WM_COMMAND, kCmdBookmark, 0);
    Send(WM_COMMAND, kCmdNextArticle, 0);
    Send(WM_COMMAND, kCmdNextArticle, 0);
    Send(WM_COMMAND, kCmdNextArticle, 0);
    Send(WM_COMMAND, kCmdNextArticle, 0);
    ASSERT_EQ(g_app.lesson, 7);
    EXPECT_EQ(BookmarkCheck(), (UINT)MF_CHECKED);
    MessageBoxQueueAnswer(IDYES);
    Send(WM_COMMAND, kCmdBookmark, 0);
    EXPECT_EQ(Stop(), 0);
    ASSERT_TRUE(Stored(u"Bookmarks", &type, &bytes));
    EXPECT_EQ(bytes, std::string("\0\0", 2));
}

TEST_F(Commands, ToolbarButtonsCarryTheirTooltipsAndCommands) {
    Start();
    struct Button {
        int id;
        const char* tooltip;
    } buttons[] = {{110, "Previous Article"}, {119, "Choose Article"}, {109, "Next Article"},
                   {40006, "Choose Font"},    {116, "Search"},         {117, "Search Again"}};
    std::string dump = DumpWindowTree();
    size_t last = 0;
    for (const Button& b : buttons) {
        std::string key = "button id=" + std::to_string(b.id) + " \"" + b.tooltip + "\"";
        size_t at = dump.find(key, last);
        EXPECT_NE(at, std::string::npos) << key << " in order in\n" << dump;
        if (at != std::string::npos) last = at;
    }
    RECT next, previous;
    ASSERT_TRUE(ButtonRect(kCmdNextArticle, "Next Article", &next));
    ASSERT_TRUE(ButtonRect(kCmdPreviousArticle, "Previous Article", &previous));
    Tap(next);
    Tap(next);
    EXPECT_EQ(g_app.lesson, 3);
    Tap(previous);
    EXPECT_EQ(g_app.lesson, 2);
    EXPECT_TRUE(ShowsLesson(2));
}

namespace {

// The layer started as the program starts it, with a shell version of its own.
class CommandBar : public FrameWindowTest {
protected:
    void TearDown() override {
        Stop();
        // Back to the default version for the tests that follow in this program.
        InitLayer(nullptr);
        FrameWindowTest::TearDown();
    }
    static void InitLayer(const char* version) {
        PlatformShutdown();
        std::vector<std::string> args = {"velmora", "--headless"};
        if (version) args.insert(args.end(), {"--shell-version", version});
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int argc = (int)args.size();
        ASSERT_EQ(PlatformInit(&argc, argv.data()), PLATFORM_RUN);
    }
};

std::string ClassOf(HWND hwnd) {
    WCHAR name[64] = {};
    GetClassNameW(hwnd, name, 64);
    std::string out;
    for (WCHAR* p = name; *p; ++p) out += (char)*p;
    return out;
}

}  // namespace

TEST_F(CommandBar, BarKindFollowsTheShellVersionAndMenuBarOnBottom) {
    struct Case {
        const char* version;
        DWORD major, minor;
        int menuBarOnBottom;
        int mode;
    } cases[] = {
        {"4.20", 4, 20, 0, 0}, {"4.20", 4, 20, 1, 1}, {"4.21", 4, 21, 0, 1}, {"4.21", 4, 21, 1, 1},
        {"3.0", 3, 0, 0, 0},   {"4.0", 4, 0, 1, 1},   {"5.0", 5, 0, 0, 1},   {"5.2", 5, 2, 1, 1},
        {"4.99", 4, 99, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " MenuBarOnBottom " + std::to_string(c.menuBarOnBottom));
        RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
        InitLayer(c.version);
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof version;
        ASSERT_TRUE(GetVersionExW(&version));
        EXPECT_EQ(version.dwMajorVersion, c.major);
        EXPECT_EQ(version.dwMinorVersion, c.minor);
        BootValues boot;
        boot.menuBarOnBottom = c.menuBarOnBottom;
        Start(boot);
        ASSERT_NE(g_app.view, nullptr);
        ASSERT_NE(g_app.barWindow, nullptr);
        EXPECT_EQ(g_app.menuBarMode, c.mode);
        EXPECT_EQ(g_app.barHeight, 26);
        RECT client;
        GetClientRect(g_app.mainWindow, &client);
        EXPECT_EQ(g_app.view->y, c.mode ? 0 : 26);
        EXPECT_EQ(g_app.view->height, client.bottom - 26);
        if (c.mode == 0) {
            // The command bar is a child across the top of the client area.
            EXPECT_EQ(ClassOf(g_app.barWindow), "HHCommandBar");
            EXPECT_EQ(GetParent(g_app.barWindow), g_app.mainWindow);
            EXPECT_EQ(GetDlgCtrlID(g_app.barWindow), 1);
        } else {
            EXPECT_EQ(ClassOf(g_app.barWindow), "HHMenuBar");
        }
        // The Bookmark item is found in either bar.
        EXPECT_EQ(BookmarkCheck(), (UINT)MF_UNCHECKED);
        Send(WM_COMMAND, kCmdBookmark, 0);
        EXPECT_EQ(BookmarkCheck(), (UINT)MF_CHECKED);
        // A tap at the top of the view pages back, not forward, in both modes.
        ShowAt(50);
        Send(WM_LBUTTONDOWN, 0, MAKELPARAM(5, g_app.view->y + 2));
        EXPECT_LT(Top(), 50);
        Stop();
    }
}

TEST_F(CommandBar, CloseAdornmentOnlyOnTheCommandBarInFullScreen) {
    struct Case {
        const char* version;
        int fullScreen;
        bool close;
    } cases[] = {{"4.20", 1, true}, {"4.20", 0, false}, {"5.0", 1, false}, {"5.0", 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " FullScreen " + std::to_string(c.fullScreen));
        InitLayer(c.version);
        BootValues boot;
        boot.fullScreen = c.fullScreen;
        Start(boot);
        RECT close;
        EXPECT_EQ(ButtonRect(0, "\xC3\x97", &close), c.close) << DumpWindowTree();
        Stop();
    }
}

TEST_F(CommandBar, FullScreenCommandBarClosesTheProgramTheOrderlyWay) {
    InitLayer("4.20");
    BootValues boot;
    boot.fullScreen = 1;
    Start(boot);
    ASSERT_NE(g_app.view, nullptr);
    // Moved up to the top of the screen; the view starts below the bar and reaches the
    // old bottom edge.
    RECT window;
    GetWindowRect(g_app.mainWindow, &window);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.bottom, 640);
    EXPECT_EQ(g_app.view->y, 26);
    EXPECT_EQ(g_app.view->height, 640 - 26);
    RECT close;
    ASSERT_TRUE(ButtonRect(0, "\xC3\x97", &close));
    HWND main = g_app.mainWindow;
    Tap(close);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(quitCode_, 0);
    EXPECT_EQ(StoredNumber(u"Flags"), kDefaultFlags);
    EXPECT_EQ(StoredNumber(u"Lesson"), 1);
}
