// The host side of the layer: where input comes from and where the composed screen
// goes. One const table of function pointers a backend; `headless` fills every entry,
// `sdl` the ones it can, and a null entry falls back to the headless one.
#pragma once

#include "win_types.h"

struct PlatformOptions;

struct Backend {
    const char* name;
    // Starts the backend; false (after one line on stderr saying why) when it cannot.
    bool (*Open)(const PlatformOptions* options);
    void (*Close)();
    // The program is idle (queue empty, nothing to paint): deliver input through the
    // Input* calls below, waiting for it if need be. Returns false only when no
    // input will ever come again.
    bool (*WaitInput)();
    // Delivers input that is already pending, without waiting.
    void (*PollInput)();
    // The composed screen changed; called when the program is idle.
    void (*Present)();
};

extern const Backend kHeadlessBackend;
#if VELMORA_HAVE_SDL
extern const Backend kSdlBackend;
#endif

// The backend in use (headless until PlatformInit chooses).
const Backend* BackendCurrent();
void BackendSelect(const Backend* backend);
// The entries of the current backend, each falling back to the headless one.
bool BackendWaitInput();
void BackendPollInput();
void BackendPresent();

// ---- Input, as the backends deliver it (screen_input.cpp) ----------------------------
// Screen pixel coordinates. WM_LBUTTONDOWN / WM_MOUSEMOVE / WM_LBUTTONUP are posted to
// the capture window or the window under the point, in its client coordinates; a
// press on an inactive enabled top-level window activates it first; presses on a
// disabled window are dropped.
void InputMouse(UINT message, int x, int y);
// WM_KEYDOWN / WM_KEYUP of a virtual key, to the focus window (the active window when
// no window has the focus).
void InputKey(int vk, bool down);
// WM_CHAR of one UTF-16 unit to the focus window.
void InputChar(WCHAR ch);
// The backend delivers typed characters itself (SDL text input): TranslateMessage
// then makes WM_CHAR only for Return, Escape, Tab and Backspace.
void InputSetBackendText(bool on);
bool InputBackendText();
// The screen changes size; every top-level window gets WM_SETTINGCHANGE
// (SETTINGCHANGE_RESET) and sizes itself (the shell or the program moves it).
void InputResize(int width, int height);
// The program's window gains (activates its topmost window again) or loses the
// input focus (the active window gets WM_ACTIVATE(WA_INACTIVE); focus goes to none).
void InputFocus(bool on);
// The orderly close: the close hook first (open dialogs are cancelled there); when it
// does nothing, WM_CLOSE is posted to the topmost unowned visible top-level window
// that is not WS_EX_TOPMOST (the shell's bars), else to the topmost window; with no
// window at all, WM_QUIT(0).
void InputClose();
// Returns true when it cancelled something (a dialog, a menu) so the close waits for
// the next idle turn. Installed by the dialog manager.
typedef bool (*CloseHook)();
void InputSetCloseHook(CloseHook hook);
// Called from a signal handler: only sets a flag; the loop closes at its next turn.
void InputRequestCloseFromSignal();
// True once (and clears it) when a close was requested by a signal.
bool InputTakeSignalClose();
