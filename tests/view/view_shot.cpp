// view_shot PACK LESSON WIDTH HEIGHT OUT.png [FACE [SIZE [TOP]]]
// Lays lesson LESSON of a pack file out at WIDTH pixels and paints it, from display
// row TOP, into a PNG of WIDTH x HEIGHT: a way to look at the view without a window.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "content/content_resource.h"
#include "platform/heap.h"
#include "platform/resource.h"
#include "view/text_paint.h"
#include "view_fixture.h"

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: view_shot PACK LESSON WIDTH HEIGHT OUT.png [FACE [SIZE [TOP]]]\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "rb");
    if (!f) {
        std::fprintf(stderr, "view_shot: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> pack;
    unsigned char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) pack.insert(pack.end(), chunk, chunk + n);
    std::fclose(f);
    static ResourceEntry table[4096];
    int entries = ResourceParsePack(pack.data(), pack.size(), table, 4096);
    if (entries < 0) {
        std::fprintf(stderr, "view_shot: %s is not a pack\n", argv[1]);
        return 1;
    }
    ResourceInstallTable(table, (size_t)entries);

    int lesson = std::atoi(argv[2]);
    int width = std::atoi(argv[3]);
    int height = std::atoi(argv[4]);
    std::u16string face;
    for (const char* p = argc > 6 ? argv[6] : ""; *p; ++p) face += (char16_t)(unsigned char)*p;
    int size = argc > 7 ? std::atoi(argv[7]) : 0;
    int top = argc > 8 ? std::atoi(argv[8]) : 0;

    int status = 0;
    BYTE* text = LoadContentResource(lesson, &status);
    if (!text) {
        std::fprintf(stderr, "view_shot: lesson %d cannot be loaded (status %d)\n", lesson, status);
        return 1;
    }
    Canvas canvas;
    if (width <= 0 || height <= 0 || !CanvasCreate(&canvas, width, height)) {
        std::fprintf(stderr, "view_shot: bad size %dx%d\n", width, height);
        return 1;
    }
    FontSpec font = MakeFontSpec(face.c_str(), size);
    RECT rect = {0, 0, width, height};
    TextView* view = CreateTextView(canvas.dc, &rect, &font, 100);
    int result = view ? LayoutText(view, text, 1) : -1;
    if (result != kViewOk) {
        std::fprintf(stderr, "view_shot: layout failed (%d)\n", result);
        LocalFree(text);
        return 1;
    }
    view->topLine = (uint16_t)top;
    PaintTextView(view, 1);
    bool ok = CanvasWritePng(&canvas, argv[5]);
    std::printf("lesson %d: %d lines, %d display rows, max top line %d, %d rows shown -> %s\n", lesson,
                view->lineCount, view->displayLines, view->maxTopLine, view->linesShown, argv[5]);
    DestroyTextView(view, 1);
    CanvasDestroy(&canvas);
    return ok ? 0 : 1;
}
