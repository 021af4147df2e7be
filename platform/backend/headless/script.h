// The headless backend's script: one command a line.
//   tap X Y | down X Y | move X Y | up X Y     screen pixels
//   key NAME         PRIOR NEXT END HOME LEFT UP RIGHT DOWN RETURN ESCAPE TAB F1..F12,
//                    or one character (a letter, digit, space-less punctuation, or any
//                    other single character, which is typed as a character only)
//   type TEXT        the rest of the line, as typed
//   resize W H       1..16384 each
//   focus on|off
//   screenshot FILE | dump FILE     the rest of the line is the file name
//   close
//   sleep MS         0..3600000
// Blank lines and lines whose first non-blank character is '#' are comments (so
// `key #` and `type C#` work). Words are separated by spaces or tabs; a trailing
// carriage return is ignored.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

enum ScriptOp : int {
    SCRIPT_NONE = 0,  // blank or comment
    SCRIPT_TAP,
    SCRIPT_DOWN,
    SCRIPT_MOVE,
    SCRIPT_UP,
    SCRIPT_KEY,
    SCRIPT_TYPE,
    SCRIPT_RESIZE,
    SCRIPT_FOCUS,
    SCRIPT_SCREENSHOT,
    SCRIPT_DUMP,
    SCRIPT_CLOSE,
    SCRIPT_SLEEP,
};

struct ScriptCommand {
    ScriptOp op;
    int x, y;      // tap/down/move/up; resize W H; sleep: x = milliseconds; focus: x = 1 on, 0 off
    int vk;        // key: the virtual key, 0 for a character with no key of its own
    bool shift;    // key: an upper-case letter or shifted punctuation
    WCHAR ch;      // key: the character, if the key has one
    char text[1024];  // type: the text (UTF-8); screenshot/dump: the file name
};

// Parses one line (without its newline). Returns true and fills `cmd` (SCRIPT_NONE
// for a blank or comment line), or false with a one-line reason in `error`.
bool ScriptParseLine(const char* line, size_t length, ScriptCommand* cmd, char* error, size_t errorSize);
