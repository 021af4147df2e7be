// Line layout on the test face at height 16: 'a'-'e' 8 px, space 4, hyphen 5, digits
// 8, '.' 4, widest character 14, line height 16. Views sit at x 10, y 20; lines are
// "offset count x hang width height style".
#include <string>
#include <vector>

#include "platform/heap.h"
#include "view/text_paint.h"
#include "view_fixture.h"

namespace {

struct LayoutCase {
    const char* name;
    int width;
    std::vector<Rec> records;
    const char* lines;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class LayoutTable : public ViewTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTable, ProducesTheseLines) {
    const LayoutCase& c = GetParam();
    Open(c.width);
    ASSERT_EQ(Layout(c.records), kViewOk);
    EXPECT_EQ(DescribeLines(view), c.lines);
    const LineRecord& end = view->lines[view->lineCount];
    EXPECT_EQ(end.style | end.offset | end.count | end.x | end.width | end.height | end.hang, 0);
}

INSTANTIATE_TEST_SUITE_P(Breaking, LayoutTable, ::testing::Values(
    LayoutCase{"FitsOnOneLine", 100, {{0x01, 0, "aaa bbb"}}, "2 7 10 0 52 16 01\n"},
    LayoutCase{"BreaksBeforeASpaceAndDropsIt", 50, {{0x01, 0, "aaaa bbbb"}},
               "2 4 10 0 32 16 01\n7 4 10 0 32 16 01\n"},
    LayoutCase{"FitEndingAtASpace", 32, {{0x01, 0, "aaaa bbbb"}}, "2 4 10 0 32 16 01\n7 4 10 0 32 16 01\n"},
    LayoutCase{"BreaksAfterAHyphenAndKeepsIt", 50, {{0x01, 0, "aaa-bbbb"}},
               "2 4 10 0 29 16 01\n6 4 10 0 32 16 01\n"},
    LayoutCase{"LastBreakPointWins", 60, {{0x01, 0, "aa bb-cccc"}}, "2 6 10 0 41 16 01\n8 4 10 0 32 16 01\n"},
    LayoutCase{"LongWordBrokenAtTheFit", 50, {{0x01, 0, "aaaaaaaaaa"}}, "2 6 10 0 48 16 01\n8 4 10 0 32 16 01\n"},
    LayoutCase{"NoBreakAtTheLinesFirstPosition", 50, {{0x01, 0, "-aaaaaaa"}},
               "2 6 10 0 45 16 01\n8 2 10 0 16 16 01\n"},
    LayoutCase{"LeadingSpacesDropped", 100, {{0x01, 0, "  aa"}}, "4 2 10 0 16 16 01\n"},
    LayoutCase{"SpacesInsideAFitStay", 40, {{0x01, 0, "aaaa   bbbb"}}, "2 6 10 0 40 16 01\n9 4 10 0 32 16 01\n"},
    LayoutCase{"EmptyAndBlankTextsMakeNoLine", 100, {{0x01, 0, "aa"}, {0x81, 0, "   "}, {0x81, 0, ""}, {0x01, 0, "bb"}},
               "2 2 10 0 16 16 01\n16 2 10 0 16 16 01\n"}));

// Not even one character fits: one is placed anyway, so the layout ends.
INSTANTIATE_TEST_SUITE_P(Narrow, LayoutTable, ::testing::Values(
    LayoutCase{"ViewNarrowerThanACharacter", 5, {{0x01, 0, "ab c"}},
               "2 1 10 0 8 16 01\n3 1 10 0 8 16 01\n5 1 10 0 8 16 01\n"},
    LayoutCase{"RightAlignedStaysInTheView", 5, {{0x21, 0, "a"}}, "2 1 10 0 8 16 21\n"},
    LayoutCase{"LabelLeavesNoRoom", 20, {{0x01, 0x40, "1. ab"}},
               "2 0 24 14 0 16 01\n5 1 24 0 8 16 01\n6 1 24 0 8 16 01\n"}));

INSTANTIATE_TEST_SUITE_P(Labels, LayoutTable, ::testing::Values(
    // Column (1 + 1) * 14 / 2 = 14; the first line's offset is the label's, its count
    // what follows the label and its space; later lines hang at the same x.
    LayoutCase{"LevelOne", 60, {{0x01, 0x40, "1. aaaa bbbb"}}, "2 4 24 14 32 16 01\n10 4 24 0 32 16 01\n"},
    LayoutCase{"LevelOneIndented", 100, {{0x01, 0x58, "1. aaaa bbbb"}},
               "2 4 48 14 32 16 01\n10 4 48 0 32 16 01\n"},
    LayoutCase{"LevelTwo", 100, {{0x01, 0x80, "1. aaaa"}}, "2 4 31 21 32 16 01\n"},
    LayoutCase{"LevelThree", 100, {{0x01, 0xC0, "1. aaaa"}}, "2 4 38 28 32 16 01\n"},
    LayoutCase{"BoldFontWidestIs15", 100, {{0x09, 0x40, "1. aaaa"}}, "2 4 25 15 36 16 09\n"},
    LayoutCase{"LabelOnly", 100, {{0x01, 0x40, "1."}}, "2 0 24 14 0 16 01\n"},
    // Continuations: no label, at the column the item left, moved by the indents' change.
    LayoutCase{"ContinuationSameIndent", 100, {{0x01, 0x40, "1. aaaa"}, {0x01, 0x40, " bbbb"}},
               "2 4 24 14 32 16 01\n13 4 24 0 32 16 01\n"},
    LayoutCase{"ContinuationDeeperIndent", 100, {{0x01, 0x40, "1. aaaa"}, {0x01, 0x4C, " bbbb"}},
               "2 4 24 14 32 16 01\n13 4 36 0 32 16 01\n"},
    LayoutCase{"ContinuationShallowerIndent", 100, {{0x01, 0x58, "1. aaaa"}, {0x01, 0x4C, " bbbb"}},
               "2 4 48 14 32 16 01\n13 4 36 0 32 16 01\n"},
    LayoutCase{"ContinuationFirstIsALabelledItem", 100, {{0x47, 0, ""}, {0x01, 0x40, " 1. aaaa"}},
               "6 4 24 14 32 16 01\n"}));

// Rules: 2 * (w - 160) % of the view width above 160, cut to the width; height of the
// font selected last.
INSTANTIATE_TEST_SUITE_P(Rules, LayoutTable, ::testing::Values(
    LayoutCase{"Percent24Centred", 240, {{0x47, 0xAC, ""}}, "2 0 101 0 57 16 47\n"},
    LayoutCase{"FullWidth", 240, {{0x07, 0xD2, ""}}, "2 0 10 0 240 16 07\n"},
    LayoutCase{"AboveFullWidthCut", 240, {{0x07, 0xFF, ""}}, "2 0 10 0 240 16 07\n"},
    LayoutCase{"Pixels160", 240, {{0x07, 160, ""}}, "2 0 10 0 160 16 07\n"},
    LayoutCase{"TwoPercent", 240, {{0x07, 161, ""}}, "2 0 10 0 4 16 07\n"},
    LayoutCase{"PixelsCutToTheView", 100, {{0x07, 150, ""}}, "2 0 10 0 100 16 07\n"},
    LayoutCase{"RightAligned", 240, {{0x27, 0xAC, ""}}, "2 0 193 0 57 16 27\n"},
    LayoutCase{"FontBitsIgnored", 240, {{0x1F, 0xAC, ""}}, "2 0 10 0 57 16 1f\n"},
    LayoutCase{"WidthZeroMakesNothing", 240, {{0x07, 0, ""}}, ""},
    LayoutCase{"HeightOfTheLastFont", 240, {{0xCC, 0, "a"}, {0x07, 10, ""}}, "2 1 124 0 11 20 cc\n6 0 10 0 10 20 07\n"}));

INSTANTIATE_TEST_SUITE_P(Alignment, LayoutTable, ::testing::Values(
    LayoutCase{"Left", 100, {{0x01, 0, "aaaa"}}, "2 4 10 0 32 16 01\n"},
    LayoutCase{"Right", 100, {{0x21, 0, "aaaa"}}, "2 4 78 0 32 16 21\n"},
    LayoutCase{"Centred", 100, {{0x41, 0, "aaaa"}}, "2 4 44 0 32 16 41\n"},
    LayoutCase{"BothBitsAreLeft", 100, {{0x61, 0, "aaaa"}}, "2 4 10 0 32 16 61\n"},
    LayoutCase{"LeftIndented", 100, {{0x01, 0x0C, "aaaa"}}, "2 4 22 0 32 16 01\n"},
    LayoutCase{"RightKeepsTheIndentFree", 100, {{0x21, 0x0C, "aaaa"}}, "2 4 66 0 32 16 21\n"},
    LayoutCase{"CentredIndented", 100, {{0x41, 0x0C, "aaaa"}}, "2 4 50 0 32 16 41\n"},
    LayoutCase{"IndentNotBelowTheWidthIsZero", 40, {{0x01, 0x30, "aaaa"}}, "2 4 10 0 32 16 01\n"}));

// Bit 7 stays only on a paragraph's last line and never on the lesson's last line.
struct RowsCase {
    const char* name;
    std::vector<Rec> records;
    const char* styles;
    int total;
};
void PrintTo(const RowsCase& c, std::ostream* os) { *os << c.name; }

class RowsTable : public ViewTest, public ::testing::WithParamInterface<RowsCase> {};

TEST_P(RowsTable, CountsDisplayRows) {
    const RowsCase& c = GetParam();
    Open(60);
    ASSERT_EQ(Layout(c.records), kViewOk);
    std::string styles;
    for (int i = 0; i < view->lineCount; ++i) styles += std::to_string(view->lines[i].style >> 7);
    EXPECT_EQ(styles, c.styles);
    EXPECT_EQ(view->displayLines, c.total);
}

INSTANTIATE_TEST_SUITE_P(BlankRows, RowsTable, ::testing::Values(
    RowsCase{"ThreeLineParagraphThenMore", {{0x81, 0, "aaaa bbbb cccc"}, {0x01, 0, "dd"}}, "0010", 5},
    RowsCase{"ThreeLineParagraphLast", {{0x81, 0, "aaaa bbbb cccc"}}, "000", 3},
    RowsCase{"RuleWithBlankRow", {{0x87, 10, ""}, {0x01, 0, "a"}}, "10", 3},
    // Trailing spaces that do not fit still end the paragraph: it keeps its blank row.
    RowsCase{"TrailingSpacesKeepTheBlankRow", {{0x81, 0, "aaaaaaa    "}, {0x01, 0, "b"}}, "10", 3}));

TEST_F(ViewTest, FirstRecordMustHoldSomething) {
    Open(100);
    ASSERT_EQ(Layout({{0x01, 0, "keep"}}), kViewOk);
    BYTE* kept = view->text;
    view->highlightStart = 2;
    view->highlightEnd = 4;
    for (const std::vector<Rec>& bad : {std::vector<Rec>{}, std::vector<Rec>{{0x01, 0, ""}, {0x01, 0, "a"}}}) {
        EXPECT_EQ(Layout(bad), kViewMalformed);
        EXPECT_EQ(view->text, kept);
        EXPECT_EQ(view->highlightStart | view->highlightEnd | view->displayLines | view->maxTopLine, 0);
    }
    EXPECT_EQ(Layout({{0x07, 0x10, ""}}), kViewOk);  // a rule may come first
}

TEST_F(ViewTest, NullTextReleasesTheOldOnlyWithReplace) {
    Open(100);
    ASSERT_EQ(Layout({{0x01, 0, "keep"}}), kViewOk);
    EXPECT_EQ(LayoutText(view, nullptr, 0), kViewNoText);
    EXPECT_NE(view->text, nullptr);
    EXPECT_EQ(LayoutText(view, nullptr, 1), kViewNoText);
    EXPECT_EQ(view->text, nullptr);
    EXPECT_EQ(LayoutText(nullptr, nullptr, 1), kViewNoView);
}

TEST_F(ViewTest, ReplacingWithItsOwnTextKeepsIt) {
    Open(100);
    ASSERT_EQ(Layout({{0x01, 0, "aaaa"}}), kViewOk);
    long live = HeapLiveBlocks();
    EXPECT_EQ(LayoutText(view, view->text, 1), kViewOk);
    EXPECT_EQ(HeapLiveBlocks(), live);
    EXPECT_EQ(DescribeLines(view), "2 4 10 0 32 16 01\n");
}

TEST_F(ViewTest, ResizeLaysOutAgainAndRefusesEmptySizes) {
    Open(100);
    ASSERT_EQ(Layout({{0x01, 0, "aaaa bbbb"}}), kViewOk);
    view->highlightStart = 2;
    view->highlightEnd = 3;
    std::string before = DescribeLines(view);
    for (auto [w, h] : {std::pair{0, 100}, {100, 0}, {-3, 100}}) {
        EXPECT_EQ(ResizeTextView(view, w, h), kViewBadSize);
        EXPECT_EQ(view->width, 100);
        EXPECT_EQ(DescribeLines(view), before);
    }
    EXPECT_EQ(view->highlightEnd, 3);
    EXPECT_EQ(ResizeTextView(view, 50, 300), kViewOk);
    EXPECT_EQ(DescribeLines(view), "2 4 10 0 32 16 01\n7 4 10 0 32 16 01\n");
    EXPECT_EQ(view->highlightStart | view->highlightEnd, 0);
    EXPECT_EQ(ResizeTextView(nullptr, 10, 10), kViewNoView);
}

// Max top line: the last line as low as possible while fully visible.
struct MaxTopCase {
    const char* name;
    int lines;        // paragraphs "a"; the second one of three with bit 7 when < 0
    int height;
    int expected;
};
void PrintTo(const MaxTopCase& c, std::ostream* os) { *os << c.name; }

class MaxTopTable : public ViewTest, public ::testing::WithParamInterface<MaxTopCase> {};

TEST_P(MaxTopTable, Computes) {
    const MaxTopCase& c = GetParam();
    OpenWith(TestFace(16), 10, 20, 100, c.height);
    std::vector<Rec> records;
    if (c.lines < 0)
        records = {{0x01, 0, "a"}, {0x81, 0, "b"}, {0x01, 0, "c"}};
    else
        records.assign(c.lines, Rec{0x01, 0, "a"});
    ASSERT_EQ(Layout(records), kViewOk);
    EXPECT_EQ(view->maxTopLine, c.expected);
    EXPECT_LE(view->maxTopLine, view->displayLines);
}

INSTANTIATE_TEST_SUITE_P(Cases, MaxTopTable, ::testing::Values(
    MaxTopCase{"EverythingFits", 3, 400, 0},
    MaxTopCase{"FourOfTenRowsFit", 10, 64, 6},
    MaxTopCase{"PartialRowIgnored", 10, 70, 6},
    MaxTopCase{"BlankRowFitsButItsLineDoesNot", -1, 40, 2},
    MaxTopCase{"BlankRowAndItsLineFit", -1, 48, 1},
    MaxTopCase{"NegativeHeightStaysWithinTheTotal", 3, -10, 3}));

TEST_F(ViewTest, FindLineOfOffset) {
    // Rows: aaaa 0, bbbb 1, cccc 2, blank 3, "1." dddd 4, eeee 5; max top line 4.
    OpenWith(TestFace(16), 10, 20, 60, 32);
    ASSERT_EQ(Layout({{0x81, 0, "aaaa bbbb cccc"}, {0x01, 0x40, "1. dddd eeee"}}), kViewOk);
    ASSERT_EQ(view->maxTopLine, 4);
    struct {
        int offset, result, top;
    } cases[] = {
        {2, 1, 0},   {10, 1, 1},  {11, 1, 1},  // a line's span ends just past its last character
        {12, 1, 2},  {16, 1, 2},               // the text's terminator still belongs to its line
        {17, 0, 3},  {18, 0, 3},               // style and parameter bytes between records
        {19, 1, 4},                            // the label
        {25, 1, 4},  {26, 1, 4},               // beyond count characters from the label's start
        {27, 1, 4},                            // row 5, limited to the max top line
        {40, 0, 3},                            // past the last line
    };
    for (auto c : cases) {
        view->topLine = 3;
        EXPECT_EQ(FindLineOfOffset(view, c.offset), c.result) << c.offset;
        EXPECT_EQ(view->topLine, c.top) << c.offset;
    }
    EXPECT_EQ(FindLineOfOffset(nullptr, 2), kViewNoView);
}

// ---- Running out of memory --------------------------------------------------------

std::vector<Rec> Paragraphs(int n, const char* text) { return std::vector<Rec>(n, Rec{0x01, 0, text}); }

class LayoutMemory : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        // The shared measuring buffers only grow; grow them now so that the blocks
        // counted below are the view's own.
        Open(100);
        ASSERT_EQ(Layout({{0x01, 0, std::string(2000, 'a').c_str()}, {0xCC, 0, "Head"}}), kViewOk);
        DestroyTextView(view, 1);
        view = nullptr;
    }
    void TearDown() override {
        HeapFailAfter(0);
        ViewTest::TearDown();
    }
};

TEST_F(LayoutMemory, EveryFailingAllocationIsReportedAndLeaksNothing) {
    std::vector<Rec> lesson = Paragraphs(200, "aa bb");
    lesson.push_back({0xCC, 0, "Head"});
    bool done = false;
    for (int n = 1; n < 400 && !done; ++n) {
        long live = HeapLiveBlocks();
        long before = HeapAllocationCount();
        HeapFailAfter(n);
        RECT r = {0, 0, 100, 300};
        FontSpec font = TestFace(16);
        TextView* v = CreateTextView(canvas.dc, &r, &font, 0);
        BYTE* text = BuildLesson(lesson);
        int result = v && text ? LayoutText(v, text, 1) : -100;
        HeapFailAfter(0);
        done = HeapAllocationCount() - before < n;  // the failure never came
        if (done) {
            EXPECT_EQ(result, kViewOk);
            EXPECT_EQ(v->lineCount, 201);
        } else if (result != -100 && result != kViewOk) {  // a font that failed still lays out
            EXPECT_EQ(result, kViewNoMemory) << n;
            EXPECT_EQ(v->text, nullptr) << n;
            EXPECT_EQ(PaintTextView(v, 1), kViewNoView) << n;
        }
        if (result != kViewOk) LocalFree(text);
        DestroyTextView(v, 1);
        EXPECT_EQ(HeapLiveBlocks(), live) << n;
    }
    EXPECT_TRUE(done);
}

TEST_F(LayoutMemory, CreateWithoutMemory) {
    long live = HeapLiveBlocks();
    HeapFailAfter(1);
    EXPECT_EQ(CreateTextView(canvas.dc, nullptr, nullptr, 100), nullptr);
    HeapFailAfter(2);
    TextView* v = CreateTextView(canvas.dc, nullptr, nullptr, 100);
    HeapFailAfter(0);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->lines, nullptr);
    EXPECT_EQ(v->capacity, 0);
    DestroyTextView(v, 1);
    EXPECT_EQ(HeapLiveBlocks(), live);
    EXPECT_EQ(CreateTextView(nullptr, nullptr, nullptr, 100), nullptr);
}

TEST_F(LayoutMemory, FailedGrowthEndsTheTableAndLeavesTheTextToTheCaller) {
    Open(100);
    ASSERT_EQ(Layout({{0x01, 0, "warm"}}), kViewOk);  // fonts and table exist now
    ASSERT_EQ(view->capacity, 100);
    BYTE* big = BuildLesson(Paragraphs(150, "a"));
    HeapFailAfter(1);
    EXPECT_EQ(LayoutText(view, big, 1), kViewNoMemory);
    HeapFailAfter(0);
    EXPECT_EQ(view->text, nullptr);  // the old text went, the new one was not taken
    EXPECT_EQ(view->lines[99].count, 1);
    EXPECT_EQ(view->lines[100].style, 0);
    EXPECT_EQ(view->displayLines, 0);
    EXPECT_EQ(view->maxTopLine, 0);
    EXPECT_EQ(PaintTextView(view, 1), kViewNoView);
    LocalFree(big);
}

TEST_F(LayoutMemory, FailedGrowthOnResizeKeepsTheText) {
    Open(100);
    ASSERT_EQ(Layout(Paragraphs(90, "aa bb")), kViewOk);  // 90 lines; 180 at width 20
    BYTE* text = view->text;
    HeapFailAfter(1);
    EXPECT_EQ(ResizeTextView(view, 20, 400), kViewNoMemory);
    HeapFailAfter(0);
    EXPECT_EQ(view->text, text);
    EXPECT_EQ(view->lines[100].style, 0);
    EXPECT_EQ(PaintTextView(view, 1), kViewOk);
    EXPECT_EQ(ResizeTextView(view, 20, 400), kViewOk);
    EXPECT_EQ(view->lineCount, 180);
    EXPECT_EQ(view->displayLines, 180);
}

TEST_F(LayoutMemory, GrowLineTable) {
    Open(100);
    ASSERT_EQ(view->capacity, 100);
    EXPECT_EQ(GrowLineTable(view, 100), kViewOk);
    EXPECT_EQ(view->capacity, 228);
    view->lines[50].style = 1;
    HeapFailAfter(1);
    EXPECT_EQ(GrowLineTable(view, 50), kViewGrowFailed);
    HeapFailAfter(0);
    EXPECT_EQ(view->lines[50].style, 0);
    EXPECT_EQ(view->capacity, 228);
    view->capacity = 0xFFFF - 100;  // one more step would pass 16 bits
    EXPECT_EQ(GrowLineTable(view, -1), kViewGrowFailed);
    view->capacity = 228;
}

}  // namespace
