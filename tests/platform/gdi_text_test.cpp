// Text: the test face's exact arithmetic, font heights and metrics, and the promise
// that a run drawn at its measured width lands exactly where it was measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gdi_canvas.h"
#include "platform/gdi.h"
#include "platform/heap.h"

namespace {

const char16_t kSans[] = u"DejaVu Sans";

SIZE Extent(HDC dc, const std::u16string& s) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, s.data(), (int)s.size(), &size));
    return size;
}

void DrawRun(HDC dc, const std::u16string& s, int x, int y) {
    SIZE size = Extent(dc, s);
    RECT r{x, y, x + size.cx, y + size.cy};
    DrawTextW(dc, s.data(), (int)s.size(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

TEST(GdiTestFace, ExtentsFollowTheTable) {
    struct Case {
        int height, weight;
        std::u16string text;
        int cx;
    } cases[] = {
        {16, 400, u"Iron", 4 + 5 + 8 + 8},
        {16, 400, u"MW", 28},
        {16, 400, u"a-b c", 8 + 5 + 8 + 4 + 8},
        {16, 400, u"0123456789", 80},
        {16, 400, u"\x95\x96\x97", 6 + 8 + 14},
        {16, 400, u"", 0},
        {0, 400, u"Iron", 25},
        {-16, 400, u"Iron", 25},
        {16, 700, u"Iron", 25 + 4},
        {20, 400, u"M a-i", 18 + 5 + 10 + 6 + 4},  // (a * 20 + 8) / 16
        {12, 400, u"M a-i", 11 + 3 + 6 + 4 + 2},   // (a * 12 + 8) / 16
        {2, 400, u"il", 1 + 1},                    // never below one pixel
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10);
        canvas.UseFont(GDI_TEST_FACE, c.height, c.weight);
        SIZE size = Extent(canvas.dc, c.text);
        EXPECT_EQ(size.cx, c.cx) << "height " << c.height << " weight " << c.weight;
        EXPECT_EQ(size.cy, c.height == 0 ? 16 : std::abs(c.height));
    }
}

TEST(GdiTestFace, FitCountsLeadingUnitsWithinTheLimit) {
    Canvas canvas(10, 10);
    canvas.UseFont(GDI_TEST_FACE, 16);
    const std::u16string iron = u"Iron";  // running sums 4, 9, 17, 25
    struct Case {
        int maxExtent, fit;
    } cases[] = {{0, 0}, {3, 0}, {4, 1}, {8, 1}, {9, 2}, {24, 3}, {25, 4}, {1000, 4}, {-1, 4}};
    for (const Case& c : cases) {
        int fit = -7, dx[4] = {};
        SIZE size{};
        ASSERT_TRUE(GetTextExtentExPointW(canvas.dc, iron.data(), 4, c.maxExtent, &fit, dx, &size));
        EXPECT_EQ(fit, c.fit) << "max " << c.maxExtent;
        EXPECT_EQ(size.cx, 25) << "the extent is always of all units";
        EXPECT_EQ(dx[0], 4);
        EXPECT_EQ(dx[3], 25);
    }
    SIZE size{};
    EXPECT_FALSE(GetTextExtentExPointW(canvas.dc, iron.data(), -1, 10, nullptr, nullptr, &size));
    EXPECT_FALSE(GetTextExtentExPointW(nullptr, iron.data(), 4, 10, nullptr, nullptr, &size));
}

TEST(GdiTestFace, MetricsPerHeightAndWeight) {
    struct Case {
        int lfHeight, weight;
        LONG height, ascent, descent, ave, max, tmWeight;
    } cases[] = {
        {0, 400, 16, 13, 3, 8, 14, 400},   {16, 400, 16, 13, 3, 8, 14, 400}, {-16, 400, 16, 13, 3, 8, 14, 400},
        {16, 700, 16, 13, 3, 9, 15, 700},  {20, 400, 20, 16, 4, 10, 18, 400}, {12, 400, 12, 10, 2, 6, 11, 400},
        {-14, 400, 14, 11, 3, 7, 12, 400},
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10);
        canvas.UseFont(GDI_TEST_FACE, c.lfHeight, c.weight);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
        EXPECT_EQ(tm.tmHeight, c.height) << c.lfHeight;
        EXPECT_EQ(tm.tmAscent, c.ascent) << c.lfHeight;
        EXPECT_EQ(tm.tmDescent, c.descent) << c.lfHeight;
        EXPECT_EQ(tm.tmAveCharWidth, c.ave) << c.lfHeight;
        EXPECT_EQ(tm.tmMaxCharWidth, c.max) << c.lfHeight;
        EXPECT_EQ(tm.tmWeight, c.tmWeight) << c.lfHeight;
    }
}

TEST(GdiTestFace, GlyphsAreBoxesWithAGapAtTheMeasuredPositions) {
    Canvas canvas(60, 20);
    canvas.UseFont(GDI_TEST_FACE, 16);
    DrawRun(canvas.dc, u"Ir o", 10, 2);  // advances 4, 5, 4 (space, not drawn), 8
    std::string ink = std::string(4, '.') + "###." + "####" + "....." + "#######" + std::string(12, '.');
    std::string rows[] = {canvas.Picture(6, 2, 42, 3)[0], canvas.Picture(6, 14, 42, 15)[0],
                          canvas.Picture(6, 15, 42, 16)[0], canvas.Picture(6, 17, 42, 18)[0]};
    EXPECT_EQ(rows[0], ink) << "top row of the cell";
    EXPECT_EQ(rows[1], ink) << "last row of the ascent";
    EXPECT_EQ(rows[2], std::string(36, '.')) << "the descent is background";
    EXPECT_EQ(rows[3], std::string(36, '.')) << "below the cell";
}

TEST(GdiTestFace, PiecesDrawnAtTheirMeasuredOffsetsMatchTheWholeRun) {
    const std::u16string text = u"Wax\x95-lily 42";
    Canvas whole(200, 20), pieces(200, 20);
    whole.UseFont(GDI_TEST_FACE, 16);
    pieces.UseFont(GDI_TEST_FACE, 16);
    DrawRun(whole.dc, text, 7, 1);
    for (size_t split : {1, 3, 4, 8}) {
        Canvas p(200, 20);
        p.UseFont(GDI_TEST_FACE, 16);
        std::u16string head = text.substr(0, split), tail = text.substr(split);
        DrawRun(p.dc, head, 7, 1);
        DrawRun(p.dc, tail, 7 + Extent(p.dc, head).cx, 1);
        EXPECT_EQ(p.Picture(0, 0, 200, 20), whole.Picture(0, 0, 200, 20)) << "split at " << split;
    }
    int first, last;
    whole.InkColumns(&first, &last);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 7 + Extent(whole.dc, text).cx - 2) << "last box ends one pixel short of the extent";
}

TEST(GdiDrawText, AlignsInTheRectangle) {
    // "Iron" is 25 wide and 16 high; the rectangle is 10,4 - 110,24.
    struct Case {
        UINT format;
        int left, top;
    } cases[] = {
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 10 + 37, 4 + 2},
        {DT_SINGLELINE | DT_LEFT | DT_TOP, 10, 4},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 110 - 25, 24 - 16},
        {DT_CENTER, 10 + 37, 4},  // vertical centring needs a single line
    };
    for (const Case& c : cases) {
        Canvas canvas(130, 40);
        canvas.UseFont(GDI_TEST_FACE, 16);
        SetBkMode(canvas.dc, TRANSPARENT);
        RECT r{10, 4, 110, 24};
        EXPECT_EQ(DrawTextW(canvas.dc, u"Iron", 4, &r, c.format | DT_NOPREFIX), 16);
        EXPECT_EQ(canvas.Picture(c.left - 1, c.top - 1, c.left + 2, c.top + 1),
                  (std::vector<std::string>{"...", ".##"}))
            << "format " << c.format;
    }
}

TEST(GdiDrawText, OpaqueModeFillsTheRectangleAndTransparentKeepsIt) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Canvas canvas(60, 30);
        canvas.UseFont(GDI_TEST_FACE, 16);
        SetBkMode(canvas.dc, mode);
        SetBkColor(canvas.dc, 0x00FFFF);
        SetTextColor(canvas.dc, 0xFF0000);
        RECT r{5, 5, 45, 25};
        DrawTextW(canvas.dc, u"o", 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        COLORREF corner = mode == OPAQUE ? 0x00FFFF : 0xFFFFFF;
        EXPECT_EQ(canvas.At(5, 5), corner);
        EXPECT_EQ(canvas.At(44, 24), corner);
        EXPECT_EQ(canvas.At(45, 24), 0xFFFFFFu) << "right edge excluded";
        EXPECT_EQ(canvas.At(25, 12), 0xFF0000u) << "the glyph in the text colour";
    }
}

TEST(GdiDrawText, PrefixUnderlinesAndCalcRectMeasures) {
    Canvas canvas(80, 60);
    canvas.UseFont(GDI_TEST_FACE, 16);
    RECT r{0, 0, 80, 20};
    DrawTextW(canvas.dc, u"&Ok", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(canvas.Picture(0, 14, 12, 15)[0], "##########..") << "the underline of 'O' only";
    RECT calc{0, 0, 40, 0};
    EXPECT_EQ(DrawTextW(canvas.dc, u"aaa aaa aaa", -1, &calc, DT_CALCRECT | DT_WORDBREAK), 48);
    EXPECT_EQ(calc.right, 24) << "three lines of \"aaa\", the spaces trimmed";
    RECT lines{0, 0, 80, 0};
    EXPECT_EQ(DrawTextW(canvas.dc, u"a\nb\r\nc", -1, &lines, DT_CALCRECT), 48);
    EXPECT_EQ(lines.right, 8);
}

TEST(GdiExtTextOut, ClipsToTheRectangleAndFillsWhenAsked) {
    Canvas canvas(60, 20);
    canvas.UseFont(GDI_TEST_FACE, 16);
    SetBkColor(canvas.dc, 0x00FFFF);
    RECT clip{3, 0, 20, 20};
    ASSERT_TRUE(ExtTextOutW(canvas.dc, 0, 0, ETO_CLIPPED | ETO_OPAQUE, &clip, u"MMM", 3, nullptr));
    EXPECT_EQ(canvas.At(2, 5), 0xFFFFFFu) << "left of the clip";
    EXPECT_EQ(canvas.At(3, 5), 0u);
    EXPECT_EQ(canvas.At(19, 18), 0x00FFFFu) << "opaque rectangle";
    EXPECT_EQ(canvas.At(20, 5), 0xFFFFFFu) << "right of the clip";
    // Without clipping, an OPAQUE DC fills the text cell only.
    ASSERT_TRUE(ExtTextOutW(canvas.dc, 30, 0, 0, nullptr, u"i", 1, nullptr));
    EXPECT_EQ(canvas.At(32, 15), 0x00FFFFu);
    EXPECT_EQ(canvas.At(33, 15), 0xFFFFFFu);
}

TEST(GdiTrace, RecordsDrawingCallsAsText) {
    Canvas canvas(100, 50);
    canvas.UseFont(GDI_TEST_FACE, 16);
    ASSERT_TRUE(GdiTraceBegin(canvas.dc));
    RECT all{0, 0, 100, 50};
    FillRect(canvas.dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetTextColor(canvas.dc, 0xFF0000);
    RECT r{10, 20, 35, 36};
    DrawTextW(canvas.dc, u"Ir\"\x95", 4, &r, 0x0825);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    SetBkMode(canvas.dc, TRANSPARENT);
    Rectangle(canvas.dc, 0, 40, 100, 41);
    ExtTextOutW(canvas.dc, 1, 2, ETO_CLIPPED, &r, u"x", 1, nullptr);
    EXPECT_STREQ(GdiTraceEnd(canvas.dc),
                 "FillRect 0,0,100,50 ffffff\n"
                 "DrawText \"Ir\\\"\\x95\" 10,20,25,16 fg=ff0000 bg=ffffff font=16 flags=0825\n"
                 "Rectangle 0,40,100,1 pen=000000 brush=000000\n"
                 "ExtTextOut \"x\" 1,2 fg=ff0000 bg=none font=16 clip=10,20,25,16\n");
    FillRect(canvas.dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    EXPECT_STREQ(GdiTraceEnd(canvas.dc), "") << "nothing is recorded after the end";
}

TEST(GdiFont, HeightRulesOnARealFace) {
    struct Case {
        LONG lfHeight;
        int weight;
    } cases[] = {{0, 400}, {12, 400}, {16, 400}, {20, 700}, {-12, 400}, {-16, 400}, {-20, 700}};
    for (const Case& c : cases) {
        Canvas canvas(10, 10);
        canvas.UseFont(kSans, c.lfHeight, c.weight);
        ASSERT_NE(canvas.font, nullptr) << GdiLastError();
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
        if (c.lfHeight >= 0) {
            EXPECT_EQ(tm.tmHeight, c.lfHeight ? c.lfHeight : 16) << "cell height " << c.lfHeight;
        } else {
            EXPECT_GT(tm.tmHeight, -c.lfHeight) << "a character height leaves room for the leading";
            EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, -c.lfHeight, 1) << c.lfHeight;
        }
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        EXPECT_EQ(tm.tmWeight, c.weight);
    }
}

TEST(GdiFont, MissingFacesFallBackToTheSansFace) {
    Canvas reference(10, 10);
    reference.UseFont(kSans, -13);
    SIZE want = Extent(reference.dc, u"Falling back");
    for (const char16_t* face : {u"Tahoma", u"System", u"No Such Face 123", u""}) {
        Canvas canvas(10, 10);
        canvas.UseFont(face, -13);
        ASSERT_NE(canvas.font, nullptr);
        SIZE got = Extent(canvas.dc, u"Falling back");
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
    }
}

TEST(GdiFont, MaxCharWidthIsTheWidestOf8BitRepertoire) {
    for (int weight : {400, 700}) {
        Canvas canvas(10, 10);
        canvas.UseFont(kSans, 16, weight);
        LONG widest = 0;
        for (char16_t u = 0x20; u <= 0xFF; ++u) widest = std::max(widest, Extent(canvas.dc, std::u16string(1, u)).cx);
        TEXTMETRICW tm{};
        ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
        EXPECT_EQ(tm.tmMaxCharWidth, widest);
        EXPECT_GT(tm.tmMaxCharWidth, tm.tmAveCharWidth);
        EXPECT_EQ(tm.tmAveCharWidth, Extent(canvas.dc, u"x").cx);
    }
}

TEST(GdiFont, RealRunsLandWhereMeasured) {
    const std::u16string texts[] = {u"Hello, world", u"jiggly fox \x93quoted\x94 \x96 dash", u"WAVE\xC9\xE9\xDF 1234",
                                    u"il1|!.,;:"};
    for (int height : {-11, 16, -20}) {
        for (const std::u16string& text : texts) {
            Canvas whole(400, 40);
            whole.UseFont(kSans, height);
            SetBkMode(whole.dc, TRANSPARENT);
            const int x = 30;
            SIZE size = Extent(whole.dc, text);
            RECT r{x, 5, x + size.cx, 5 + size.cy};
            DrawTextW(whole.dc, text.data(), (int)text.size(), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
            int first, last;
            whole.InkColumns(&first, &last);
            ASSERT_LE(first, last) << "something is drawn";
            // Side bearings may reach a pixel beyond the advance box, no more.
            EXPECT_GE(first, x - 1);
            EXPECT_LE(last, x + size.cx);

            // Drawn word by word at measured offsets, the pixels are the same.
            Canvas pieces(400, 40);
            pieces.UseFont(kSans, height);
            SetBkMode(pieces.dc, TRANSPARENT);
            size_t start = 0;
            while (start < text.size()) {
                size_t end = text.find(u' ', start + 1);
                if (end == std::u16string::npos) end = text.size();
                std::u16string piece = text.substr(start, end - start);
                int offset = Extent(pieces.dc, text.substr(0, start)).cx;
                SIZE ps = Extent(pieces.dc, piece);
                RECT pr{x + offset, 5, x + offset + ps.cx, 5 + ps.cy};
                DrawTextW(pieces.dc, piece.data(), (int)piece.size(), &pr,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
                start = end;
            }
            EXPECT_EQ(pieces.Picture(0, 0, 400, 40), whole.Picture(0, 0, 400, 40));
        }
    }
}

TEST(GdiFont, Windows1252UnitsDrawTheirUnicodeGlyphs) {
    const std::pair<char16_t, char16_t> pairs[] = {{0x95, 0x2022}, {0x80, 0x20AC}, {0x85, 0x2026},
                                                   {0x91, 0x2018}, {0x94, 0x201D}, {0x97, 0x2014}};
    for (auto [unit, code] : pairs) {
        Canvas a(40, 30), b(40, 30);
        a.UseFont(kSans, 16);
        b.UseFont(kSans, 16);
        DrawRun(a.dc, std::u16string(1, unit), 5, 5);
        DrawRun(b.dc, std::u16string(1, code), 5, 5);
        EXPECT_GT(a.InkCount(), 4) << std::hex << (int)unit;
        EXPECT_EQ(a.Picture(0, 0, 40, 30), b.Picture(0, 0, 40, 30)) << std::hex << (int)unit;
    }
}

TEST(GdiFont, AGlyphTheFaceLacksDrawsABox) {
    for (char16_t unit : {(char16_t)0x81, (char16_t)0xE0FF}) {
        Canvas canvas(40, 30);
        canvas.UseFont(kSans, 16);
        SIZE size = Extent(canvas.dc, std::u16string(1, unit));
        EXPECT_GT(size.cx, 1);
        DrawRun(canvas.dc, std::u16string(1, unit), 5, 5);
        EXPECT_GT(canvas.InkCount(), 6) << std::hex << (int)unit;
    }
}

TEST(GdiFont, EnumeratesEachFamilyOnce) {
    struct Seen {
        std::vector<std::u16string> names;
        std::vector<DWORD> types;
    } seen;
    auto proc = [](const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM p) -> int {
        Seen* s = (Seen*)p;
        s->names.push_back(lf->lfFaceName);
        s->types.push_back(type);
        return tm->tmHeight > 0;
    };
    EXPECT_NE(EnumFontFamiliesW(nullptr, nullptr, proc, (LPARAM)&seen), 0);
    auto count = [&](const std::u16string& n) { return std::count(seen.names.begin(), seen.names.end(), n); };
    EXPECT_EQ(count(u"DejaVu Sans"), 1);
    EXPECT_EQ(count(u"Velmora Test"), 1);
    Seen one;
    EXPECT_NE(EnumFontFamiliesW(nullptr, u"dejavu sans", proc, (LPARAM)&one), 0);
    EXPECT_EQ(one.names, std::vector<std::u16string>{u"DejaVu Sans"});
    EXPECT_EQ(one.types, std::vector<DWORD>{(DWORD)TRUETYPE_FONTTYPE});
    Seen none;
    EXPECT_EQ(EnumFontFamiliesW(nullptr, u"No Such Face 123", proc, (LPARAM)&none), 0);
    EXPECT_TRUE(none.names.empty());
}

TEST(GdiFont, CreationFailsCleanlyWhenTheHeapIsExhausted) {
    long live = HeapLiveBlocks();
    LOGFONTW lf{};
    HeapFailAfter(1);
    EXPECT_EQ(CreateFontIndirectW(&lf), nullptr);
    HeapFailAfter(0);
    EXPECT_EQ(HeapLiveBlocks(), live);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
}

}  // namespace
