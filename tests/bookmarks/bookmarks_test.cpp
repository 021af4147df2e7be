#include "bookmarks/bookmarks.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/app/app_fixture.h"
#include "content/index_records.h"
#include "platform/heap.h"
#include "platform/msgbox.h"

namespace {

class Bookmarks : public FrameTest {
protected:
    void TearDown() override {
        FreeBookmarks();
        FrameTest::TearDown();
    }
    void Toggle(uint16_t lesson) {
        g_app.lesson = lesson;
        ToggleBookmark(IsBookmarked());
    }
    std::vector<uint16_t> List() {
        std::vector<uint16_t> out;
        for (const uint16_t* p = g_app.bookmarks; p && *p; ++p) out.push_back(*p);
        EXPECT_EQ(out.size(), g_app.bookmarkCount);
        return out;
    }
    std::string StoredBookmarks() {
        DWORD type;
        std::string bytes;
        EXPECT_TRUE(Stored(u"Bookmarks", &type, &bytes));
        EXPECT_EQ(type, (DWORD)REG_BINARY);
        return bytes;
    }
};

struct Record {
    WORD key;
    BYTE style;
    BYTE level;
    const char* title;
};

// An index buffer in a LocalAlloc block, as the loader hands it out.
BYTE* MakeIndex(std::initializer_list<Record> records) {
    std::string bytes;
    for (const Record& r : records) {
        bytes += (char)(r.key & 0xFF);
        bytes += (char)(r.key >> 8);
        bytes += (char)r.style;
        bytes += (char)r.level;
        bytes += r.title;
        bytes += '\0';
    }
    bytes.append(5, '\0');
    BYTE* block = (BYTE*)LocalAlloc(LMEM_FIXED, bytes.size());
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

std::vector<std::string> Rows(const BYTE* index) {
    std::vector<std::string> rows;
    for (const BYTE* r = FirstIndexRecord(index, nullptr); r; r = NextIndexRecord(r, nullptr)) {
        char head[32];
        std::snprintf(head, sizeof head, "%04x %02x %d ", IndexRecordKey(r), IndexRecordStyle(r), IndexRecordLevel(r));
        rows.push_back(head + std::string(IndexRecordTitle(r)));
    }
    return rows;
}

}  // namespace

TEST_F(Bookmarks, AddedInOrderOnceAndStoredWithTheirTerminator) {
    InitBookmarks();
    Toggle(7);
    Toggle(3);
    AddBookmark();  // lesson 3 again: no second entry
    EXPECT_EQ(List(), (std::vector<uint16_t>{7, 3}));
    EXPECT_EQ(SaveBookmarks(), 1);
    EXPECT_EQ(StoredBookmarks(), std::string("\x07\0\x03\0\0\0", 6));

    Toggle(7);  // asks; the stand-in box answers Yes
    Toggle(3);
    EXPECT_EQ(List(), (std::vector<uint16_t>{}));
    EXPECT_EQ(SaveBookmarks(), 1);
    EXPECT_EQ(StoredBookmarks(), std::string("\0\0", 2));
    FreeBookmarks();
    EXPECT_EQ(SaveBookmarks(), 1);
    EXPECT_EQ(StoredBookmarks(), std::string("\0\0", 2));
}

TEST_F(Bookmarks, TheQuestionsAnswers) {
    struct Case {
        int answer;
        bool kept;
        bool asksAgain;
    } cases[] = {{IDYES, false, true}, {IDNO, true, true}, {IDCANCEL, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        g_app.bookmarkFlags = 0;
        FreeBookmarks();
        MessageBoxClearLog();
        Toggle(12);
        MessageBoxQueueAnswer(c.answer);
        Toggle(12);
        int count = 0;
        const MessageBoxRecord* log = MessageBoxLog(&count);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(std::u16string(log[0].text), u"Remove Bookmark?\n\nCancel - Don't ask again");
        EXPECT_EQ(std::u16string(log[0].caption), u"Bookmark");
        EXPECT_EQ(log[0].type, (UINT)MB_YESNOCANCEL);
        EXPECT_EQ(IsBookmarked(), c.kept ? 1 : 0);
        if (!c.kept) Toggle(12);
        Toggle(12);  // remove again: asks only when it still should
        MessageBoxLog(&count);
        EXPECT_EQ(count, c.asksAgain ? 2 : 1);
    }
}

TEST_F(Bookmarks, DamagedStoredValuesLoadSafely) {
    struct Case {
        std::string bytes;
        std::vector<uint16_t> expected;
    } cases[] = {
        {std::string("\x07\0\x03\0\0\0", 6), {7, 3}},
        {std::string("\0\0", 2), {}},
        {std::string("\x07\0\x03\0", 4), {7, 3}},        // no final 0
        {std::string("\x07\0\x03\0\x05", 5), {7, 3}},    // odd size
        {std::string("\x07\0\0\0\x03\0\0\0", 8), {7}},   // a 0 inside ends the list
        {std::string("\x09", 1), {}},
    };
    for (const Case& c : cases) {
        Store(u"Bookmarks", REG_BINARY, c.bytes.data(), (DWORD)c.bytes.size());
        InitBookmarks();
        EXPECT_EQ(List(), c.expected);
        ASSERT_NE(g_app.bookmarks, nullptr);
        EXPECT_EQ(g_app.bookmarks[g_app.bookmarkCount], 0);
        g_app.lesson = 40;
        AddBookmark();
        std::vector<uint16_t> grown = c.expected;
        grown.push_back(40);
        EXPECT_EQ(List(), grown);
        FreeBookmarks();
    }
}

TEST_F(Bookmarks, AFailedAllocationKeepsTheOldList) {
    Toggle(5);
    long live = HeapLiveBlocks();
    HeapFailAfter(1);
    Toggle(6);
    EXPECT_EQ(List(), (std::vector<uint16_t>{5}));
    EXPECT_EQ(HeapLiveBlocks(), live);
}

TEST_F(Bookmarks, SectionListsFoundLessonsInListOrderWithFirstTitles) {
    BYTE* index = MakeIndex({{0x8000 | 16240, 0x8C, 1, "Metals"},
                             {0x4000 | 39, 0x01, 2, "Iron"},
                             {0x4000 | 7, 0x01, 2, "Isotopes"},
                             {0x4000 | 39, 0x01, 3, "Iron again"}});
    for (uint16_t lesson : {39, 99, 7}) Toggle(lesson);
    BYTE* joined = AddBookmarksSection(index);
    EXPECT_EQ(Rows(joined), (std::vector<std::string>{
                                "8877 c1 1 Bookmarks", "4027 81 2 Iron", "4007 81 2 Isotopes",
                                "bf70 8c 1 Metals", "4027 01 2 Iron", "4007 01 2 Isotopes", "4027 01 3 Iron again"}));
    LocalFree(joined);
}

TEST_F(Bookmarks, SectionEdgeCases) {
    // No list, or an emptied one: the index itself.
    BYTE* index = MakeIndex({{0x4000 | 1, 0x01, 1, "Welcome"}});
    EXPECT_EQ(AddBookmarksSection(index), index);
    Toggle(1);
    g_app.lesson = 1;
    RemoveBookmark();
    EXPECT_EQ(AddBookmarksSection(index), index);

    // Bookmarks none of which is in the index: the header alone, then the index.
    Toggle(50);
    BYTE* joined = AddBookmarksSection(index);
    EXPECT_EQ(Rows(joined), (std::vector<std::string>{"8877 c1 1 Bookmarks", "4001 01 1 Welcome"}));
    LocalFree(joined);

    // A missing index: the header alone.
    BYTE* alone = AddBookmarksSection(nullptr);
    EXPECT_EQ(Rows(alone), (std::vector<std::string>{"8877 c1 1 Bookmarks"}));
    LocalFree(alone);

    // Out of memory for the joined buffer: the index alone, nothing leaked.
    index = MakeIndex({{0x4000 | 50, 0x01, 1, "Tin"}});
    long live = HeapLiveBlocks();
    HeapFailAfter(2);
    BYTE* result = AddBookmarksSection(index);
    EXPECT_EQ(result, index);
    EXPECT_EQ(HeapLiveBlocks(), live);
    LocalFree(result);
}
