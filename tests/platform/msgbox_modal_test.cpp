// The message box the shell draws: its own loop with the owner disabled, keys, taps,
// the orderly close and a WM_QUIT taken inside it.
#include <gtest/gtest.h>

#include "platform/msgbox.h"
#include "platform/shell_internal.h"
#include "shell_test_fixture.h"

namespace {

class ModalBox : public ::testing::Test {
protected:
    HWND owner = nullptr;
    void SetUp() override {
        ShellTestStart();
        MessageBoxClearLog();
        MessageBoxSetHandler(MessageBoxModal);
        owner = MakeOwner();
        Drain();
    }
    void TearDown() override {
        MessageBoxSetHandler(nullptr);
        PlatformShutdown();
    }
};

std::function<void()> Key(int vk) {
    return [vk] { InputKey(vk, true); };
}

TEST_F(ModalBox, KeysAnswer) {
    struct Case {
        UINT type;
        std::vector<std::function<void()>> actions;
        int expected;
    };
    const Case cases[] = {
        {MB_YESNOCANCEL, {Key(VK_RETURN)}, IDYES},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, {Key(VK_RETURN)}, IDNO},
        {MB_YESNOCANCEL, {Key(VK_ESCAPE)}, IDCANCEL},
        {MB_OK | MB_ICONEXCLAMATION, {Key(VK_ESCAPE)}, IDOK},
        {MB_OK, {Key(VK_RETURN)}, IDOK},
        {MB_OKCANCEL, {Key(VK_RIGHT), Key(VK_RETURN)}, IDCANCEL},
        // Yes/No has no Cancel: Escape does nothing.
        {MB_YESNO | MB_ICONQUESTION, {Key(VK_ESCAPE), Key(VK_RIGHT), Key(VK_RETURN)}, IDNO},
    };
    for (const Case& c : cases) {
        Owner().onIdle.assign(c.actions.begin(), c.actions.end());
        EXPECT_EQ(MessageBoxW(owner, u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark", c.type), c.expected)
            << c.type;
        EXPECT_TRUE(Owner().onIdle.empty()) << c.type;
    }
    int n = 0;
    const MessageBoxRecord* log = MessageBoxLog(&n);
    ASSERT_EQ(n, 7);
    EXPECT_EQ(log[2].result, IDCANCEL);
    EXPECT_EQ(std::u16string(log[2].caption), u"Bookmark");
}

TEST_F(ModalBox, ATapOnAButtonAnswersAndTheOwnerIsDisabledMeanwhile) {
    std::string dump;
    Owner().onIdle.push_back([&dump] {
        dump = DumpWindowTree();
        RECT no;
        ASSERT_TRUE(DumpRect("button id=7 \"No\"", &no));
        Tap(no);
    });
    EXPECT_EQ(MessageBoxW(owner, u"Remove Bookmark?", u"Bookmark", MB_YESNOCANCEL), IDNO);
    EXPECT_FALSE(Owner().enabledWhileIdle);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(FindWindowW(u"HHMsgBox", nullptr), nullptr);
    // The box is a top-level window above its owner, with its text and buttons.
    EXPECT_NE(dump.find("HHMsgBox \"Bookmark\""), std::string::npos) << dump;
    EXPECT_NE(dump.find("text \"Remove Bookmark?\""), std::string::npos);
    EXPECT_NE(dump.find("button id=6 \"Yes\""), std::string::npos);
    EXPECT_NE(dump.find("button id=2 \"Cancel\""), std::string::npos);
    EXPECT_LT(dump.find("HHMsgBox"), dump.find("Owner \"Velmora\""));
}

TEST_F(ModalBox, TheOwnerKeepsPaintingAndANullCaptionShowsNoTitle) {
    std::string dump;
    Owner().onIdle.push_back([this, &dump] {
        Owner().paints = 0;
        dump = DumpWindowTree();
        InvalidateRect(owner, nullptr, TRUE);
    });
    Owner().onIdle.push_back(Key(VK_RETURN));
    EXPECT_EQ(MessageBoxW(owner, u"UnCompress() buffer error!", nullptr, MB_OK), IDOK);
    EXPECT_EQ(Owner().paints, 1);
    EXPECT_NE(dump.find("HHMsgBox \"\""), std::string::npos) << dump;
}

TEST_F(ModalBox, AQuitTakenInsideIsPostedAgain) {
    Owner().onIdle.push_back([] { PostQuitMessage(3); });
    EXPECT_EQ(MessageBoxW(owner, u"Not Found!", u"Velmora", MB_OK), IDOK);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, (UINT)WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
}

// Closing answers No where there is one: a Cancel may change things (the bookmark
// question's Cancel removes the bookmark), and a close must not.
TEST_F(ModalBox, TheOrderlyCloseEndsTheBoxWithTheAnswerThatChangesLeast) {
    Owner().onIdle.push_back([] { InputClose(); });
    EXPECT_EQ(MessageBoxW(owner, u"Remove Bookmark?", u"Bookmark", MB_YESNOCANCEL), IDNO);
    Owner().onIdle.push_back([] { InputClose(); });
    EXPECT_EQ(MessageBoxW(owner, u"Go on?", u"", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(owner, u"Keep?", u"", MB_YESNO), IDNO);  // no actions left: the close ends it
    Drain();
    EXPECT_TRUE(IsWindow(owner));
    EXPECT_TRUE(Owner().got.empty());
}

TEST_F(ModalBox, DestroyingTheOwnerEndsTheBox) {
    Owner().onIdle.push_back([this] { DestroyWindow(owner); });
    EXPECT_EQ(MessageBoxW(owner, u"Resource not found", u"Error", MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(FindWindowW(u"HHMsgBox", nullptr), nullptr);
}

}  // namespace
