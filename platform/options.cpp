// The layer's start-up: command-line options, the backend, signals, shutdown; the
// version the program asks for; the last error.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "backend.h"
#include "instance.h"
#include "shell_internal.h"
#include "platform.h"
#include "window_internal.h"

namespace {
PlatformOptions& O() {
    static PlatformOptions o{false, "", 480, 640, 1, 5, 0};
    return o;
}
char g_error[256];

void OnSignal(int) { InputRequestCloseFromSignal(); }

bool ParseSize(const char* s, int* w, int* h) {
    char* end;
    long a = strtol(s, &end, 10);
    if (end == s || (*end != 'x' && *end != 'X')) return false;
    const char* t = end + 1;
    long b = strtol(t, &end, 10);
    if (end == t || *end || a < 16 || b < 16 || a > 16384 || b > 16384) return false;
    *w = (int)a;
    *h = (int)b;
    return true;
}

bool ParseVersion(const char* s, DWORD* major, DWORD* minor) {
    char* end;
    long a = strtol(s, &end, 10);
    if (end == s || a < 0 || a > 99) return false;
    long b = 0;
    if (*end == '.') {
        const char* t = end + 1;
        b = strtol(t, &end, 10);
        if (end == t || b < 0 || b > 99) return false;
    }
    if (*end) return false;
    *major = (DWORD)a;
    *minor = (DWORD)b;
    return true;
}

const char kHelp[] =
    "Usage: velmora [options]\n"
    "  --headless            run without a display; input comes from the script\n"
    "  --script FILE         the script to run (implies --headless)\n"
    "  --screen WxH          the screen size (default 480x640)\n"
    "  --scale N             show the screen N times larger in the desktop window\n"
    "  --shell-version X.Y   the shell version to behave as (default 5.0)\n"
    "  --help, --version     print this or the version and exit\n";
}  // namespace

int PlatformInit(int* argc, char** argv) {
    PlatformOptions& o = O();
    o = PlatformOptions{false, "", 480, 640, 1, 5, 0};
    int out = 1;
    for (int i = 1; i < *argc; ++i) {
        const char* arg = argv[i];
        static const char* const withValue[] = {"--script", "--screen", "--scale", "--shell-version"};
        const char* value = nullptr;
        const char* name = nullptr;
        for (const char* opt : withValue) {
            size_t n = strlen(opt);
            if (strncmp(arg, opt, n) == 0 && (arg[n] == 0 || arg[n] == '=')) {
                name = opt;
                if (arg[n] == '=') {
                    value = arg + n + 1;
                } else if (i + 1 < *argc) {
                    value = argv[++i];
                } else {
                    fprintf(stderr, "velmora: %s needs a value (see --help)\n", opt);
                    return PLATFORM_FAILED;
                }
            }
        }
        if (name && strcmp(name, "--script") == 0) {
            if (strlen(value) >= sizeof o.script) {
                fprintf(stderr, "velmora: the script path is too long\n");
                return PLATFORM_FAILED;
            }
            strcpy(o.script, value);
            o.headless = true;
        } else if (name && strcmp(name, "--screen") == 0) {
            if (!ParseSize(value, &o.screenWidth, &o.screenHeight)) {
                fprintf(stderr, "velmora: --screen wants WIDTHxHEIGHT, each 16 to 16384, not \"%s\"\n", value);
                return PLATFORM_FAILED;
            }
        } else if (name && strcmp(name, "--scale") == 0) {
            char* end;
            long n = strtol(value, &end, 10);
            if (end == value || *end || n < 1 || n > 8) {
                fprintf(stderr, "velmora: --scale wants a whole number from 1 to 8, not \"%s\"\n", value);
                return PLATFORM_FAILED;
            }
            o.scale = (int)n;
        } else if (name) {
            if (!ParseVersion(value, &o.shellMajor, &o.shellMinor)) {
                fprintf(stderr, "velmora: --shell-version wants X.Y, not \"%s\"\n", value);
                return PLATFORM_FAILED;
            }
        } else if (strcmp(arg, "--headless") == 0) {
            o.headless = true;
        } else if (strcmp(arg, "--help") == 0) {
            fputs(kHelp, stdout);
            return PLATFORM_DONE;
        } else if (strcmp(arg, "--version") == 0) {
            puts("velmora 1.84c");
            return PLATFORM_DONE;
        } else {
            argv[out++] = argv[i];  // the program's own
        }
    }
    argv[out] = nullptr;
    *argc = out;

    ScreenSetSize(o.screenWidth, o.screenHeight);
    const Backend* backend = &kHeadlessBackend;
#if VELMORA_HAVE_SDL
    if (!o.headless) backend = &kSdlBackend;
#else
    if (!o.headless) {
        fprintf(stderr, "velmora: built without a display backend; run with --headless --script FILE\n");
        return PLATFORM_FAILED;
    }
#endif
    if (!backend->Open(&o)) return PLATFORM_FAILED;
    BackendSelect(backend);

    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    // Without a socket the program still runs; it just cannot be found by another start.
    InstanceListen();
    // The task bar exists from the start, so the program can find it.
    ShellInit();
    return PLATFORM_RUN;
}

void PlatformShutdown() {
    InstanceStop();
    WindowManagerReset();
    const Backend* b = BackendCurrent();
    if (b->Close) b->Close();
    BackendSelect(nullptr);
}

const PlatformOptions* PlatformGetOptions() { return &O(); }

BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info) return FALSE;
    info->dwMajorVersion = O().shellMajor;
    info->dwMinorVersion = O().shellMinor;
    info->dwBuildNumber = 0;
    info->dwPlatformId = 3;  // the handheld platform
    info->szCSDVersion[0] = 0;
    return TRUE;
}

const char* PlatformLastError() { return g_error; }

void PlatformSetError(const char* why) {
    snprintf(g_error, sizeof g_error, "%s", why ? why : "");
}
