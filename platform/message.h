// The message queue of the one thread, sending, and the default window procedure.
//
// GetMessageW takes, in this order: a posted message; WM_QUIT once PostQuitMessage
// was called; WM_PAINT for the first window (parents first) with an update region.
// When none is there the program is idle: the screen is presented and the backend
// is asked for input (the SDL backend blocks for events, the headless backend feeds
// the next script line).
#pragma once

#include "win_types.h"

// Returns 0 on WM_QUIT (msg->wParam is the exit code), 1 otherwise. A non-null hwnd
// takes only messages of that window and its children; min/max (both 0 = all) filter
// the message number; WM_QUIT passes every filter.
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT min, UINT max);
// As GetMessageW without waiting: FALSE when nothing is there. PM_REMOVE takes the
// message off the queue. Polls the backend for pending input without blocking.
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT min, UINT max, UINT remove);
// WM_KEYDOWN of a key with a character (letters, digits, space, punctuation,
// Return, Escape, Tab, Backspace) posts WM_CHAR with it; Shift held gives the
// shifted character. TRUE when a WM_CHAR was posted.
BOOL TranslateMessage(const MSG* msg);
// Calls the window procedure; 0 for a message without a valid window.
LRESULT DispatchMessageW(const MSG* msg);
// Calls the window procedure at once and returns its result; sends may nest. 0 for
// an invalid window.
LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Queues a message; a null hwnd posts a message of the thread. FALSE for an invalid
// non-null window.
BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// GetMessageW returns 0 with this code once the posted messages before it are taken.
void PostQuitMessage(int exitCode);
LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// WM_NCCREATE: takes the title, TRUE. WM_CLOSE: DestroyWindow. WM_ERASEBKGND: fills
// the client area with the class brush, 1 (0 without a brush). WM_PAINT: validates.
// WM_SETTEXT/WM_GETTEXT/WM_GETTEXTLENGTH: the window's text. WM_ACTIVATE (active):
// the focus to the window. Everything else: 0.
LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The state of a key as of the last message taken from the queue: bit 15 down.
short GetKeyState(int vk);
// Milliseconds since the layer started; the time stamp of queued messages.
DWORD GetMessageTime();
