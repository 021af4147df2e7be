#include "content/index_records.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Rec(WORD key, BYTE style, BYTE level, const std::string& title) {
    std::string r;
    r.push_back((char)(key & 0xFF));
    r.push_back((char)(key >> 8));
    r.push_back((char)style);
    r.push_back((char)level);
    return r + title + std::string(1, '\0');
}
const std::string kEnd(5, '\0');

TEST(IndexRecords, WalksSizesAndLooksUpTitles) {
    const std::string index = Rec(0x8000 | 16240, 0x8C, 1, "Intro") + Rec(0x4000 | 5, 0x01, 2, "Boron") +
                              Rec(0x0000, 0x01, 2, "") + Rec(0x4000 | 5, 0x01, 3, "Boron again") +
                              Rec(0x4000 | 7, 0x01, 2, "Nitrogen") + kEnd;
    const size_t recordsSize = index.size() - kEnd.size();
    struct Case {
        const char* what;
        size_t length;  // bytes handed to the walker; 0: unbounded
        int records;
        size_t size;
    } cases[] = {
        {"unbounded, stops at the end record", 0, 5, recordsSize},
        {"bounded by the whole buffer", index.size(), 5, recordsSize},
        {"bounded without the end record", recordsSize, 5, recordsSize},
        {"bounded inside the last record", recordsSize - 1, 4, recordsSize - 13},
        {"bounded inside a record header", 3, 0, 0},
    };
    const BYTE* p = (const BYTE*)index.data();
    for (const Case& c : cases) {
        const BYTE* end = c.length ? p + c.length : nullptr;
        int n = 0;
        for (const BYTE* r = FirstIndexRecord(p, end); r; r = NextIndexRecord(r, end)) ++n;
        EXPECT_EQ(n, c.records) << c.what;
        EXPECT_EQ(IndexRecordsSize(p, end), c.size) << c.what;
    }
    // The first occurrence wins; a key 0,0 record with a style is still walked over.
    EXPECT_STREQ(IndexLessonTitle(p, nullptr, 5), "Boron");
    EXPECT_STREQ(IndexLessonTitle(p, nullptr, 7), "Nitrogen");
    EXPECT_EQ(IndexLessonTitle(p, nullptr, 9), nullptr);
    EXPECT_EQ(IndexLessonTitle(p, p + recordsSize - 1, 7), nullptr);
    // Section 16240 is not lesson 16240 & 0x3FFF.
    EXPECT_EQ(IndexLessonTitle(p, nullptr, 16240), nullptr);
}

TEST(IndexRecords, FieldsOfARecord) {
    const std::string r = Rec(0x8877, 0xC1, 1, "Bookmarks");
    const BYTE* p = (const BYTE*)r.data();
    EXPECT_EQ(IndexRecordKey(p), 0x8877);
    EXPECT_EQ(IndexRecordStyle(p), 0xC1);
    EXPECT_EQ(IndexRecordLevel(p), 1);
    EXPECT_STREQ(IndexRecordTitle(p), "Bookmarks");
    EXPECT_EQ(IndexRecordSize(p), 14u);
}

TEST(IndexRecords, EmptyBufferHoldsNoRecords) {
    const BYTE* p = (const BYTE*)kEnd.data();
    EXPECT_EQ(FirstIndexRecord(p, nullptr), nullptr);
    EXPECT_EQ(IndexRecordsSize(p, p + 5), 0u);
    EXPECT_EQ(FirstIndexRecord(nullptr, nullptr), nullptr);
}

}  // namespace
