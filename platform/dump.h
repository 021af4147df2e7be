// The window tree as text, for scripts (`dump FILE`) and tests. One line a window,
// topmost top-level window first, each followed by its children, two spaces of indent
// a level, screen coordinates:
//   CLASS "TEXT" X,Y,W,H[ id=N][ hidden][ disabled][ checked][ focus]
// followed by the window's parts (added by hooks) one level deeper:
//   KIND "TEXT"[ X,Y,W,H][ EXTRA]
// Texts are UTF-8 with '"' and '\' escaped by a backslash (and newline, return and
// tab as \n, \r, \t, so a line stays a line).
#pragma once

#include <string>

#include "win_types.h"

struct DumpOut;
// Adds " FLAG" to the window's own line (in the order added, after the standard ones).
void DumpWindowFlag(DumpOut* out, const char* flag);
// Adds a part line under the window. `kind` may carry attributes ("button id=5");
// `screen` null leaves the rectangle out; `extra` (may be null) follows it.
void DumpPart(DumpOut* out, const char* kind, LPCWSTR text, const RECT* screen, const char* extra);
// A hook is called for every window while its line is built (controls add "checked",
// list items, scroll bars, menu items). Up to 16 hooks; adding one twice is ignored.
typedef void (*DumpHook)(HWND hwnd, DumpOut* out);
void DumpAddHook(DumpHook hook);
void DumpRemoveHook(DumpHook hook);

// The whole tree as text.
std::string DumpWindowTree();
// Writes it to a file; false when the file cannot be written.
bool DumpWriteFile(const char* path);
// A text quoted and escaped as in a dump line.
std::string DumpQuote(LPCWSTR text, size_t n);
