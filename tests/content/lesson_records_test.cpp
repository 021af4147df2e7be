#include "content/lesson_records.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Builds a record from its parts; the text may be empty.
std::string Rec(BYTE style, BYTE param, const std::string& text) {
    return std::string(1, (char)style) + std::string(1, (char)param) + text + std::string(1, '\0');
}
const std::string kEnd("\0\0\0", 3);

struct Walk {
    int records = 0;
    std::string texts;  // joined with |
    const BYTE* title = nullptr;
    const BYTE* subtitle = nullptr;
};

Walk WalkLesson(const std::string& lesson, bool bounded) {
    const BYTE* p = (const BYTE*)lesson.data();
    const BYTE* end = bounded ? p + lesson.size() : nullptr;
    Walk w;
    for (const BYTE* r = FirstParagraphRecord(p, end); r; r = NextParagraphRecord(r, end)) {
        ++w.records;
        w.texts += std::string(w.records > 1 ? "|" : "") + ParagraphText(r);
    }
    w.title = LessonTitleRecord(p, end);
    w.subtitle = LessonSubtitleRecord(p, end);
    return w;
}

TEST(LessonRecords, WalksRecordsAndFindsTheHeadings) {
    struct Case {
        const char* what;
        std::string lesson;
        int records;
        const char* texts;
        int titleAt;     // byte offset, -1 none
        int subtitleAt;  // byte offset, -1 none
    } cases[] = {
        {"title then subtitle", Rec(0xCC, 0, "Iron") + Rec(0xC1, 0, "A metal") + Rec(0x81, 0, "x") + kEnd, 3,
         "Iron|A metal|x", 0, 7},
        {"subtitle first", Rec(0xC1, 0, "Sub") + Rec(0xCC, 0, "Later") + kEnd, 2, "Sub|Later", -1, 0},
        {"two titles: no subtitle", Rec(0xCC, 0, "A") + Rec(0xCC, 0, "B") + kEnd, 2, "A|B", 0, -1},
        {"subtitle after a non-title", Rec(0x81, 0, "p") + Rec(0xC1, 0, "s") + kEnd, 2, "p|s", -1, -1},
        {"0xCD is not a title", Rec(0xCD, 0, "t") + Rec(0xC1, 0, "s") + kEnd, 2, "t|s", -1, -1},
        {"empty texts and a rule", Rec(0x47, 0xD2, "") + Rec(0x81, 0x40, "") + Rec(0xC1, 0, "s") + kEnd, 3, "||s", -1,
         -1},
        {"no records", kEnd, 0, "", -1, -1},
    };
    for (const Case& c : cases) {
        for (bool bounded : {false, true}) {
            Walk w = WalkLesson(c.lesson, bounded);
            const BYTE* base = (const BYTE*)c.lesson.data();
            EXPECT_EQ(w.records, c.records) << c.what;
            EXPECT_EQ(w.texts, c.texts) << c.what;
            EXPECT_EQ(w.title, c.titleAt < 0 ? nullptr : base + c.titleAt) << c.what;
            EXPECT_EQ(w.subtitle, c.subtitleAt < 0 ? nullptr : base + c.subtitleAt) << c.what;
        }
    }
}

TEST(LessonRecords, BoundedWalkStopsAtACutRecord) {
    // The second record's text has no terminator inside the buffer.
    std::string lesson = Rec(0x81, 0, "whole") + std::string("\x81\x00" "cut", 5);
    Walk w = WalkLesson(lesson, true);
    EXPECT_EQ(w.records, 1);
    // A buffer too short for even a first record.
    EXPECT_EQ(FirstParagraphRecord((const BYTE*)"\x81", (const BYTE*)"\x81" + 1), nullptr);
    std::string two = "\x81";
    two.push_back('\0');
    EXPECT_EQ(FirstParagraphRecord((const BYTE*)two.data(), (const BYTE*)two.data() + 2), nullptr);
}

TEST(LessonRecords, StyleAndParameterFields) {
    EXPECT_TRUE(IsRuleStyle(0x07));
    EXPECT_TRUE(IsRuleStyle(0xC7));
    EXPECT_TRUE(IsRuleStyle(0x1F));
    EXPECT_FALSE(IsRuleStyle(0xCC));
    EXPECT_FALSE(IsRuleStyle(0x06));
    struct {
        BYTE param;
        int level, indent;
    } params[] = {{0x00, 0, 0}, {0x0C, 0, 12}, {0x18, 0, 24}, {0x40, 1, 0}, {0x58, 1, 24}, {0xFF, 3, 63}};
    for (auto p : params) {
        EXPECT_EQ(LabelLevel(p.param), p.level) << (int)p.param;
        EXPECT_EQ(IndentOf(p.param), p.indent) << (int)p.param;
    }
    std::string r = Rec(0x89, 0x58, "Facts");
    EXPECT_EQ(ParagraphRecordSize((const BYTE*)r.data()), 8u);
}

}  // namespace
