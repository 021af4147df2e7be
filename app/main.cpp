// The process entry: the platform layer takes its options, then the program runs.
#include "app/startup.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    int start = PlatformInit(&argc, argv);
    if (start != PLATFORM_RUN) return start == PLATFORM_DONE ? 0 : 2;
    int code = StartUp(nullptr, nullptr, u"", SW_SHOW);
    PlatformShutdown();
    return code;
}
