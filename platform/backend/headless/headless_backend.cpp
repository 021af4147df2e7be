// The headless backend: no display; input comes from the script, one line each time
// the program is idle, so a run is deterministic.
#include <time.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/backend/headless/script.h"
#include "platform/dump.h"
#include "platform/instance.h"
#include "platform/window.h"
#include "platform/platform.h"
#include "platform/surface.h"
#include "platform/window_internal.h"

namespace {

// One step is delivered per idle turn: a tap is a press, then (once the program has
// handled it) a release.
struct Step {
    enum Kind { MOUSE, KEY, CHAR } kind;
    UINT message;
    int a, b;
};

struct Headless {
    std::string path;
    std::vector<std::string> lines;
    size_t next;
    std::deque<Step> pending;
    int closesAtEnd;
};

Headless& H() {
    static Headless h;
    return h;
}

void RunStep(const Step& s) {
    switch (s.kind) {
        case Step::MOUSE: InputMouse(s.message, s.a, s.b); break;
        case Step::KEY: InputKey(s.a, s.b != 0); break;
        case Step::CHAR: InputChar((WCHAR)s.a); break;
    }
}

// Idles, answering other instances meanwhile; a signal's close ends it early.
void SleepMs(int ms) {
    DWORD end = GetTickCount() + (DWORD)ms;
    for (;;) {
        int left = (int)(end - GetTickCount());
        if (left <= 0) return;
        InstanceServe(left);
        if (InputTakeSignalClose()) {
            InputClose();
            return;
        }
    }
}

bool ReadScript(const char* path) {
    Headless& h = H();
    h = Headless{};
    if (!path || !*path) return true;
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "velmora: cannot read the script %s\n", path);
        return false;
    }
    h.path = path;
    std::string line;
    int c;
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n') {
            h.lines.push_back(line);
            line.clear();
        } else {
            line += (char)c;
        }
    }
    if (!line.empty()) h.lines.push_back(line);
    fclose(f);
    for (size_t i = 0; i < h.lines.size(); ++i) {
        ScriptCommand cmd;
        char error[160];
        if (!ScriptParseLine(h.lines[i].data(), h.lines[i].size(), &cmd, error, sizeof error)) {
            fprintf(stderr, "velmora: %s line %zu: %s\n", path, i + 1, error);
            return false;
        }
    }
    return true;
}

// Runs one script line; true when it gave the program something to do.
bool RunLine(const ScriptCommand& cmd, size_t number) {
    Headless& h = H();
    switch (cmd.op) {
        case SCRIPT_NONE: return false;
        case SCRIPT_TAP:
            InputMouse(WM_LBUTTONDOWN, cmd.x, cmd.y);
            h.pending.push_back(Step{Step::MOUSE, WM_LBUTTONUP, cmd.x, cmd.y});
            return true;
        case SCRIPT_DOWN: InputMouse(WM_LBUTTONDOWN, cmd.x, cmd.y); return true;
        case SCRIPT_MOVE: InputMouse(WM_MOUSEMOVE, cmd.x, cmd.y); return true;
        case SCRIPT_UP: InputMouse(WM_LBUTTONUP, cmd.x, cmd.y); return true;
        case SCRIPT_KEY:
            if (!cmd.vk) {
                InputChar(cmd.ch);
                return true;
            }
            if (cmd.shift) InputKey(VK_SHIFT, true);
            InputKey(cmd.vk, true);
            h.pending.push_back(Step{Step::KEY, 0, cmd.vk, 0});
            if (cmd.shift) h.pending.push_back(Step{Step::KEY, 0, VK_SHIFT, 0});
            return true;
        case SCRIPT_TYPE: {
            std::u16string text = Utf8ToUtf16(cmd.text);
            for (size_t i = 1; i < text.size(); ++i) h.pending.push_back(Step{Step::CHAR, 0, (int)text[i], 0});
            InputChar(text[0]);
            return true;
        }
        case SCRIPT_RESIZE: InputResize(cmd.x, cmd.y); return true;
        case SCRIPT_FOCUS: InputFocus(cmd.x != 0); return true;
        case SCRIPT_SCREENSHOT: {
            Surface s{};
            bool ok = ScreenCompose(&s) && SurfaceWritePng(&s, cmd.text);
            if (s.pixels) SurfaceDestroy(&s);
            if (!ok) fprintf(stderr, "velmora: %s line %zu: cannot write %s\n", h.path.c_str(), number, cmd.text);
            return false;
        }
        case SCRIPT_DUMP:
            if (!DumpWriteFile(cmd.text))
                fprintf(stderr, "velmora: %s line %zu: cannot write %s\n", h.path.c_str(), number, cmd.text);
            return false;
        case SCRIPT_CLOSE: InputClose(); return true;
        case SCRIPT_SLEEP: SleepMs(cmd.x); return true;
    }
    return false;
}

bool HeadlessOpen(const PlatformOptions* options) { return ReadScript(options ? options->script : nullptr); }

void HeadlessClose() { H() = Headless{}; }

bool HeadlessWaitInput() {
    Headless& h = H();
    if (!h.pending.empty()) {
        Step s = h.pending.front();
        h.pending.pop_front();
        RunStep(s);
        return true;
    }
    while (h.next < h.lines.size()) {
        size_t number = ++h.next;
        const std::string& line = h.lines[number - 1];
        ScriptCommand cmd;
        char error[160];
        if (!ScriptParseLine(line.data(), line.size(), &cmd, error, sizeof error)) continue;  // checked at open
        if (RunLine(cmd, number)) return true;
    }
    // The end of the script closes the program as `close` does; a program that will
    // not close is given a few more turns (dialogs are cancelled one by one).
    if (h.closesAtEnd >= 8) return false;
    ++h.closesAtEnd;
    InputClose();
    return true;
}

void HeadlessPollInput() {}
void HeadlessPresent() {}

}  // namespace

const Backend kHeadlessBackend = {
    "headless", HeadlessOpen, HeadlessClose, HeadlessWaitInput, HeadlessPollInput, HeadlessPresent,
};
