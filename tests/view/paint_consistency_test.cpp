// With a real font, every run painted lands where layout placed it: the view's paint
// must match, pixel for pixel, each line drawn on its own at its LineRecord's x with
// its recorded width, and that width must be the run's advance sum.
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/heap.h"
#include "view/text_paint.h"
#include "view/text_primitives.h"
#include "view_fixture.h"

namespace {

const std::vector<Rec> kProse = {
    {0xCC, 0, "Iron"},
    {0xC1, 0, "A metal of many uses, known since antiquity"},
    {0xC7, 0xC5, ""},
    {0xCC, 0, "Where it is found"},
    {0x81, 0, "Iron is the fourth most common element in the crust of the Earth, and much of the core is "
              "thought to be an alloy of iron and nickel. Well-known ores are hematite and magnetite."},
    {0x01, 0x40, "\x95 Symbol: Fe"},
    {0x81, 0x40, "\x95 Atomic number: 26, with a long line that wraps under its label to show the hang."},
    {0x81, 0x58, "1. Heat the ore with coke in a blast furnace; the carbon takes the oxygen away."},
    {0x81, 0x58, " The molten iron collects at the bottom, beneath a layer of slag."},
    {0x89, 0, "Facts worth knowing"},
    {0x82, 0x0C, "A small note, indented by twelve pixels, in the smaller print of the lesson."},
    {0xA1, 0, "Right-aligned text goes to the other edge."},
    {0x47, 0xD2, ""},
    {0x41, 0, "centred text at the end"},
};

class PaintConsistency : public ViewTest {};

TEST_F(PaintConsistency, RunsLandWhereLayoutPlacedThem) {
    FontSpec font = MakeFontSpec(u"DejaVu Sans", 16);
    OpenWith(font, 8, 10, 300, 600);
    ASSERT_EQ(Layout(kProse), kViewOk);
    ASSERT_EQ(PaintTextView(view, 1), kViewOk);
    ASSERT_EQ(view->linesShown, view->displayLines);  // all of it is visible

    Canvas ref;
    ASSERT_TRUE(CanvasCreate(&ref, canvas.width, canvas.height));
    // Each line on its own, by plain calls: text at x with ExtTextOut, clipped to the
    // recorded width; the label in its column.
    HDC dc = view->dc;
    view->dc = ref.dc;  // so SelectStyleFont picks the same fonts for the reference
    HFONT kept = SelectStyleFont(view, 1);
    int y = view->y;
    int runs = 0;
    for (const LineRecord* line = view->lines; line->style; ++line) {
        int h = line->height;
        if ((line->style & 7) == 7) {
            RECT bar = {line->x, y + h / 2, line->x + line->width, y + h / 2 + 1};
            FillRect(ref.dc, &bar, GetStockObject(BLACK_BRUSH));
        } else {
            SelectStyleFont(view, line->style | kSelectWithColour);
            const BYTE* t = view->text + line->offset;
            std::u16string run;
            if (line->hang) {
                int w = line->hang, n = LabelLength(t);
                MeasureText(ref.dc, t, &w, &n);
                std::u16string label(t, t + n);
                RECT clip = {line->x - line->hang, y, line->x - line->hang + w, y + h};
                ExtTextOutW(ref.dc, clip.left, y, ETO_CLIPPED | ETO_OPAQUE, &clip, label.c_str(), (UINT)n, nullptr);
                t += LabelSpan(t);
            }
            run.assign(t, t + line->count);
            SIZE size;
            GetTextExtentPoint32W(ref.dc, run.c_str(), (int)run.size(), &size);
            EXPECT_EQ(size.cx, line->width) << "line at offset " << line->offset;
            RECT clip = {line->x, y, line->x + line->width, y + h};
            ExtTextOutW(ref.dc, line->x, y, ETO_CLIPPED | ETO_OPAQUE, &clip, run.c_str(), (UINT)run.size(), nullptr);
            ++runs;
        }
        y += (line->style & 0x80) ? 2 * h : h;
    }
    SelectObject(ref.dc, kept);
    view->dc = dc;
    EXPECT_GT(runs, 15);

    int differing = 0, inked = 0;
    for (int py = 0; py < canvas.height; ++py)
        for (int px = 0; px < canvas.width; ++px) {
            COLORREF got = GetPixel(canvas.dc, px, py);
            if (got != 0xFFFFFF) ++inked;
            if (got != GetPixel(ref.dc, px, py) && differing++ < 5)
                ADD_FAILURE() << "pixel " << px << "," << py << " differs";
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, 2000);
    if (differing) {
        CanvasWritePng(&ref, VELMORA_BINARY_DIR "/view-consistency-reference.png");
        CanvasWritePng(&canvas, VELMORA_BINARY_DIR "/view-consistency-painted.png");
    }
    CanvasDestroy(&ref);

    // The text sits inside its rectangle, and the heading is blue.
    bool blue = false;
    for (int px = view->x; px < view->x + view->width; ++px)
        for (int py = view->y; py < view->y + view->lines[0].height; ++py) {
            COLORREF c = GetPixel(canvas.dc, px, py);
            if (c != 0xFFFFFF && (c & 0xFF) < 0x40 && (c >> 16) > 0xC0) blue = true;
        }
    EXPECT_TRUE(blue);
    for (int py = 0; py < canvas.height; ++py)
        for (int px = 0; px < canvas.width; ++px)
            if (px < view->x || px >= view->x + view->width || py < view->y || py >= view->y + view->height) {
                ASSERT_FALSE(Inked(&canvas, px, py)) << px << "," << py;
            }
}

}  // namespace
