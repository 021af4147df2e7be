// The bar, the command table and the lesson changes commands make.
#pragma once

#include "platform/win_types.h"

// Command ids of the main window.
enum : WORD {
    kCmdChooseArticle = 119,
    kCmdChooseArticleToo = 107,
    kCmdNextArticle = 109,
    kCmdPreviousArticle = 110,
    kCmdSearch = 116,
    kCmdSearchAgain = 117,
    kCmdBookmark = 123,
    kCmdCheckForUpdates = 129,
    kCmdAbout = 40004,
    kCmdExit = 40005,
    kCmdFont = 40006,
    kCmdCopy = 40007,
    kCmdAppend = 40009,
    kCmdFileMenu = 40001,
    kCmdGoMenu = 40002,
};

// Builds the shell menu bar (shell 4.21 and later, or MenuBarOnBottom) or the command
// bar, with the tooltips, the toolbar strip and the six buttons.
void CreateBars();
// 0 when the command was one of the table's, 1 otherwise.
int OnCommand(HWND hwnd, WPARAM wParam);
// Shows lesson n from its top; 1 (nothing changed) when its resource is missing.
int GoToLesson(HWND hwnd, int lesson);
// The next (+1) or previous (-1) lesson, wrapping over the 131 lessons.
int StepLesson(HWND hwnd, int step);
