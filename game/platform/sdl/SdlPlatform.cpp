#include "game/platform/sdl/SdlPlatform.h"

#include <SDL_syswm.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace zarp::sdl {

namespace {

uint64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

// How long before the due time the wait stops sleeping and spins.
constexpr uint64_t kSpinNs = 100000;

}  // namespace

uint32_t SdlClock::Ticks() {
    return static_cast<uint32_t>(NowNs() / 1000000u);
}

void SdlClock::WaitUntil(uint32_t due) {
    uint64_t now = NowNs();
    int32_t aheadMs = static_cast<int32_t>(due - static_cast<uint32_t>(now / 1000000u));
    if (aheadMs <= 0) return;
    uint64_t dueNs = (now / 1000000u + static_cast<uint64_t>(aheadMs)) * 1000000u;
    if (dueNs > now + kSpinNs) {
        uint64_t wake = dueNs - kSpinNs;
        timespec until{static_cast<time_t>(wake / 1000000000u),
                       static_cast<long>(wake % 1000000000u)};
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
    }
    while (static_cast<int32_t>(due - Ticks()) > 0) {
    }
}

void SdlClock::SleepUntil(uint32_t due) {
    uint64_t now = NowNs();
    int32_t aheadMs = static_cast<int32_t>(due - static_cast<uint32_t>(now / 1000000u));
    if (aheadMs <= 0) return;
    uint64_t dueNs = (now / 1000000u + static_cast<uint64_t>(aheadMs)) * 1000000u;
    timespec until{static_cast<time_t>(dueNs / 1000000000u),
                   static_cast<long>(dueNs % 1000000000u)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

int VirtualKeyOf(SDL_Scancode scancode) {
    using namespace platform::vk;
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + (scancode - SDL_SCANCODE_1);
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return 0x70 + (scancode - SDL_SCANCODE_F1);
    }
    switch (scancode) {
        case SDL_SCANCODE_0:
            return '0';
        case SDL_SCANCODE_LEFT:
            return Left;
        case SDL_SCANCODE_RIGHT:
            return Right;
        case SDL_SCANCODE_UP:
            return Up;
        case SDL_SCANCODE_DOWN:
            return Down;
        case SDL_SCANCODE_KP_2:
            return Numpad2;
        case SDL_SCANCODE_KP_4:
            return Numpad4;
        case SDL_SCANCODE_KP_6:
            return Numpad6;
        case SDL_SCANCODE_KP_8:
            return Numpad8;
        case SDL_SCANCODE_SPACE:
            return Space;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER:
            return Return;
        case SDL_SCANCODE_ESCAPE:
            return Escape;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT:
            return Shift;
        // The third keys are physical positions: on the layout they were chosen for they form a
        // diamond around the second key right of L.
        case SDL_SCANCODE_SEMICOLON:
            return OemPlus;  // left of the diamond's centre
        case SDL_SCANCODE_BACKSLASH:
        case SDL_SCANCODE_NONUSHASH:
            return Oem6;  // right of it
        case SDL_SCANCODE_LEFTBRACKET:
            return Oem3;  // above it
        case SDL_SCANCODE_SLASH:
            return Oem2;  // below it
        default:
            return 0;
    }
}

SdlKeyboard::SdlKeyboard() {
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        int key = VirtualKeyOf(static_cast<SDL_Scancode>(sc));
        if (key > 0 && key < 256) scancodes_[key].push_back(static_cast<SDL_Scancode>(sc));
    }
}

bool SdlKeyboard::AsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return false;
    bool state = pressed_[virtualKey];
    pressed_[virtualKey] = false;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    for (SDL_Scancode sc : scancodes_[virtualKey]) {
        if (sc < count && keys[sc]) state = true;
    }
    return state;
}

void SdlKeyboard::NoteKeyDown(int virtualKey) {
    if (virtualKey >= 0 && virtualKey <= 255) pressed_[virtualKey] = true;
}

SdlJoystick::~SdlJoystick() {
    if (controller_) SDL_GameControllerClose(controller_);
    if (joystick_) SDL_JoystickClose(joystick_);
}

void SdlJoystick::OpenFirst() {
    if (controller_ || joystick_) return;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_IsGameController(i) && (controller_ = SDL_GameControllerOpen(i))) return;
    }
    if (SDL_NumJoysticks() > 0) joystick_ = SDL_JoystickOpen(0);
}

void SdlJoystick::DeviceAdded() {
    OpenFirst();
}

void SdlJoystick::DeviceRemoved(SDL_JoystickID id) {
    if (controller_ && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller_)) == id) {
        SDL_GameControllerClose(controller_);
        controller_ = nullptr;
    }
    if (joystick_ && SDL_JoystickInstanceID(joystick_) == id) {
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
    }
    OpenFirst();
}

// Every pad is reported on the same 0..65535 axes, so a pad plugged in later reads right too.
bool SdlJoystick::GetCaps(platform::JoyCaps& caps) {
    caps = platform::JoyCaps{0, 65535, 0, 65535};
    return true;
}

bool SdlJoystick::GetPos(platform::JoyInfo& info) {
    OpenFirst();
    auto axis = [](Sint16 value) { return static_cast<uint32_t>(value + 32768); };
    info = platform::JoyInfo{32767, 32767, 0};
    if (controller_) {
        info.x = axis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX));
        info.y = axis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTY));
        if (SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) info.x = 0;
        if (SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_RIGHT))
            info.x = 65535;
        if (SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_UP)) info.y = 0;
        if (SDL_GameControllerGetButton(controller_, SDL_CONTROLLER_BUTTON_DPAD_DOWN))
            info.y = 65535;
        const SDL_GameControllerButton buttons[] = {
            SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_X,
            SDL_CONTROLLER_BUTTON_Y};
        for (int i = 0; i < 4; ++i) {
            if (SDL_GameControllerGetButton(controller_, buttons[i])) info.buttons |= 1u << i;
        }
        return true;
    }
    if (joystick_) {
        if (SDL_JoystickNumAxes(joystick_) >= 2) {
            info.x = axis(SDL_JoystickGetAxis(joystick_, 0));
            info.y = axis(SDL_JoystickGetAxis(joystick_, 1));
        }
        if (SDL_JoystickNumHats(joystick_) > 0) {
            Uint8 hat = SDL_JoystickGetHat(joystick_, 0);
            if (hat & SDL_HAT_LEFT) info.x = 0;
            if (hat & SDL_HAT_RIGHT) info.x = 65535;
            if (hat & SDL_HAT_UP) info.y = 0;
            if (hat & SDL_HAT_DOWN) info.y = 65535;
        }
        for (int i = 0; i < 4 && i < SDL_JoystickNumButtons(joystick_); ++i) {
            if (SDL_JoystickGetButton(joystick_, i)) info.buttons |= 1u << i;
        }
        return true;
    }
    return false;
}

SdlScreen::~SdlScreen() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
}

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// The X display and window of an SDL window on X11; nothing on any other system.
bool X11Window(SDL_Window* window, Display*& display, ::Window& xwindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return true;
}
#endif

// Full screen on an X server without a window manager: nobody answers the request for it, so
// the window would stay 640 x 480 while the renderer draws for the whole screen. Such a window is
// given the size of its screen here.
void CoverScreenWithoutWindowManager(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window xwindow = 0;
    if (!X11Window(window, display, xwindow)) return;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                               &type, &format, &items, &after, &data);
        if (data) XFree(data);
        if (status == Success && items == 1) return;  // a window manager makes it full screen
    }
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &bounds) != 0) return;
    XMoveResizeWindow(display, xwindow, bounds.x, bounds.y, static_cast<unsigned>(bounds.w),
                      static_cast<unsigned>(bounds.h));
    XRaiseWindow(display, xwindow);
    XFlush(display);
#else
    (void)window;
#endif
}

}  // namespace

SDL_Rect PictureRect(int width, int height, bool wholeSteps) {
    constexpr int w = platform::kScreenWidth, h = platform::kScreenHeight;
    int pictureW = w, pictureH = h;
    if (wholeSteps) {
        const int scale = std::max(1, std::min(width / w, height / h));
        pictureW = w * scale;
        pictureH = h * scale;
    } else {
        const double scale =
            std::min(static_cast<double>(width) / w, static_cast<double>(height) / h);
        pictureW = std::max(1, static_cast<int>(std::lround(w * scale)));
        pictureH = std::max(1, static_cast<int>(std::lround(h * scale)));
    }
    return SDL_Rect{(width - pictureW) / 2, (height - pictureH) / 2, pictureW, pictureH};
}

bool SdlScreen::Open(bool fullScreen) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    Uint32 flags = fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;
    window_ = SDL_CreateWindow("Zarpane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               platform::kScreenWidth, platform::kScreenHeight, flags);
    if (!window_) return false;
    SDL_SetWindowMinimumSize(window_, 320, 240);
    fullScreen_ = fullScreen;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) return false;
    // After the renderer: it may make the window anew for its kind of drawing.
    if (fullScreen) CoverScreenWithoutWindowManager(window_);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 platform::kScreenWidth, platform::kScreenHeight);
    if (!texture_) return false;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    return true;
}

void SdlScreen::Show(const uint8_t* pixels, const platform::Palette& palette) {
    if (!texture_) return;
    constexpr size_t kPixels = size_t{platform::kScreenWidth} * platform::kScreenHeight;
    bool paletteChanged = lastPixels_.empty() || palette != lastPalette_;
    // An unchanged picture needs no conversion, upload or present.
    if (!dirty_ && !paletteChanged && std::memcmp(pixels, lastPixels_.data(), kPixels) == 0) return;
    if (paletteChanged) {
        for (size_t i = 0; i < 256; ++i) {
            colours_[i] = 0xFF000000u | (uint32_t{palette[i].red} << 16) |
                          (uint32_t{palette[i].green} << 8) | palette[i].blue;
        }
        lastPalette_ = palette;
    }
    lastPixels_.assign(pixels, pixels + kPixels);
    void* target = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture_, nullptr, &target, &pitch) != 0) return;
    for (int y = 0; y < platform::kScreenHeight; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target) + y * pitch);
        const uint8_t* source = pixels + y * platform::kScreenWidth;
        for (int x = 0; x < platform::kScreenWidth; ++x)
            row[x] = colours_[source[x]];
    }
    SDL_UnlockTexture(texture_);
    Draw();
}

void SdlScreen::Refresh() {
    if (!dirty_ || lastPixels_.empty() || !renderer_) return;
    Draw();
}

void SdlScreen::Draw() {
    // The picture goes where the window really is: its size is asked again after every change
    // the window reports. The picture keeps 4:3, full screen scales by whole steps, and what is
    // left around it is black.
    if (sizeStale_) {
        int width = 0, height = 0;
        if (SDL_GetRendererOutputSize(renderer_, &width, &height) != 0 || width <= 0 ||
            height <= 0) {
            width = platform::kScreenWidth;
            height = platform::kScreenHeight;
        }
        picture_ = PictureRect(width, height, fullScreen_);
        sizeStale_ = false;
    }
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &picture_);
    SDL_RenderPresent(renderer_);
    dirty_ = false;
}

void SdlScreen::Bell() {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window xwindow = 0;
    if (X11Window(window_, display, xwindow)) {
        XBell(display, 0);
        XFlush(display);
        return;
    }
#endif
    // No window system to ring: the terminal's bell, when there is a terminal.
    if (isatty(STDERR_FILENO)) {
        const ssize_t written = write(STDERR_FILENO, "\a", 1);
        (void)written;
    }
}

void SdlScreen::ShowCursor(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

platform::Answer SdlDialogs::MessageBox(const std::string& caption, const std::string& text,
                                        platform::Buttons buttons, platform::Icon icon) {
    using platform::Answer;
    std::vector<SDL_MessageBoxButtonData> data;
    Answer fallback = Answer::Ok;
    switch (buttons) {
        case platform::Buttons::Ok:
            data = {
                {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                 static_cast<int>(Answer::Ok), "OK"}};
            break;
        case platform::Buttons::YesNo:
            data = {
                {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(Answer::Yes), "はい"},
                {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(Answer::No), "いいえ"}};
            fallback = Answer::No;
            break;
        case platform::Buttons::YesNoCancel:
            data = {
                {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(Answer::Yes), "はい"},
                {0, static_cast<int>(Answer::No), "いいえ"},
                {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(Answer::Cancel),
                 "キャンセル"}};
            fallback = Answer::Cancel;
            break;
    }
    Uint32 flags = icon == platform::Icon::Error     ? SDL_MESSAGEBOX_ERROR
                   : icon == platform::Icon::Warning ? SDL_MESSAGEBOX_WARNING
                                                     : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData box{
        flags,       screen_.window(), caption.c_str(), text.c_str(), static_cast<int>(data.size()),
        data.data(), nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
        // No way to ask (no display at all): say it on standard error and take the safe answer.
        std::fprintf(stderr, "zarp: %s: %s\n", caption.c_str(), text.c_str());
        return fallback;
    }
    return static_cast<Answer>(pressed);
}

void SdlMessages::Pump(platform::MessageSink& sink) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                sink.CloseRequest();
                break;
            case SDL_KEYDOWN: {
                int key = VirtualKeyOf(event.key.keysym.scancode);
                if (key) {
                    keyboard_.NoteKeyDown(key);
                    sink.KeyDown(key);
                }
                break;
            }
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                    screen_.Invalidate();
                    screen_.Refresh();
                }
                break;
            case SDL_CONTROLLERDEVICEADDED:
            case SDL_JOYDEVICEADDED:
                joystick_.DeviceAdded();
                break;
            case SDL_JOYDEVICEREMOVED:
                joystick_.DeviceRemoved(event.jdevice.which);
                break;
            default:
                if (musicEventType != 0 && event.type == musicEventType) sink.MusicNotify();
                break;
        }
    }
    if (signalled_) {
        signalled_ = 0;
        sink.CloseRequest();
    }
}

}  // namespace zarp::sdl
