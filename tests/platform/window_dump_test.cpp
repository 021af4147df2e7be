// The window tree as text.
#include <gtest/gtest.h>

#include "platform/dump.h"
#include "window_recorder.h"

namespace {

void CheckedHook(HWND hwnd, DumpOut* out) {
    if (TitleOf(hwnd) != "Box") return;
    DumpWindowFlag(out, "checked");
    RECT r{1, 2, 11, 22};
    DumpPart(out, "item", u"first", nullptr, "selected");
    DumpPart(out, "scrollbar", u"", &r, "min=0 max=9 pos=3");
}

TEST(WindowDump, TreeLinesWithFlagsPartsAndEscapes) {
    RecorderStart({});
    HWND main = MakeWindow(u"Main \"one\" \\ é\nx", WS_VISIBLE, 0, 26, 480, 614);
    MakeWindow(u"Box", WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 20, 30, 40, main, 5);
    HWND edit = MakeWindow(u"Edit", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, main, 6);
    MakeWindow(u"Hidden", WS_CHILD, 1, 1, 2, 2, edit, 0);
    MakeWindow(u"Later", 0, 0, 0, 10, 10);  // hidden top-level, topmost
    SetFocus(edit);
    DumpAddHook(CheckedHook);
    std::string text = DumpWindowTree();
    DumpRemoveHook(CheckedHook);
    EXPECT_EQ(text,
              "Rec \"Later\" 0,0,10,10 hidden\n"
              "Rec \"Main \\\"one\\\" \\\\ \xC3\xA9\\nx\" 0,26,480,614\n"
              "  Rec \"Box\" 10,46,30,40 id=5 disabled checked\n"
              "    item \"first\" selected\n"
              "    scrollbar \"\" 1,2,10,20 min=0 max=9 pos=3\n"
              "  Rec \"Edit\" 0,26,5,5 id=6 focus\n"
              "    Rec \"Hidden\" 1,27,2,2 hidden\n");
    PlatformShutdown();
}

}  // namespace
