// A lesson with every kind of record, laid out at 480 pixels in the default font and
// painted into view-shots/sample.png in the build folder, to be looked at.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "view/text_paint.h"
#include "view_fixture.h"

namespace {

const std::vector<Rec> kSample = {
    {0xCC, 0, "Carbon"},
    {0xC1, 0, "The element of life and of diamonds"},
    {0xC7, 0xC5, ""},
    {0xCC, 0, "What it is"},
    {0x81, 0, "Carbon is a non-metal with four electrons to share, which lets its atoms bond to each "
              "other in chains, rings and sheets. No other element forms so many compounds."},
    {0x89, 0, "Forms of carbon"},
    {0x01, 0x40, "\x95 Diamond: every atom bonded to four others in a rigid lattice."},
    {0x01, 0x40, "\x95 Graphite: sheets that slide over each other, soft and grey."},
    {0x81, 0x40, "\x95 Fullerenes: closed cages such as the sixty-atom ball."},
    {0x81, 0x58, "1. Burn a candle under a cold plate."},
    {0x81, 0x58, " The black soot that collects is almost pure carbon."},
    {0x82, 0x0C, "Note: the smaller print is used for asides like this one."},
    {0x47, 0xAC, ""},
    {0xC1, 0, "End of the sample"},
};

TEST_F(ViewTest, SampleLessonScreenshot) {
    OpenWith(MakeFontSpec(u"", 0), 0, 0, 480, 640);
    ASSERT_EQ(Layout(kSample), kViewOk);
    ASSERT_EQ(PaintTextView(view, 1), kViewOk);
    std::string dir = VELMORA_BINARY_DIR "/view-shots";
    mkdir(dir.c_str(), 0755);
    EXPECT_TRUE(CanvasWritePng(&canvas, (dir + "/sample.png").c_str()));

    // The title is blue, the 74 % rule a black bar of 355 pixels centred.
    const LineRecord& title = view->lines[0];
    int blue = 0;
    for (int y = 0; y < title.height; ++y)
        for (int x = title.x; x < title.x + title.width; ++x) {
            COLORREF c = GetPixel(canvas.dc, x, y);
            if ((c & 0xFF) < 0x60 && (c >> 16) > 0xC0) ++blue;
        }
    EXPECT_GT(blue, 20);
    const LineRecord* rule = nullptr;
    int y = 0;
    for (const LineRecord* line = view->lines; line->style && !rule; ++line) {
        if ((line->style & 7) == 7) rule = line;
        else y += (line->style & 0x80) ? 2 * line->height : line->height;
    }
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->width, 2 * (0xC5 - 160) * 480 / 100);
    int bar = y + rule->height / 2;
    EXPECT_EQ(GetPixel(canvas.dc, rule->x, bar), 0u);
    EXPECT_EQ(GetPixel(canvas.dc, rule->x + rule->width - 1, bar), 0u);
    EXPECT_EQ(GetPixel(canvas.dc, rule->x + rule->width, bar), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(canvas.dc, rule->x, bar + 1), 0xFFFFFFu);
}

}  // namespace
