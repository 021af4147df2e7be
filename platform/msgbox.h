// Message boxes. For now a box is not drawn: it returns its default button at once
// (or an answer a test queued) and is recorded in a log tests read. The interface is
// the Win32 one so the modal box with its own loop can take its place.
#pragma once

#include "win_types.h"

// Returns the button pressed: IDOK, IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT,
// IDIGNORE. The default button is the first of the type (MB_OK IDOK, MB_YESNOCANCEL
// IDYES, ...) unless MB_DEFBUTTON2/3 picks another.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

struct MessageBoxRecord {
    HWND owner;
    WCHAR text[512];    // cut at 511 units
    WCHAR caption[128];
    UINT type;
    int result;
};
// The boxes shown since the last MessageBoxClearLog, oldest first (at most 64 kept:
// the oldest are dropped). `count` gets how many.
const MessageBoxRecord* MessageBoxLog(int* count);
void MessageBoxClearLog();
// Test hook: the next box returns this button instead of its default (queued; up to 16).
void MessageBoxQueueAnswer(int button);
// Replaces how a box is shown (the modal box of the shell); null restores the stand-in.
typedef int (*MessageBoxHandler)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
void MessageBoxSetHandler(MessageBoxHandler handler);
