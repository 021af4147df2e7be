// The program's life from start to end.
#pragma once

#include "platform/win_types.h"

// Reads the boot options, creates the main window (or hands over to a running
// instance) and runs the message loop; returns the exit code.
int StartUp(HINSTANCE instance, HINSTANCE previous, LPCWSTR commandLine, int show);
// Enforces the single instance, loads the settings and creates the main window; null
// means stop (another instance runs, or the window cannot be created).
HWND CreateMainWindow(int show);
void RegisterMainClass(HINSTANCE instance, LPCWSTR className);
