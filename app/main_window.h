// The main window: its procedure and the operations on the article view it owns.
#pragma once

#include "platform/win_types.h"

LRESULT MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Paints the view through its own DC; with dc null a paint begins and ends on
// `window` (validating its update region).
void PaintMain(HDC dc, HWND window, int erase);
// Builds the article view in the client area less the bar and the gutter, and shows
// the current lesson at LastPosition ("Resource not found" when it is missing).
void CreateArticleView();
void ResizeArticleView(int width, int height);
// A tap at client x, y pages the view back or forward.
void TapPage(int x, int y);
