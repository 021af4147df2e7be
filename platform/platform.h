// Start-up of the layer: its command-line options, the backend, shutdown.
#pragma once

#include "win_types.h"

struct PlatformOptions {
    bool headless;
    char script[4096];  // empty: no script
    int screenWidth;    // default 480 x 640
    int screenHeight;
    int scale;  // 1..8: the desktop window shows the screen this many times larger
    DWORD shellMajor;  // --shell-version X.Y; default 5.0
    DWORD shellMinor;
};

enum : int {
    PLATFORM_RUN = 0,     // go on with the program
    PLATFORM_DONE = 1,    // --help or --version answered: exit with 0
    PLATFORM_FAILED = 2,  // a one-line message was printed: exit with 2
};

// Takes the layer's options off argv (argc and argv are updated; the rest stays in
// order for the program, which ignores it):
//   --headless              no display; input comes from the script
//   --script FILE           the headless script (implies --headless); read and
//                           checked whole before the program starts
//   --screen WxH            the screen size (default 480x640)
//   --scale N               the desktop window shows the screen N times larger
//   --shell-version X.Y     the shell's version (default 5.0)
//   --help, --version       print a short text; PLATFORM_DONE
// Each option also takes the form --option=value. Chooses the backend: SDL unless
// headless; without a display it says so in one line naming --headless and returns
// PLATFORM_FAILED. Installs handlers so SIGTERM, SIGINT and SIGHUP close the program
// the orderly way.
int PlatformInit(int* argc, char** argv);
// Destroys every remaining window and closes the backend.
void PlatformShutdown();
const PlatformOptions* PlatformGetOptions();
// The shell's version: 5.0, or what --shell-version said. TRUE.
BOOL GetVersionExW(OSVERSIONINFOW* info);
// Why the last layer call failed, in English; "" when none has.
const char* PlatformLastError();
void PlatformSetError(const char* why);
