#include "view_fixture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gdi.h"
#include "platform/heap.h"
#include "platform/surface.h"

BYTE* BuildLesson(const std::vector<Rec>& records) {
    std::vector<BYTE> bytes;
    for (const Rec& r : records) {
        bytes.push_back((BYTE)r.style);
        bytes.push_back((BYTE)r.param);
        for (const char* p = r.text; *p; ++p) bytes.push_back((BYTE)*p);
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), {0, 0, 0});
    BYTE* out = (BYTE*)LocalAlloc(LMEM_FIXED, bytes.size());
    if (out) std::memcpy(out, bytes.data(), bytes.size());
    return out;
}

int TextOffsetOf(const std::vector<Rec>& records, int index) {
    int offset = 0;
    int i = 0;
    for (const Rec& r : records) {
        if (i++ == index) return offset + 2;
        offset += 3 + (int)std::strlen(r.text);
    }
    return -1;
}

bool CanvasCreate(Canvas* canvas, int width, int height) {
    canvas->dc = CreateCompatibleDC(nullptr);
    canvas->bitmap = CreateCompatibleBitmap(canvas->dc, width, height);
    if (!canvas->dc || !canvas->bitmap) return false;
    canvas->previous = SelectObject(canvas->dc, canvas->bitmap);
    canvas->width = width;
    canvas->height = height;
    RECT all = {0, 0, width, height};
    FillRect(canvas->dc, &all, GetStockObject(WHITE_BRUSH));
    return true;
}

void CanvasDestroy(Canvas* canvas) {
    if (canvas->dc && canvas->previous) SelectObject(canvas->dc, canvas->previous);
    if (canvas->bitmap) DeleteObject(canvas->bitmap);
    if (canvas->dc) DeleteDC(canvas->dc);
    *canvas = Canvas();
}

bool CanvasWritePng(const Canvas* canvas, const char* path) {
    Surface s;
    if (!SurfaceCreate(&s, canvas->width, canvas->height, 0xFFFFFF)) return false;
    for (int y = 0; y < canvas->height; ++y)
        for (int x = 0; x < canvas->width; ++x) {
            COLORREF c = GetPixel(canvas->dc, x, y);
            s.pixels[y * s.width + x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
    bool ok = SurfaceWritePng(&s, path);
    SurfaceDestroy(&s);
    return ok;
}

bool Inked(const Canvas* canvas, int x, int y) { return GetPixel(canvas->dc, x, y) != 0xFFFFFF; }

FontSpec MakeFontSpec(const char16_t* face, int size) {
    FontSpec spec;
    std::memset(&spec, 0, sizeof spec);
    for (int i = 0; face[i] && i < 31; ++i) spec.face[i] = face[i];
    spec.size = size;
    return spec;
}

FontSpec TestFace(int size) { return MakeFontSpec(GDI_TEST_FACE, size); }

std::string DescribeLines(const TextView* view) {
    std::string out;
    char line[96];
    for (int i = 0; i < view->lineCount; ++i) {
        const LineRecord& r = view->lines[i];
        std::snprintf(line, sizeof line, "%d %d %d %d %d %d %02x\n", r.offset, r.count, r.x, r.hang, r.width,
                      r.height, r.style);
        out += line;
    }
    return out;
}

void ViewTest::SetUp() { ASSERT_TRUE(CanvasCreate(&canvas, 480, 640)); }

void ViewTest::TearDown() {
    if (view) DestroyTextView(view, 1);
    view = nullptr;
    CanvasDestroy(&canvas);
}

void ViewTest::Open(int width, int height, int size) { OpenWith(TestFace(size), 10, 20, width, height); }

void ViewTest::OpenWith(const FontSpec& font, int x, int y, int width, int height) {
    if (view) DestroyTextView(view, 1);
    RECT r = {x, y, x + width, y + height};
    view = CreateTextView(canvas.dc, &r, &font, 100);
    ASSERT_NE(view, nullptr);
}

int ViewTest::Layout(const std::vector<Rec>& records) {
    BYTE* text = BuildLesson(records);
    int result = LayoutText(view, text, 1);
    if (result != kViewOk) LocalFree(text);
    return result;
}
