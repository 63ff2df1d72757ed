// The SDL backend: a real clock, the window with its 8-bit picture, keyboard, game pads and
// message boxes. Sound and music live in SdlAudio.
#pragma once

#include <SDL.h>

#include <array>
#include <csignal>
#include <memory>
#include <vector>

#include "game/platform/Platform.h"

namespace zarp::sdl {

class SdlClock : public platform::Clock {
  public:
    uint32_t Ticks() override;
    // Sleeps until shortly before the due time, then spins the last moment.
    void WaitUntil(uint32_t due) override;
    void SleepUntil(uint32_t due) override;
};

class SdlKeyboard : public platform::Keyboard {
  public:
    SdlKeyboard();
    bool AsyncKeyState(int virtualKey) override;
    void NoteKeyDown(int virtualKey);

  private:
    std::array<bool, 256> pressed_{};
    std::array<std::vector<SDL_Scancode>, 256> scancodes_;  // the physical keys of each code
};

class SdlJoystick : public platform::Joystick {
  public:
    ~SdlJoystick() override;
    bool GetCaps(platform::JoyCaps& caps) override;
    bool GetPos(platform::JoyInfo& info) override;
    // Opens the first pad when one is plugged in, closes it when it goes away.
    void DeviceAdded();
    void DeviceRemoved(SDL_JoystickID id);

  private:
    void OpenFirst();
    SDL_GameController* controller_ = nullptr;
    SDL_Joystick* joystick_ = nullptr;
};

// Where the 640 x 480 picture goes in a window of `width` x `height` pixels: centred, 4:3, by
// whole steps (at least 1) when `wholeSteps`, else as large as fits.
SDL_Rect PictureRect(int width, int height, bool wholeSteps);

class SdlScreen : public platform::Screen {
  public:
    ~SdlScreen() override;
    bool Open(bool fullScreen) override;
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t* pixels, const platform::Palette& palette) override;
    void ShowCursor(bool visible) override;
    // The window was exposed or resized: show the last picture again at the next chance, at
    // the size the window has then.
    void Invalidate() {
        dirty_ = true;
        sizeStale_ = true;
    }
    void Refresh();
    // The desktop's bell: X11's through the window system, else the terminal's.
    void Bell();
    SDL_Window* window() const { return window_; }

  private:
    void Draw();
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::vector<uint8_t> lastPixels_;
    platform::Palette lastPalette_{};
    std::array<uint32_t, 256> colours_{};
    bool dirty_ = true;
    bool fullScreen_ = false;
    bool sizeStale_ = true;
    SDL_Rect picture_{0, 0, platform::kScreenWidth, platform::kScreenHeight};
};

class SdlDialogs : public platform::Dialogs {
  public:
    explicit SdlDialogs(SdlScreen& screen) : screen_(screen) {}
    platform::Answer MessageBox(const std::string& caption, const std::string& text,
                                platform::Buttons buttons, platform::Icon icon) override;

  private:
    SdlScreen& screen_;
};

class SdlMessages : public platform::Messages {
  public:
    SdlMessages(SdlKeyboard& keyboard, SdlJoystick& joystick, SdlScreen& screen,
                volatile std::sig_atomic_t& signalled)
        : keyboard_(keyboard), joystick_(joystick), screen_(screen), signalled_(signalled) {}
    void Pump(platform::MessageSink& sink) override;
    uint32_t musicEventType = 0;  // the event the music player posts when a piece ends

  private:
    SdlKeyboard& keyboard_;
    SdlJoystick& joystick_;
    SdlScreen& screen_;
    volatile std::sig_atomic_t& signalled_;
};

// The virtual-key code of a physical key, or 0.
int VirtualKeyOf(SDL_Scancode scancode);

}  // namespace zarp::sdl
