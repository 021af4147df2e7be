// The shell's menu bar and the command bar: built from resources, their submenus and
// check marks, toolbar buttons and dropdown menus driven by taps and keys.
#include <gtest/gtest.h>

#include "platform/commandbar.h"
#include "platform/menu.h"
#include "platform/resource.h"
#include "platform/shell.h"
#include "shell_test_fixture.h"

namespace {

// A menu template: the header, then items; `end` marks the last item of a level.
struct MenuBuilder {
    std::vector<BYTE> bytes{0, 0, 0, 0};
    void Word(WORD w) {
        bytes.push_back((BYTE)(w & 0xFF));
        bytes.push_back((BYTE)(w >> 8));
    }
    void Text(const char16_t* s) {
        for (; *s; ++s) Word(*s);
        Word(0);
    }
    void Popup(const char16_t* text, bool end) {
        Word(MF_POPUP | (end ? MF_END : 0));
        Text(text);
    }
    void Item(WORD id, const char16_t* text, bool end, WORD flags = 0) {
        Word(flags | (end ? MF_END : 0));
        Word(id);
        Text(text);
    }
};

std::vector<BYTE> Utf16Bytes(const char16_t* s) {
    std::vector<BYTE> out;
    for (; *s; ++s) {
        out.push_back((BYTE)(*s & 0xFF));
        out.push_back((BYTE)(*s >> 8));
    }
    return out;
}

std::vector<BYTE> Words(std::initializer_list<WORD> words) {
    std::vector<BYTE> out;
    for (WORD w : words) {
        out.push_back((BYTE)(w & 0xFF));
        out.push_back((BYTE)(w >> 8));
    }
    return out;
}

// Menu 102 ("&File", "&Go" with a nested "More" popup), menu-bar resource 102,
// strings 302 "Go" and 303 "File"; menu-bar resource 103 names a popup that is not there.
struct Resources {
    std::vector<BYTE> menu, bar, badBar, shortBar, go, file;
    std::vector<ResourceEntry> table;
    Resources() {
        MenuBuilder m;
        m.Popup(u"&File", false);
        m.Item(40004, u"&About", false);
        m.Item(119, u"&Choose Article\bCtrl+D", false);
        m.Item(40005, u"E&xit", true);
        m.Popup(u"&Go", true);
        m.Item(119, u"&Index\bCtrl+D", false);
        m.Item(123, u"&Bookmark", false);
        m.Item(0, u"", false);
        m.Popup(u"More", false);
        m.Item(555, u"Deep", true);
        m.Item(116, u"&Search\bAlt+F3", true);
        menu = m.bytes;
        bar = Words({102, 2, 0xFFFE, 40001, 4, 24, 303, 0, 0, 0xFFFE, 40002, 4, 24, 302, 0, 1});
        badBar = Words({102, 1, 0xFFFE, 40001, 4, 24, 303, 0, 7});
        shortBar = Words({102, 2, 0xFFFE, 40001, 4, 24, 303, 0, 0});
        go = Utf16Bytes(u"Go");
        file = Utf16Bytes(u"File");
        table = {
            {RT_MENU, 102, menu.data(), (DWORD)menu.size()},
            {RT_RCDATA, 102, bar.data(), (DWORD)bar.size()},
            {RT_RCDATA, 103, badBar.data(), (DWORD)badBar.size()},
            {RT_RCDATA, 104, shortBar.data(), (DWORD)shortBar.size()},
            {RT_STRING, 302, go.data(), (DWORD)go.size()},
            {RT_STRING, 303, file.data(), (DWORD)file.size()},
        };
    }
};

Resources& Res() {
    static Resources r;
    return r;
}

const WCHAR* const kTips[3] = {u"", u"Previous Article", u"Next Article"};
const TBBUTTON kButtons[2] = {
    {0, 110, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
    {1, 109, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, -1},
};

class MenuBar : public ::testing::Test {
protected:
    HWND owner = nullptr;
    HWND bar = nullptr;
    void SetUp() override {
        ShellTestStart();
        ResourceInstallTable(Res().table.data(), Res().table.size());
        owner = MakeOwner();
        SHMENUBARINFO info{sizeof info, owner, SHCMBF_HIDESIPBUTTON, 102, nullptr, 0, 0, nullptr};
        ASSERT_TRUE(SHCreateMenuBar(&info));
        bar = info.hwndMB;
        SendMessageW(bar, TB_SETTOOLTIPS, 3, (LPARAM)kTips);
        SendMessageW(bar, TB_ADDBUTTONS, 2, (LPARAM)kButtons);
        Drain();
    }
    void TearDown() override {
        PlatformShutdown();
        ResourceInstallTable(nullptr, 0);
    }
    RECT Button(int index) {
        RECT r;
        SendMessageW(bar, TB_GETITEMRECT, (WPARAM)index, (LPARAM)&r);
        MapWindowPoints(bar, nullptr, (POINT*)&r, 2);
        return r;
    }
};

TEST_F(MenuBar, SitsAtTheBottomWithItsButtonsInTheDump) {
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.top, 640 - 26);
    EXPECT_EQ(r.bottom, 640);
    EXPECT_EQ(r.right - r.left, 480);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 4);
    RECT file, go, prev;
    ASSERT_TRUE(DumpRect("button id=40001 \"File\"", &file));
    ASSERT_TRUE(DumpRect("button id=40002 \"Go\"", &go));
    ASSERT_TRUE(DumpRect("button id=110 \"Previous Article\"", &prev));
    EXPECT_TRUE(DumpRect("button id=109 \"Next Article\"", &r));
    // Left to right: the dropdowns, then the toolbar buttons.
    EXPECT_EQ(file.left, 0);
    EXPECT_EQ(go.left, file.right);
    EXPECT_GT(prev.left, go.right);
    EXPECT_EQ(file.top, 640 - 24);
    // Narrowed by its owner, it keeps that margin on a new screen.
    MoveWindow(bar, 0, 640 - 26, 480 - 13, 26, TRUE);
    InputResize(600, 800);
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.top, 800 - 26);
    EXPECT_EQ(r.right, 600 - 13);
    InputResize(480, 640);
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.right, 480 - 13);
    // The bar does not take the activation from its owner.
    Tap(Button(2));
    Drain();
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(MenuBar, SubMenusAndCheckMarksByCommandReachNestedItems) {
    HMENU go = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40002);
    HMENU file = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40001);
    ASSERT_NE(go, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40003), 0);
    EXPECT_EQ(GetMenuItemCount(go), 5);
    EXPECT_EQ(GetMenuItemCount(file), 3);
    struct Case {
        HMENU menu;
        UINT item, flags;
        DWORD before;
        UINT state;  // GetMenuState afterwards, by the same item
    };
    const Case cases[] = {
        {go, 123, MF_BYCOMMAND | MF_CHECKED, MF_UNCHECKED, MF_CHECKED},
        {go, 123, MF_BYCOMMAND | MF_CHECKED, MF_CHECKED, MF_CHECKED},
        {go, 123, MF_BYCOMMAND | MF_UNCHECKED, MF_CHECKED, MF_UNCHECKED},
        {go, 555, MF_BYCOMMAND | MF_CHECKED, MF_UNCHECKED, MF_CHECKED},  // inside "More"
        {go, 1, MF_BYPOSITION | MF_CHECKED, MF_UNCHECKED, MF_CHECKED},   // "&Bookmark" again
        {go, 2, MF_BYPOSITION | MF_UNCHECKED, MF_UNCHECKED, MF_SEPARATOR},
        {file, 123, MF_BYCOMMAND | MF_CHECKED, (DWORD)-1, (UINT)-1},      // not in this popup
        {go, 9, MF_BYPOSITION | MF_CHECKED, (DWORD)-1, (UINT)-1},
        {nullptr, 123, MF_BYCOMMAND | MF_CHECKED, (DWORD)-1, (UINT)-1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckMenuItem(c.menu, c.item, c.flags), c.before) << c.item;
        EXPECT_EQ(GetMenuState(c.menu, c.item, c.flags & MF_BYPOSITION), c.state) << c.item;
    }
    // A popup reports its item count in the high byte.
    EXPECT_EQ(GetMenuState(go, 3, MF_BYPOSITION), (1u << 8) | MF_POPUP);
    // The menus go with the bar.
    DestroyWindow(bar);
    EXPECT_EQ(GetMenuItemCount(go), -1);
    EXPECT_EQ(CheckMenuItem(go, 123, MF_CHECKED), (DWORD)-1);
}

TEST_F(MenuBar, MissingOrMalformedResourcesFail) {
    struct Case {
        UINT id;
        const char* why;
    };
    const Case cases[] = {{999, "no resource"}, {103, "popup index past the menu"}, {104, "two buttons, one given"}};
    for (const Case& c : cases) {
        SHMENUBARINFO info{sizeof info, owner, 0, c.id, nullptr, 0, 0, (HWND)1};
        EXPECT_FALSE(SHCreateMenuBar(&info)) << c.why;
        EXPECT_EQ(info.hwndMB, nullptr) << c.why;
    }
    // A template cut short is refused whole.
    std::vector<BYTE> cut(Res().menu.begin(), Res().menu.begin() + 20);
    ResourceEntry table[] = {{RT_MENU, 7, cut.data(), (DWORD)cut.size()}};
    ResourceInstallTable(table, 1);
    EXPECT_EQ(LoadMenuW(nullptr, MAKEINTRESOURCEW(7)), nullptr);
}

TEST_F(MenuBar, AToolbarTapSendsItsCommandAndShowsTheTooltipWhileHeld) {
    RECT next = Button(3);
    int x = (next.left + next.right) / 2, y = (next.top + next.bottom) / 2;
    InputMouse(WM_LBUTTONDOWN, x, y);
    Drain();
    HWND tip = FindWindowW(u"HHToolTip", nullptr);
    ASSERT_NE(tip, nullptr);
    WCHAR text[64];
    GetWindowTextW(tip, text, 64);
    EXPECT_EQ(std::u16string(text), u"Next Article");
    EXPECT_TRUE(Owner().got.empty());
    InputMouse(WM_LBUTTONUP, x, y);
    Drain();
    EXPECT_EQ(FindWindowW(u"HHToolTip", nullptr), nullptr);
    std::vector<Received> expected = {{WM_COMMAND, 109, (LPARAM)bar}};
    EXPECT_EQ(Owner().got, expected);
    // Released away from the button: nothing.
    Owner().got.clear();
    InputMouse(WM_LBUTTONDOWN, x, y);
    InputMouse(WM_MOUSEMOVE, x, y - 60);
    InputMouse(WM_LBUTTONUP, x, y - 60);
    Drain();
    EXPECT_TRUE(Owner().got.empty());
}

// Opens "Go" with a tap and runs `actions` while its popup is open.
std::string RunGoMenu(HWND bar, std::vector<std::function<void()>> actions) {
    RECT go;
    SendMessageW(bar, TB_GETITEMRECT, 1, (LPARAM)&go);
    MapWindowPoints(bar, nullptr, (POINT*)&go, 2);
    std::string seen;
    // The release of the opening tap comes first; it lands on the bar and chooses nothing.
    Owner().onIdle.push_back([go] { InputMouse(WM_LBUTTONUP, (go.left + go.right) / 2, go.top + 5); });
    // An idle turn that queues nothing ends in the orderly close: the dump goes with
    // the first action.
    for (size_t i = 0; i < actions.size(); ++i) {
        auto a = actions[i];
        if (i == 0) Owner().onIdle.push_back([&seen, a] { seen = DumpWindowTree(); a(); });
        else Owner().onIdle.push_back(a);
    }
    InputMouse(WM_LBUTTONDOWN, (go.left + go.right) / 2, go.top + 5);
    Drain();
    return seen;
}

TEST_F(MenuBar, AMenuItemChosenByTapsSendsItsCommand) {
    HMENU go = (HMENU)SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 40002);
    CheckMenuItem(go, 123, MF_BYCOMMAND | MF_CHECKED);
    std::string seen = RunGoMenu(bar, {[] {
                                     RECT item, popup;
                                     ASSERT_TRUE(DumpRect("item id=116", &item));
                                     // The popup opens upwards from the bar.
                                     ASSERT_TRUE(DumpRect("HHMenuPopup", &popup));
                                     EXPECT_EQ(popup.bottom, 640 - 26);
                                     Tap(item);
                                 }});
    EXPECT_NE(seen.find("item id=123 \"&Bookmark\""), std::string::npos) << seen;
    EXPECT_NE(seen.find("\"&Bookmark\" "), std::string::npos);
    EXPECT_NE(seen.find("checked"), std::string::npos);
    EXPECT_NE(seen.find("item id=0 \"\""), std::string::npos);
    EXPECT_NE(seen.find("separator"), std::string::npos);
    EXPECT_NE(seen.find("item id=116 \"&Search\\tAlt+F3\""), std::string::npos);
    EXPECT_TRUE(seen.find("HHMenuPopup") != std::string::npos);
    std::vector<Received> expected = {{WM_COMMAND, 116, 0}};
    EXPECT_EQ(Owner().got, expected);
    EXPECT_EQ(FindWindowW(u"HHMenuPopup", nullptr), nullptr);
}

TEST_F(MenuBar, PopupKeysAndDismissal) {
    struct Case {
        const char* name;
        std::vector<std::function<void()>> actions;
        std::vector<Received> expected;
    };
    auto key = [](int vk) { return [vk] { InputKey(vk, true); }; };
    auto tapAt = [](int x, int y) { return [x, y] { InputMouse(WM_LBUTTONDOWN, x, y); }; };
    const Case cases[] = {
        // Down steps to the first item, then over the separator and the popup to "&Search".
        {"down down return", {key(VK_DOWN), key(VK_DOWN), key(VK_RETURN)}, {{WM_COMMAND, 123, 0}}},
        {"up wraps to the last", {key(VK_UP), key(VK_RETURN)}, {{WM_COMMAND, 116, 0}}},
        {"down x3 skips the separator", {key(VK_DOWN), key(VK_DOWN), key(VK_DOWN), key(VK_RETURN)},
         {{WM_COMMAND, 116, 0}}},
        {"escape", {key(VK_ESCAPE)}, {}},
        {"return with nothing chosen", {key(VK_RETURN), key(VK_ESCAPE)}, {}},
        {"a tap outside", {tapAt(300, 100)}, {}},
    };
    for (const Case& c : cases) {
        Owner().got.clear();
        Owner().onIdle.clear();
        RunGoMenu(bar, c.actions);
        Drain();
        EXPECT_EQ(Owner().got, c.expected) << c.name;
        EXPECT_EQ(FindWindowW(u"HHMenuPopup", nullptr), nullptr) << c.name;
    }
}

TEST_F(MenuBar, TheOrderlyCloseCancelsAnOpenPopupFirst) {
    bool cancelled = false;
    RunGoMenu(bar, {[&cancelled] {
        InputClose();
        cancelled = FindWindowW(u"HHMenuPopup", nullptr) != nullptr;
    }});
    Drain();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(Owner().got.empty());  // no WM_CLOSE: the close only ended the menu
    EXPECT_TRUE(IsWindow(owner));
}

TEST(CommandBar, MenuButtonsToolbarAndTheCloseAdornment) {
    ShellTestStart();
    ResourceInstallTable(Res().table.data(), Res().table.size());
    HWND owner = MakeOwner();
    HWND bar = CommandBar_Create(nullptr, owner, 1);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(CommandBar_Height(bar), 26);
    EXPECT_EQ(GetDlgCtrlID(bar), 1);
    EXPECT_TRUE(CommandBar_InsertMenubar(bar, nullptr, 102, 0));
    HMENU menu = CommandBar_GetMenu(bar, 0);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(CheckMenuItem(menu, 555, MF_BYCOMMAND | MF_CHECKED), (DWORD)MF_UNCHECKED);
    SendMessageW(bar, TB_SETTOOLTIPS, 3, (LPARAM)kTips);
    EXPECT_EQ(CommandBar_AddBitmap(bar, nullptr, 114, 2, 16, 16), -1);  // no such bitmap here
    SendMessageW(bar, TB_ADDBUTTONS, 2, (LPARAM)kButtons);
    EXPECT_TRUE(CommandBar_AddAdornments(bar, 0, 0));
    EXPECT_TRUE(CommandBar_Show(bar, TRUE));
    Drain();
    RECT r, close, file;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.top, 26);  // the top of the owner's client area
    ASSERT_TRUE(DumpRect("button id=0 \"&File\"", &file));
    ASSERT_TRUE(DumpRect("button id=0 \"\u00D7\"", &close));
    EXPECT_EQ(close.right, 480 - 2);
    EXPECT_TRUE(DumpRect("button id=110 \"Previous Article\"", &r));
    Tap(close);
    Drain();
    std::vector<Received> expected = {{WM_CLOSE, 0, 0}};
    EXPECT_EQ(Owner().got, expected);
    PlatformShutdown();
    ResourceInstallTable(nullptr, 0);
}

}  // namespace
