// Painting, highlighting and scrolling on the test face, read back as GDI traces.
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "view/text_paint.h"
#include "view_fixture.h"

namespace {

// Rows: aaaa 0, bbbb 1, cccc 2, blank 3, rule 4, blank 5, Head 6, blank 7, "1." dddd 8.
// "Head" is 20 px high, bold, 14 + 11 + 11 + 11 = 47 wide, centred at 16.
const std::vector<Rec> kLesson = {
    {0x81, 0, "aaaa bbbb cccc"}, {0xC7, 0xD2, ""}, {0xCC, 0, "Head"}, {0x01, 0x40, "1. dddd"}};

class PaintTest : public ViewTest {
protected:
    std::string Paint(int top, int erase = 1) {
        view->topLine = (uint16_t)top;
        GdiTraceBegin(canvas.dc);
        result = PaintTextView(view, erase);
        return GdiTraceEnd(canvas.dc);
    }
    // Only the trace lines that draw in the highlight colours.
    static std::string Highlights(const std::string& trace) {
        std::istringstream in(trace);
        std::string line, out;
        while (std::getline(in, line))
            if (line.find("bg=00ffff") != std::string::npos) out += line + "\n";
        return out;
    }
    int result = 0;
};

TEST_F(PaintTest, DrawsWholeLinesFromTheTop) {
    Open(60, 100);
    ASSERT_EQ(Layout(kLesson), kViewOk);
    ASSERT_EQ(view->displayLines, 9);
    EXPECT_EQ(Paint(0),
              "FillRect 10,20,60,100 ffffff\n"
              "DrawText \"aaaa\" 10,20,32,16 fg=000000 bg=ffffff font=16 flags=0825\n"
              "DrawText \"bbbb\" 10,36,32,16 fg=000000 bg=ffffff font=16 flags=0825\n"
              "DrawText \"cccc\" 10,52,32,16 fg=000000 bg=ffffff font=16 flags=0825\n"
              "Rectangle 10,92,60,1 pen=000000 brush=000000\n");  // the heading would not fit
    EXPECT_EQ(result, kViewOk);
    EXPECT_EQ(view->linesShown, 6);
}

TEST_F(PaintTest, TopLineOnABlankRowStartsOneRowLower) {
    Open(60, 100);
    ASSERT_EQ(Layout(kLesson), kViewOk);
    EXPECT_EQ(Paint(3),
              "FillRect 10,20,60,100 ffffff\n"
              "Rectangle 10,44,60,1 pen=000000 brush=000000\n"
              "DrawText \"Head\" 16,68,47,20 fg=ff0000 bg=ffffff font=20b flags=0825\n");
    EXPECT_EQ(view->linesShown, 4);  // the blank row at the top is not counted
}

TEST_F(PaintTest, LabelsGoInTheirColumnAndColoursFollowTheFont) {
    Open(60, 100);
    ASSERT_EQ(Layout(kLesson), kViewOk);
    COLORREF before = SetTextColor(canvas.dc, 0x123456);
    EXPECT_EQ(Paint(6, 0),
              "DrawText \"Head\" 16,20,47,20 fg=ff0000 bg=ffffff font=20b flags=0825\n"
              "DrawText \"1.\" 10,60,12,16 fg=000000 bg=ffffff font=16 flags=0825\n"
              "DrawText \"dddd\" 24,60,32,16 fg=000000 bg=ffffff font=16 flags=0825\n");
    EXPECT_EQ(view->linesShown, 3);
    EXPECT_EQ(GetTextColor(canvas.dc), 0x123456u);  // restored
    SetTextColor(canvas.dc, before);
}

TEST_F(PaintTest, TopLineBeyondTheTotalBecomesTheMaxTopLine) {
    Open(60, 100);
    ASSERT_EQ(Layout(kLesson), kViewOk);
    ASSERT_EQ(view->maxTopLine, 4);
    Paint(50);
    EXPECT_EQ(view->topLine, 4);
    Paint(9);  // between the max top line and the total: left alone
    EXPECT_EQ(view->topLine, 9);
    EXPECT_EQ(view->linesShown, 0);
}

TEST_F(PaintTest, RuleSitsInTheMiddleOfItsRow) {
    OpenWith(TestFace(14), 10, 100, 100, 100);
    ASSERT_EQ(Layout({{0x07, 20, ""}}), kViewOk);
    EXPECT_EQ(Paint(0, 0), "Rectangle 10,107,20,1 pen=000000 brush=000000\n");
}

TEST_F(PaintTest, LabelWiderThanItsColumnIsCut) {
    Open(100, 100);
    ASSERT_EQ(Layout({{0x01, 0x40, "MMM. aa"}}), kViewOk);
    EXPECT_EQ(Paint(0, 0),
              "DrawText \"M\" 10,20,14,16 fg=000000 bg=ffffff font=16 flags=0825\n"
              "DrawText \"aa\" 24,20,16,16 fg=000000 bg=ffffff font=16 flags=0825\n");
}

TEST_F(PaintTest, NothingToPaintWithoutText) {
    Open(100, 100);
    EXPECT_EQ(PaintTextView(view, 1), kViewNoView);
    EXPECT_EQ(PaintTextView(nullptr, 1), kViewNoView);
    EXPECT_EQ(PaintHighlight(view), kViewNoView);
}

// Lines: "aaaa" 2 at y 20, "bbbb" 7 at y 36, "1." + "cc dd" 14 (text at 17, x 24) at y 52.
struct HighlightCase {
    const char* name;
    int start, end;
    const char* drawn;
};
void PrintTo(const HighlightCase& c, std::ostream* os) { *os << c.name; }

class HighlightTable : public PaintTest, public ::testing::WithParamInterface<HighlightCase> {};

TEST_P(HighlightTable, DrawsExactlyTheRange) {
    const HighlightCase& c = GetParam();
    Open(50, 100);
    ASSERT_EQ(Layout({{0x01, 0, "aaaa bbbb"}, {0x01, 0x40, "1. cc dd"}}), kViewOk);
    view->highlightStart = (uint16_t)c.start;
    view->highlightEnd = (uint16_t)c.end;
    EXPECT_EQ(Highlights(Paint(0)), c.drawn);
    EXPECT_EQ(view->linesShown, 3);
}

INSTANTIATE_TEST_SUITE_P(Cases, HighlightTable, ::testing::Values(
    HighlightCase{"AcrossALineBreak", 5, 9,
                  "DrawText \"a\" 34,20,8,16 fg=ff0000 bg=00ffff font=16 flags=0825\n"
                  "DrawText \"bb\" 10,36,16,16 fg=ff0000 bg=00ffff font=16 flags=0825\n"},
    HighlightCase{"InsideALabel", 14, 15, "DrawText \"1\" 10,52,8,16 fg=ff0000 bg=00ffff font=16 flags=0825\n"},
    HighlightCase{"LastCharactersOfALabelledLine", 20, 22,
                  "DrawText \"dd\" 44,52,16,16 fg=ff0000 bg=00ffff font=16 flags=0825\n"},
    HighlightCase{"StartZeroStillDrawn", 0, 4, "DrawText \"aa\" 10,20,16,16 fg=ff0000 bg=00ffff font=16 flags=0825\n"},
    HighlightCase{"NoneWhenBothZero", 0, 0, ""}));

TEST_F(PaintTest, HighlightOfACutLabelStaysInItsColumn) {
    Open(100, 100);
    ASSERT_EQ(Layout({{0x01, 0x40, "MMM. aa"}}), kViewOk);
    view->highlightStart = 2;
    view->highlightEnd = 6;
    EXPECT_EQ(Highlights(Paint(0)), "DrawText \"M\" 10,20,14,16 fg=ff0000 bg=00ffff font=16 flags=0825\n");
}

// Twenty one-row lines in a view five rows high: total 20, max top line 15.
struct ScrollCase {
    int top, delta, repaint, clamp;
    int result, newTop;
    bool painted;
};

TEST_F(PaintTest, ScrollRules) {
    Open(100, 80);
    ASSERT_EQ(Layout(std::vector<Rec>(20, Rec{0x01, 0, "a"})), kViewOk);
    ASSERT_EQ(view->displayLines, 20);
    ASSERT_EQ(view->maxTopLine, 15);
    const ScrollCase cases[] = {
        {0, 0, 1, 1, 1, 0, false},     // no move, nothing painted
        {0, -3, 1, 1, 1, 0, false},    // up at the top
        {0, -1, 0, 0, 1, 0, false},
        {0, 5, 1, 1, 0, 5, true},
        {12, 5, 1, 1, 0, 17, true},    // from below the max: anywhere up to the total
        {17, 5, 1, 1, 1, 17, false},   // then down is refused
        {15, 1, 1, 1, 1, 15, false},   // already at the max
        {10, 30, 1, 1, 0, 15, true},   // beyond the total: the max top line
        {10, 30, 1, 0, 0, 15, true},
        {10, 8, 1, 0, 0, 18, true},    // without clamp, any row within the total
        {16, 2, 1, 0, 0, 18, true},
        {16, 30, 1, 0, 1, 16, false},  // beyond the total from past the max
        {20, -1, 1, 1, 0, 19, true},   // up from the end
        {3, 2, 0, 1, 3, 5, false},     // moved, painting not asked for
        {3, 0, 0, 0, 1, 3, false},
        {3, 0, 2, 0, 0, 3, true},      // always paint
        {3, -5, 2, 1, 0, 0, true},
    };
    for (const ScrollCase& c : cases) {
        view->topLine = (uint16_t)c.top;
        GdiTraceBegin(canvas.dc);
        int r = ScrollTextView(view, c.delta, c.repaint, c.clamp);
        std::string trace = GdiTraceEnd(canvas.dc);
        SCOPED_TRACE(testing::Message() << "top " << c.top << " delta " << c.delta << " repaint " << c.repaint
                                        << " clamp " << c.clamp);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(view->topLine, c.newTop);
        EXPECT_EQ(!trace.empty(), c.painted);
    }
    EXPECT_EQ(ScrollTextView(nullptr, 1, 1, 1), kViewNoView);
}

TEST_F(PaintTest, FontChangeLaysOutAgainAndRepaints) {
    Open(100, 100);
    ASSERT_EQ(Layout({{0x01, 0, "aaaa"}, {0xCC, 0, "b"}}), kViewOk);
    view->topLine = 1;
    FontSpec bigger = TestFace(20);
    GdiTraceBegin(canvas.dc);
    EXPECT_EQ(SetViewFont(view, &bigger), kViewOk);
    std::string trace = GdiTraceEnd(canvas.dc);
    EXPECT_EQ(DescribeLines(view), "2 4 10 0 40 20 01\n9 1 53 0 14 25 4c\n");
    EXPECT_EQ(view->topLine, 1);
    EXPECT_NE(trace.find("FillRect 10,20,100,100"), std::string::npos);
    EXPECT_NE(trace.find("font=25b"), std::string::npos);
    int nodes = 0;
    for (StyleFont* n = view->styleFonts; n; n = n->next) ++nodes;
    EXPECT_EQ(nodes, 2);

    EXPECT_EQ(SetViewFont(view, nullptr), kViewOk);
    for (StyleFont* n = view->styleFonts; n; n = n->next) EXPECT_EQ(n->font, nullptr);
    EXPECT_EQ(SetViewFont(nullptr, &bigger), kViewNoView);
    LayoutText(view, nullptr, 1);
    EXPECT_EQ(SetViewFont(view, &bigger), kViewLayoutFailed);
}

}  // namespace
