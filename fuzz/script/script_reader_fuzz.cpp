// Feeds arbitrary bytes to the script reader, line by line, as the headless backend
// does; checks that every answer is well formed.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/backend/headless/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = (const char*)data;
    size_t start = 0;
    while (start <= size) {
        size_t end = start;
        while (end < size && text[end] != '\n') ++end;
        ScriptCommand cmd;
        char error[160];
        error[0] = 0;
        if (ScriptParseLine(text + start, end - start, &cmd, error, sizeof error)) {
            if (cmd.op < SCRIPT_NONE || cmd.op > SCRIPT_SLEEP) abort();
            if (memchr(cmd.text, 0, sizeof cmd.text) == nullptr) abort();
            if ((cmd.op == SCRIPT_TYPE || cmd.op == SCRIPT_SCREENSHOT || cmd.op == SCRIPT_DUMP) && !cmd.text[0]) abort();
            if (cmd.op == SCRIPT_RESIZE && (cmd.x < 1 || cmd.y < 1)) abort();
        } else if (!error[0] || !memchr(error, 0, sizeof error)) {
            abort();
        }
        start = end + 1;
    }
    return 0;
}
