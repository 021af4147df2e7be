// The SDL backend: a resizable desktop window showing the composed screen, scaled by
// --scale; its events become the layer's input.
#include <SDL.h>

#include <cstdio>

#include "platform/backend.h"
#include "platform/instance.h"
#include "platform/platform.h"
#include "platform/surface.h"
#include "platform/window_internal.h"

namespace {

struct SdlState {
    SDL_Window* window;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    int textureW, textureH;
    int scale;
    Surface frame;
    bool buttonDown;
};

SdlState& D() {
    static SdlState d;
    return d;
}

int KeyToVk(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + (k - SDLK_F1);
    switch (k) {
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_END: return VK_END;
        case SDLK_HOME: return VK_HOME;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_UP: return VK_UP;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_TAB: return VK_TAB;
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_DELETE: return VK_DELETE;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT: return VK_MENU;
        case SDLK_SEMICOLON: return VK_OEM_1;
        case SDLK_EQUALS: return VK_OEM_PLUS;
        case SDLK_COMMA: return VK_OEM_COMMA;
        case SDLK_MINUS: return VK_OEM_MINUS;
        case SDLK_PERIOD: return VK_OEM_PERIOD;
        case SDLK_SLASH: return VK_OEM_2;
        case SDLK_BACKQUOTE: return VK_OEM_3;
        case SDLK_LEFTBRACKET: return VK_OEM_4;
        case SDLK_BACKSLASH: return VK_OEM_5;
        case SDLK_RIGHTBRACKET: return VK_OEM_6;
        case SDLK_QUOTE: return VK_OEM_7;
    }
    return 0;
}

bool EnsureTexture(int w, int h) {
    SdlState& d = D();
    if (d.texture && d.textureW == w && d.textureH == h) return true;
    if (d.texture) SDL_DestroyTexture(d.texture);
    d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    d.textureW = w;
    d.textureH = h;
    return d.texture != nullptr;
}

void SdlPresent() {
    SdlState& d = D();
    if (!d.renderer || !ScreenCompose(&d.frame)) return;
    if (!EnsureTexture(d.frame.width, d.frame.height)) return;
    SDL_UpdateTexture(d.texture, nullptr, d.frame.pixels, d.frame.width * 4);
    SDL_SetRenderDrawColor(d.renderer, 0x40, 0x40, 0x40, 255);
    SDL_RenderClear(d.renderer);
    SDL_Rect dst{0, 0, d.frame.width * d.scale, d.frame.height * d.scale};
    SDL_RenderCopy(d.renderer, d.texture, nullptr, &dst);
    SDL_RenderPresent(d.renderer);
}

void HandleEvent(const SDL_Event& e) {
    SdlState& d = D();
    int s = d.scale;
    switch (e.type) {
        case SDL_QUIT: InputClose(); break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE: InputClose(); break;
                case SDL_WINDOWEVENT_SIZE_CHANGED: {
                    int w = e.window.data1 / s, h = e.window.data2 / s;
                    if (w >= 16 && h >= 16) InputResize(w, h);
                    break;
                }
                case SDL_WINDOWEVENT_FOCUS_GAINED: InputFocus(true); break;
                case SDL_WINDOWEVENT_FOCUS_LOST: InputFocus(false); break;
                case SDL_WINDOWEVENT_EXPOSED: ScreenMarkDirty(); break;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT) {
                d.buttonDown = true;
                InputMouse(WM_LBUTTONDOWN, e.button.x / s, e.button.y / s);
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT) {
                d.buttonDown = false;
                InputMouse(WM_LBUTTONUP, e.button.x / s, e.button.y / s);
            }
            break;
        case SDL_MOUSEMOTION: InputMouse(WM_MOUSEMOVE, e.motion.x / s, e.motion.y / s); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (int vk = KeyToVk(e.key.keysym.sym)) InputKey(vk, e.type == SDL_KEYDOWN);
            break;
        case SDL_TEXTINPUT: {
            std::u16string text = Utf8ToUtf16(e.text.text);
            for (char16_t c : text) InputChar(c);
            break;
        }
    }
}

bool SdlOpen(const PlatformOptions* o) {
    SdlState& d = D();
    d = SdlState{};
    d.scale = o && o->scale > 0 ? o->scale : 1;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "velmora: no display available (%s); use --headless --script FILE\n", SDL_GetError());
        return false;
    }
    // SDL falls back to drivers that show nothing; without a real display, say so,
    // unless such a driver was asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (driver && (!SDL_strcmp(driver, "offscreen") || !SDL_strcmp(driver, "dummy")) &&
        !(asked && !SDL_strcasecmp(asked, driver))) {
        fprintf(stderr, "velmora: no display available; use --headless --script FILE\n");
        SDL_Quit();
        return false;
    }
    int w = o ? o->screenWidth : 480, h = o ? o->screenHeight : 640;
    d.window = SDL_CreateWindow("Velmora", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, w * d.scale,
                                h * d.scale, SDL_WINDOW_RESIZABLE);
    if (d.window) d.renderer = SDL_CreateRenderer(d.window, -1, 0);
    if (!d.renderer && d.window) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
    if (!d.window || !d.renderer) {
        fprintf(stderr, "velmora: cannot open a desktop window (%s); use --headless --script FILE\n", SDL_GetError());
        if (d.window) SDL_DestroyWindow(d.window);
        SDL_Quit();
        d = SdlState{};
        return false;
    }
    InputSetBackendText(true);
    SDL_StartTextInput();
    return true;
}

void SdlClose() {
    SdlState& d = D();
    if (d.texture) SDL_DestroyTexture(d.texture);
    if (d.renderer) SDL_DestroyRenderer(d.renderer);
    if (d.window) SDL_DestroyWindow(d.window);
    if (d.frame.pixels) SurfaceDestroy(&d.frame);
    if (d.window) SDL_Quit();
    d = SdlState{};
    InputSetBackendText(false);
}

bool SdlWaitInput() {
    SDL_Event e;
    // A bounded wait, so a signal's close request and other instances are seen soon.
    if (InstanceServe(0)) return true;
    if (SDL_WaitEventTimeout(&e, InstanceListenFd() >= 0 ? 50 : 250)) {
        HandleEvent(e);
        while (SDL_PollEvent(&e)) HandleEvent(e);
    }
    return true;
}

void SdlPollInput() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) HandleEvent(e);
}

}  // namespace

const Backend kSdlBackend = {
    "sdl", SdlOpen, SdlClose, SdlWaitInput, SdlPollInput, SdlPresent,
};
