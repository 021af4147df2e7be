// The reader's main window, created in-process on the headless layer with the real
// library and UI resources, and driven through its messages.
#pragma once

#include <string>

#include "tests/app/app_fixture.h"
#include "platform/win_types.h"

// The values StartUp reads from the boot-options key.
struct BootValues {
    int fullScreen = 0;
    int menuBarOnBottom = 0;
    int gutter = 0;
    int ignoreActivate = 0;
};

class FrameWindowTest : public FrameTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Clears AppState, sets the boot values as StartUp does, creates the main window
    // and dispatches until idle. Settings must be stored before.
    HWND Start(const BootValues& boot = {});
    // Destroys the main window when it is still there, dispatches, and returns the
    // code of the quit message posted meanwhile (-1 when none was).
    int Stop();
    // Takes and dispatches queued messages (paints included) until none is left; a
    // WM_QUIT is remembered in quitCode_.
    void Pump();
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam);
    void StoreNumber(const WCHAR* name, DWORD value);
    // A stored REG_DWORD (or -1 when missing or of another type).
    long long StoredNumber(const WCHAR* name);
    // Puts the view at a top line and paints, so linesShown fits that position.
    void ShowAt(int topLine);
    // Whether the view holds lesson n's text.
    static bool ShowsLesson(int n);
    // The view's top line, or -1 without a view.
    int Top();
    // Scroll bar range and position of the main window.
    void ScrollBar(int* max, int* pos);
    // The check state of the Bookmark item (MF_CHECKED or 0; -1 when the item is not
    // found), wherever the bar keeps it.
    UINT BookmarkCheck();
    int Boxes();
    // The screen rectangle of a bar button from the window dump (matched by its id and
    // its tooltip or label); false when the dump has no such button.
    static bool ButtonRect(int id, const std::string& text, RECT* out);
    // Presses and releases the middle of a screen rectangle, then dispatches.
    void Tap(const RECT& r);
    std::u16string BoxText(int i);
    int quitCode_ = -1;
    std::string runtime_;
};
