#include "about/about.h"

// The About dialog and the update check are not built yet.
INT_PTR ShowAboutDialog(HWND) { return IDOK; }
void CheckForUpdates(HWND) {}
