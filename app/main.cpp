// velmora: the layer's options, the main window, the message loop.
#include "app/demo_window.h"
#include "platform/message.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    int start = PlatformInit(&argc, argv);
    if (start != PLATFORM_RUN) return start == PLATFORM_DONE ? 0 : 2;
    int code = 0;
    if (DemoCreateMainWindow(nullptr)) {
        MSG msg;
        BOOL got;
        while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (got == 0) code = (int)msg.wParam;
    } else {
        code = 1;
    }
    PlatformShutdown();
    return code;
}
