// Style fonts, measuring and widening, on the test face.
#include <cstring>
#include <string>

#include "platform/gdi.h"
#include "platform/heap.h"
#include "view/text_primitives.h"
#include "view_fixture.h"

namespace {

int NodeCount(const TextView* view) {
    int n = 0;
    for (StyleFont* node = view->styleFonts; node; node = node->next) ++n;
    return n;
}

struct HeightCase {
    int size, code, height, widest;
};

TEST_F(ViewTest, StyleFontHeightsAndWeights) {
    const HeightCase cases[] = {
        {16, 0x01, 16, 14}, {16, 0x04, 20, 18}, {16, 0x02, 12, 11}, {16, 0x06, 20, 18},  // larger wins
        {10, 0x04, 12, 11}, {10, 0x02, 7, 6},   // 12.5 and 7.5 truncated
        {0, 0x01, 16, 14},  {0, 0x04, 20, 18},  {0, 0x02, 14, 12},   // defaults
        {16, 0x08, 16, 15},                     // bold: one pixel wider
    };
    for (const HeightCase& c : cases) {
        Open(100, 100, c.size);
        HFONT old = SelectStyleFont(view, c.code);
        TEXTMETRICW tm;
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
        EXPECT_EQ(tm.tmHeight, c.height) << c.size << " " << c.code;
        EXPECT_EQ(tm.tmMaxCharWidth, c.widest) << c.size << " " << c.code;
        SelectObject(canvas.dc, old);
    }
}

TEST_F(ViewTest, StylesShareAFontByKeyAndColourOnlyWhenAsked) {
    Open(100);
    HFONT original = SelectStyleFont(view, 0x81);
    HFONT plain = SelectStyleFont(view, 0xC1);  // same key 0x01: the same font
    EXPECT_EQ(SelectStyleFont(view, 0x01), plain);
    EXPECT_EQ(NodeCount(view), 1);
    SetTextColor(canvas.dc, 0x123456);
    SelectStyleFont(view, 0xCC);
    EXPECT_EQ(NodeCount(view), 2);
    EXPECT_EQ(GetTextColor(canvas.dc), 0x123456u);
    SelectStyleFont(view, 0xCC | kSelectWithColour);
    EXPECT_EQ(GetTextColor(canvas.dc), kColourHeadingBlue);
    SelectStyleFont(view, 0x89 | kSelectWithColour);
    EXPECT_EQ(GetTextColor(canvas.dc), kColourBlack);
    SelectObject(canvas.dc, original);
    EXPECT_EQ(SelectStyleFont(nullptr, 1), nullptr);
}

TEST_F(ViewTest, FontThatCannotBeMadeLeavesTheSelectionAlone) {
    Open(100);
    HFONT original = SelectStyleFont(view, 0x01);
    HFONT plain = SelectStyleFont(view, 0x01);
    HeapFailAfter(1, true);
    EXPECT_EQ(SelectStyleFont(view, 0x0C), plain);  // the current font comes back
    EXPECT_EQ(SelectStyleFont(view, 0x0C), plain);
    HeapFailAfter(0);
    EXPECT_LE(NodeCount(view), 2);  // failures do not pile up nodes
    TEXTMETRICW tm;
    GetTextMetricsW(canvas.dc, &tm);
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(SelectStyleFont(view, 0x0C), plain);  // made now, on the next try
    GetTextMetricsW(canvas.dc, &tm);
    EXPECT_EQ(tm.tmHeight, 20);
    SelectObject(canvas.dc, original);
}

struct MeasureCase {
    const char* text;
    int width, count;
    int fit, measured;
};

TEST_F(ViewTest, MeasureText) {
    Open(100);
    HFONT old = SelectStyleFont(view, 1);
    const MeasureCase cases[] = {
        {"aaaa", 100, 4, 4, 32},   {"aaaa", 31, 4, 3, 24},  {"aaaa", 32, 4, 4, 32},
        {"aaaa", 7, 4, 0, 0},      // narrower than the first character
        {"aaaa", 100, 2, 2, 16},   // only count characters are considered
        {"aa", 100, 9, 2, 16},     // and never past the NUL
        {"a b-c", 100, 5, 5, 33},  {"aaaa", -5, 4, 0, 0},  {"aaaa", 100, 0, 0, 0},
    };
    for (const MeasureCase& c : cases) {
        int width = c.width, count = c.count;
        EXPECT_EQ(MeasureText(canvas.dc, c.text, &width, &count), 0);
        EXPECT_EQ(count, c.fit) << c.text << " " << c.width;
        EXPECT_EQ(width, c.measured) << c.text << " " << c.width;
    }
    SelectObject(canvas.dc, old);
}

TEST_F(ViewTest, LongRunsMeasureAsOneQuery) {
    Open(100);
    HFONT old = SelectStyleFont(view, 1);
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "aim fw-"[i % 7];
    std::u16string wide(text.begin(), text.end());
    for (int limit : {0, 3, 100, 479, 480, 4000, 9000, 100000}) {
        int fit = 0;
        SIZE size;
        GetTextExtentExPointW(canvas.dc, wide.c_str(), (int)wide.size(), limit, &fit, nullptr, &size);
        SIZE fitSize;
        GetTextExtentPoint32W(canvas.dc, wide.c_str(), fit, &fitSize);
        int width = limit, count = (int)text.size();
        ASSERT_EQ(MeasureText(canvas.dc, text.c_str(), &width, &count), 0);
        EXPECT_EQ(count, fit) << limit;
        EXPECT_EQ(width, fit ? fitSize.cx : 0) << limit;
        for (int n : {1, count / 2, count})
            if (n >= 1 && n <= count) {
                GetTextExtentPoint32W(canvas.dc, wide.c_str(), n, &fitSize);
                EXPECT_EQ(MeasuredPrefixWidth(n), fitSize.cx) << limit << " " << n;
            }
    }
    SelectObject(canvas.dc, old);
}

TEST(WidenText, CopiesUpToCountOrTheNul) {
    struct {
        const char* text;
        int count;
        std::u16string out;
    } cases[] = {{"abc", 2, u"ab"}, {"abc", 9, u"abc"}, {"abc", 0, u""}, {"\x95\xff", 5, u"\x95\xff"}};
    for (auto& c : cases) {
        WCHAR* own = WidenText(c.text, nullptr, c.count);
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(std::u16string(own), c.out);
        LocalFree(own);
        EXPECT_EQ(std::u16string(WidenText(c.text, &g_widenBuffer, c.count)), c.out);
    }
}

TEST(WidenText, SharedBufferOnlyGrows) {
    WidenBuffer buffer = {nullptr, 0};
    WCHAR* first = WidenText("abcdef", &buffer, 6);
    EXPECT_EQ(WidenText("xy", &buffer, 2), first);
    EXPECT_EQ(buffer.capacity, 6);
    HeapFailAfter(1);
    EXPECT_EQ(WidenText("abcdefgh", &buffer, 8), nullptr);
    HeapFailAfter(0);
    EXPECT_EQ(buffer.text, first);  // kept when it cannot grow
    WCHAR* grown = WidenText("abcdefgh", &buffer, 8);
    EXPECT_EQ(std::u16string(grown), u"abcdefgh");
    EXPECT_EQ(buffer.capacity, 8);
    LocalFree(buffer.text);
}

TEST_F(ViewTest, MeasureWithoutMemoryReportsNothingFits) {
    Open(100);
    HFONT old = SelectStyleFont(view, 1);
    std::string huge(g_widenBuffer.capacity + 5000, 'a');
    int width = 1000000, count = (int)huge.size();
    HeapFailAfter(1, true);
    EXPECT_EQ(MeasureText(canvas.dc, huge.c_str(), &width, &count), -1);
    HeapFailAfter(0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(width, 0);
    SelectObject(canvas.dc, old);
}

}  // namespace
