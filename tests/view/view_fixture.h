// Helpers shared by the view tests: lesson bytes from a table of records, a memory DC
// to draw on, and a view on it in the test face.
#pragma once

#include <vector>
#include <string>

#include "platform/win_types.h"
#include "view/text_view.h"

struct Rec {
    int style;
    int param;
    const char* text;
};

// The records as lesson bytes (style, param, text, 0; then the end marker and two
// zeros) in a LocalAlloc block, ready to hand to LayoutText.
BYTE* BuildLesson(const std::vector<Rec>& records);
// Byte offset of record `index`'s text in the lesson `records` would make.
int TextOffsetOf(const std::vector<Rec>& records, int index);

// A memory DC with a white 32-bpp bitmap selected.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    int width = 0;
    int height = 0;
};
bool CanvasCreate(Canvas* canvas, int width, int height);
void CanvasDestroy(Canvas* canvas);
// The canvas as a PNG; false on failure.
bool CanvasWritePng(const Canvas* canvas, const char* path);
// True when the pixel is not white.
bool Inked(const Canvas* canvas, int x, int y);

FontSpec MakeFontSpec(const char16_t* face, int size);
// "Velmora Test" at `size`.
FontSpec TestFace(int size = 16);

// One line of text per LineRecord in use: "offset count x hang width height style".
std::string DescribeLines(const TextView* view);

#include <gtest/gtest.h>

// A 480 x 640 canvas and, once opened, a view on it.
class ViewTest : public ::testing::Test {
protected:
    Canvas canvas;
    TextView* view = nullptr;

    void SetUp() override;
    void TearDown() override;
    // A view at x 10, y 20 of the given size in the test face of `size`.
    void Open(int width, int height = 400, int size = 16);
    void OpenWith(const FontSpec& font, int x, int y, int width, int height);
    // Lays the records out with replace; frees them when the view refuses them.
    int Layout(const std::vector<Rec>& records);
};
