// Device contexts, stock objects, rectangles, bitmaps and surfaces.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gdi_canvas.h"
#include "platform/gdi.h"
#include "platform/heap.h"
#include "platform/surface.h"

namespace {

using Rows = std::vector<std::string>;

TEST(GdiDc, StartsOpaqueWhiteBlackWithDefaultObjects) {
    Canvas canvas(8, 6);
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);
    EXPECT_EQ(GetBkColor(canvas.dc), 0xFFFFFFu);
    EXPECT_EQ(GetTextColor(canvas.dc), 0u);
    // The default pen is black and the default brush white.
    SelectObject(canvas.dc, GetStockObject(GRAY_BRUSH));
    HGDIOBJ oldBrush = SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(oldBrush, GetStockObject(GRAY_BRUSH));
    Rectangle(canvas.dc, 0, 0, 4, 4);
    EXPECT_EQ(canvas.Picture(0, 0, 5, 5), (Rows{"####.", "#..#.", "#..#.", "####.", "....."}));
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16) << "the default font";
    EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSX), 96);
}

TEST(GdiDc, ColourAndModeSettersReturnThePreviousValue) {
    Canvas canvas(2, 2);
    EXPECT_EQ(SetTextColor(canvas.dc, 0xFF0000), 0u);
    EXPECT_EQ(SetTextColor(canvas.dc, 0x00FF00), 0xFF0000u);
    EXPECT_EQ(SetBkColor(canvas.dc, 0x00FFFF), 0xFFFFFFu);
    EXPECT_EQ(GetBkColor(canvas.dc), 0x00FFFFu);
    EXPECT_EQ(SetBkMode(canvas.dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(canvas.dc, 7), 0) << "unknown mode refused";
    EXPECT_EQ(GetBkMode(canvas.dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(nullptr), CLR_INVALID);
    EXPECT_EQ(SetBkMode(nullptr, OPAQUE), 0);
}

TEST(GdiStock, BrushesAndPensHaveTheirColours) {
    struct Case {
        int index;
        COLORREF drawn;  // what FillRect (brush) or a Rectangle outline (pen) leaves
    } cases[] = {
        {WHITE_BRUSH, 0xFFFFFF}, {LTGRAY_BRUSH, 0xC0C0C0}, {GRAY_BRUSH, 0x808080}, {DKGRAY_BRUSH, 0x404040},
        {BLACK_BRUSH, 0x000000}, {NULL_BRUSH, 0x123456},   {WHITE_PEN, 0xFFFFFF},  {BLACK_PEN, 0x000000},
        {NULL_PEN, 0x123456},
    };
    for (const Case& c : cases) {
        Canvas canvas(4, 4);
        HBRUSH marker = CreateSolidBrush(0x123456);
        RECT all{0, 0, 4, 4};
        FillRect(canvas.dc, &all, marker);
        HGDIOBJ obj = GetStockObject(c.index);
        ASSERT_NE(obj, nullptr) << c.index;
        if (c.index <= NULL_BRUSH) {
            EXPECT_EQ(FillRect(canvas.dc, &all, (HBRUSH)obj), 1);
        } else {
            SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
            SelectObject(canvas.dc, obj);
            Rectangle(canvas.dc, 0, 0, 4, 4);
        }
        EXPECT_EQ(canvas.At(0, 0), c.drawn) << "stock object " << c.index;
        DeleteObject(marker);
        EXPECT_TRUE(DeleteObject(obj)) << "deleting a stock object is harmless";
    }
    for (int bad : {-1, 9, 12, 14, 18}) EXPECT_EQ(GetStockObject(bad), nullptr) << bad;
    EXPECT_EQ(GetStockObject(SYSTEM_FONT) != nullptr && GetStockObject(DEFAULT_GUI_FONT) != nullptr, true);
}

TEST(GdiShapes, RectangleAndFillRectExcludeRightAndBottomEdges) {
    struct Case {
        const char* name;
        int pen, brush;
        RECT r;
        bool fill;  // FillRect with the brush instead of Rectangle
        Rows want;
    } cases[] = {
        {"outline and inside", BLACK_PEN, GRAY_BRUSH, {1, 1, 5, 4}, false,
         {"......", ".####.", ".#??#.", ".####.", "......"}},
        {"a rule: one pixel high", BLACK_PEN, BLACK_BRUSH, {1, 2, 5, 3}, false,
         {"......", "......", ".####.", "......", "......"}},
        {"null pen fills one less", NULL_PEN, BLACK_BRUSH, {1, 1, 5, 4}, false,
         {"......", ".###..", ".###..", "......", "......"}},
        {"null brush leaves the inside", BLACK_PEN, NULL_BRUSH, {0, 0, 6, 5}, false,
         {"######", "#....#", "#....#", "#....#", "######"}},
        {"swapped corners", BLACK_PEN, BLACK_BRUSH, {5, 4, 1, 1}, false,
         {"......", ".####.", ".####.", ".####.", "......"}},
        {"FillRect", BLACK_PEN, BLACK_BRUSH, {1, 1, 5, 4}, true,
         {"......", ".####.", ".####.", ".####.", "......"}},
        {"FillRect empty", BLACK_PEN, BLACK_BRUSH, {3, 1, 3, 4}, true,
         {"......", "......", "......", "......", "......"}},
        {"FillRect inverted", BLACK_PEN, BLACK_BRUSH, {5, 4, 1, 1}, true,
         {"......", "......", "......", "......", "......"}},
        {"clipped at the bitmap", BLACK_PEN, BLACK_BRUSH, {-3, 3, 9, 99}, true,
         {"......", "......", "......", "######", "######"}},
    };
    for (const Case& c : cases) {
        Canvas canvas(6, 5);
        SelectObject(canvas.dc, GetStockObject(c.pen));
        SelectObject(canvas.dc, GetStockObject(c.brush));
        if (c.fill)
            FillRect(canvas.dc, &c.r, (HBRUSH)GetStockObject(c.brush));
        else
            Rectangle(canvas.dc, c.r.left, c.r.top, c.r.right, c.r.bottom);
        EXPECT_EQ(canvas.Picture(0, 0, 6, 5), c.want) << c.name;
    }
}

TEST(GdiShapes, LinesExcludeTheirEndPointAndInvertFlips) {
    Canvas canvas(6, 4);
    MoveToEx(canvas.dc, 0, 1, nullptr);
    LineTo(canvas.dc, 5, 1);
    POINT previous{};
    MoveToEx(canvas.dc, 3, 3, &previous);
    EXPECT_EQ(previous.x, 5);
    LineTo(canvas.dc, 3, 0);
    RECT r{0, 3, 2, 4};
    InvertRect(canvas.dc, &r);
    EXPECT_EQ(canvas.Picture(0, 0, 6, 4), (Rows{"......", "#####.", "...#..", "##.#.."}));
}

TEST(GdiObjects, SelectReturnsThePreviousAndSelectedObjectsSurviveDeletion) {
    Canvas canvas(4, 4);
    HPEN red = CreatePen(PS_SOLID, 1, 0x0000FF);
    HBRUSH blue = CreateSolidBrush(0xFF0000);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(SelectObject(canvas.dc, red), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(canvas.dc, blue), GetStockObject(WHITE_BRUSH));
    EXPECT_FALSE(DeleteObject(red)) << "still selected";
    Rectangle(canvas.dc, 0, 0, 3, 3);
    EXPECT_EQ(canvas.At(0, 0), 0x0000FFu);
    EXPECT_EQ(canvas.At(1, 1), 0xFF0000u);
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(BLACK_PEN)), red);
    EXPECT_EQ(SelectObject(canvas.dc, GetStockObject(WHITE_BRUSH)), blue);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_EQ(SelectObject(canvas.dc, red), nullptr) << "a deleted handle is refused";
    EXPECT_EQ(CreatePen(PS_DASH, 1, 0), nullptr);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
}

TEST(GdiObjects, ABitmapLivesInOneMemoryDcAtATime) {
    Canvas canvas(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, canvas.bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(canvas.bitmap));
    RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(other, &r, (HBRUSH)GetStockObject(BLACK_BRUSH)), 0) << "no bitmap, no drawing";
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(other));

    // A new memory DC holds a default bitmap; selecting it back frees ours.
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mine = CreateCompatibleBitmap(dc, 2, 2);
    HGDIOBJ original = SelectObject(dc, mine);
    ASSERT_NE(original, nullptr);
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(original, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(SelectObject(dc, original), mine);
    EXPECT_TRUE(DeleteObject(mine));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, CreationFailsCleanlyWhenTheHeapIsExhausted) {
    long live = HeapLiveBlocks();
    HeapFailAfter(1, true);
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    EXPECT_EQ(CreateSolidBrush(0), nullptr);
    EXPECT_EQ(CreatePen(PS_SOLID, 1, 0), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);
    HeapFailAfter(0);
    EXPECT_EQ(HeapLiveBlocks(), live);
    EXPECT_STRNE(GdiLastError(), "");
}

TEST(GdiBitmap, MonochromeRowsArePaddedTo16Bits) {
    // 10 x 2: each row is two bytes; 1 = white, the first pixel in the top bit.
    const uint8_t bits[] = {0b10100000, 0b01000000, 0b00000000, 0b01000000};
    HBITMAP mono = CreateBitmap(10, 2, 1, 1, bits);
    ASSERT_NE(mono, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(mono, sizeof info, &info), (int)sizeof info);
    EXPECT_EQ(info.bmWidth, 10);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmWidthBytes, 2);
    EXPECT_EQ(info.bmBitsPixel, 1);

    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, mono);
    Canvas canvas(12, 3);
    SetTextColor(canvas.dc, 0x000000);  // 0 bits
    SetBkColor(canvas.dc, 0xFFFFFF);    // 1 bits
    ASSERT_TRUE(BitBlt(canvas.dc, 1, 1, 10, 2, src, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.Picture(0, 0, 12, 3), (Rows{"............", "..#.######..", ".#########.."}));

    // The destination's colours pick the two colours; blocks past an edge are cut.
    SetTextColor(canvas.dc, 0x0000FF);
    SetBkColor(canvas.dc, 0x00FF00);
    ASSERT_TRUE(BitBlt(canvas.dc, 10, 0, 5, 5, src, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(10, 0), 0x00FF00u);
    EXPECT_EQ(canvas.At(11, 0), 0x0000FFu);
    EXPECT_EQ(canvas.At(10, 2), 0xFFFFFFu) << "below the source nothing changes";
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 1, 1, src, 0, 0, 0x00660046)) << "only SRCCOPY";

    SelectObject(src, old);
    DeleteDC(src);
    DeleteObject(mono);
}

TEST(GdiBitmap, ColourBlocksCopyUnchangedAndToMonochromeByBackground) {
    const uint32_t pixels[] = {0x112233, 0xFFFFFF, 0x445566, 0xFFFFFF};  // 0x00RRGGBB
    HBITMAP colour = CreateBitmap(2, 2, 1, 32, pixels);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(src, colour);
    Canvas canvas(3, 3);
    ASSERT_TRUE(BitBlt(canvas.dc, 1, 1, 2, 2, src, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.At(1, 1), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(canvas.At(1, 2), RGB(0x44, 0x55, 0x66));

    HBITMAP mono = CreateBitmap(2, 2, 1, 1, nullptr);
    HDC monoDc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldMono = SelectObject(monoDc, mono);
    ASSERT_TRUE(BitBlt(monoDc, 0, 0, 2, 2, src, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(canvas.dc, 0, 0, 2, 2, monoDc, 0, 0, SRCCOPY));
    EXPECT_EQ(canvas.Picture(0, 0, 2, 2), (Rows{"#.", "#."})) << "source background white became 1";

    SelectObject(monoDc, oldMono);
    SelectObject(src, old);
    DeleteDC(monoDc);
    DeleteDC(src);
    DeleteObject(mono);
    DeleteObject(colour);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(0, 4, 1, 32, nullptr), nullptr);
}

TEST(GdiWindowDc, KeepsItsOwnRules) {
    // The null window: a DC to measure with (where it draws is the window manager's).
    HDC dc = GdiCreateWindowDC(nullptr, false);
    ASSERT_NE(dc, nullptr);
    EXPECT_FALSE(DeleteDC(dc)) << "a window DC is not deleted through DeleteDC";
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 1, 1);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "bitmaps go into memory DCs";
    DeleteObject(bitmap);
    GdiDeleteWindowDC(dc);
}

std::string TempPath(const char* name) { return std::string(VELMORA_BINARY_DIR) + "/" + name; }

TEST(Surface, WritesAPngThatReadsBack) {
    Surface s;
    ASSERT_TRUE(SurfaceCreate(&s, 7, 3, 0xFFFFFF));
    s.pixels[0] = 0xFF0000;
    s.pixels[7 * 3 - 1] = 0x0080FF;
    ASSERT_TRUE(SurfaceResize(&s, 9, 3, 0x000000));
    EXPECT_EQ(s.pixels[9 * 2 + 6], 0x0080FFu) << "kept pixels stay put";
    EXPECT_EQ(s.pixels[8], 0x000000u) << "new pixels take the fill";
    std::string path = TempPath("gdi_surface_test.png");
    ASSERT_TRUE(SurfaceWritePng(&s, path.c_str()));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
    EXPECT_EQ(image.width, 9u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin(), rgb.begin() + 6)), (std::vector<uint8_t>{255, 0, 0, 255, 255, 255}));
    size_t at = (2 * 9 + 6) * 3;
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin() + at, rgb.begin() + at + 3)), (std::vector<uint8_t>{0, 0x80, 0xFF}));
    std::remove(path.c_str());

    EXPECT_FALSE(SurfaceWritePng(&s, "/nonexistent-dir/x.png"));
    SurfaceDestroy(&s);
    EXPECT_EQ(s.pixels, nullptr);
    EXPECT_FALSE(SurfaceWritePng(&s, path.c_str()));
    EXPECT_FALSE(SurfaceCreate(&s, 0, 5, 0));
}

}  // namespace
