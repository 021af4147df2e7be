// The message box stand-in: default buttons, queued answers, the log.
#include <gtest/gtest.h>

#include "platform/msgbox.h"

namespace {

TEST(MessageBox, ReturnsTheDefaultButtonOfItsType) {
    struct Case {
        UINT type;
        int expected;
    };
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_ICONEXCLAMATION, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_YESNOCANCEL, IDYES},
        {(UINT)MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO},
        {(UINT)MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {(UINT)MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
    };
    MessageBoxClearLog();
    for (const Case& c : cases) EXPECT_EQ(MessageBoxW(nullptr, u"t", u"c", c.type), c.expected) << c.type;
}

TEST(MessageBox, QueuedAnswersAndTheLog) {
    MessageBoxClearLog();
    MessageBoxQueueAnswer(IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"Remove Bookmark?\n\nCancel - Don't ask again", u"Bookmark", MB_YESNOCANCEL),
              IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, u"Resource not found", u"Error", MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK);
    int n = 0;
    const MessageBoxRecord* log = MessageBoxLog(&n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(std::u16string(log[0].caption), u"Bookmark");
    EXPECT_EQ(log[0].result, IDCANCEL);
    EXPECT_EQ(std::u16string(log[1].text), u"Resource not found");
    EXPECT_EQ(log[1].type, (UINT)MB_ICONEXCLAMATION);
    EXPECT_EQ(log[2].text[0], 0);
    // The log keeps the newest 64.
    for (int i = 0; i < 70; ++i) MessageBoxW(nullptr, i == 69 ? u"last" : u"x", u"", MB_OK);
    log = MessageBoxLog(&n);
    EXPECT_EQ(n, 64);
    EXPECT_EQ(std::u16string(log[63].text), u"last");
    MessageBoxClearLog();
    MessageBoxLog(&n);
    EXPECT_EQ(n, 0);
}

}  // namespace
