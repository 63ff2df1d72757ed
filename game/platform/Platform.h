// The few services of the machine that the game needs, as small interfaces.
// The game above this seam never knows which backend (SDL window or headless) serves it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zarp::platform {

// Milliseconds since some start, wrapping at 2^32 like the system tick count.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t Ticks() = 0;
    // Returns once Ticks() has reached `due` (compared as a wrapping difference).
    // A real clock sleeps most of the way and spins the last moment; a virtual clock jumps.
    virtual void WaitUntil(uint32_t due) = 0;
    // Returns at or shortly after `due`, sleeping all the way: for waits that look at the time
    // themselves and need no precision below a millisecond (Pace, waiting for a key's release).
    virtual void SleepUntil(uint32_t due) { WaitUntil(due); }
};

// Receives the window messages the game reacts to.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void KeyDown(int virtualKey) = 0;  // every key-down, auto-repeat included
    virtual void MusicNotify() = 0;            // the music player finished or was stopped
    virtual void CloseRequest() = 0;           // window closed, SIGINT or SIGTERM
};

class Messages {
  public:
    virtual ~Messages() = default;
    // Delivers every pending message to `sink`, then returns.
    virtual void Pump(MessageSink& sink) = 0;
};

// Asynchronous key state by Windows virtual-key code.
class Keyboard {
  public:
    virtual ~Keyboard() = default;
    // True when the key is down now, or was pressed since the previous query of that key.
    virtual bool AsyncKeyState(int virtualKey) = 0;
};

struct JoyCaps {
    uint32_t wXmin = 0, wXmax = 0, wYmin = 0, wYmax = 0;
};

struct JoyInfo {
    uint32_t x = 0, y = 0, buttons = 0;
};

class Joystick {
  public:
    virtual ~Joystick() = default;
    virtual bool GetCaps(JoyCaps& caps) = 0;
    virtual bool GetPos(JoyInfo& info) = 0;
};

// One entry of a 256-colour palette, in the order the display keeps it.
struct PaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
    bool operator==(const PaletteEntry&) const = default;
};
using Palette = std::array<PaletteEntry, 256>;

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

class Screen {
  public:
    virtual ~Screen() = default;
    // Opens the window (or full screen). False when no display can be had.
    virtual bool Open(bool fullScreen) = 0;
    // Bits per pixel the display reports; our emulated display is always 8.
    virtual int DesktopDepth() = 0;
    // Shows a 640 x 480 picture of palette indices through `palette`.
    virtual void Show(const uint8_t* pixels, const Palette& palette) = 0;
    virtual void ShowCursor(bool visible) = 0;
};

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Warning, Error };
enum class Answer { Ok, Yes, No, Cancel };

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual Answer MessageBox(const std::string& caption, const std::string& text, Buttons buttons,
                              Icon icon) = 0;
};

struct PcmFormat {
    uint16_t channels = 1;
    uint32_t samplesPerSec = 22050;
    uint16_t bitsPerSample = 16;
    uint16_t blockAlign = 2;
};

// Eight voices that each play one PCM buffer once, with pan.
class Audio {
  public:
    virtual ~Audio() = default;
    virtual bool Init() = 0;
    // `pan` in the units -10000 (left) .. 0 .. +10000 (right). The data stays valid until
    // StopVoice of that slot or the next PlayVoice on it.
    virtual bool PlayVoice(int slot, const PcmFormat& format, const uint8_t* data, size_t size,
                           int pan, const std::string& name) = 0;
    virtual bool IsVoicePlaying(int slot) = 0;
    virtual void StopVoice(int slot) = 0;
    virtual void Beep() = 0;
};

// The media player: one MIDI file at a time. The end of a piece (and a Stop or Close of a
// playing piece) arrives later as MessageSink::MusicNotify on the main thread.
class Music {
  public:
    virtual ~Music() = default;
    virtual bool Open(const std::string& path) = 0;
    // Plays from the current position; a piece standing at its end starts from the beginning.
    virtual bool Play(bool notify) = 0;
    virtual void Stop(bool notify) = 0;
    virtual void Close(bool notify) = 0;
};

// Everything the game gets from its backend.
struct Platform {
    Clock& clock;
    Messages& messages;
    Keyboard& keyboard;
    Joystick& joystick;
    Screen& screen;
    Dialogs& dialogs;
    Audio& audio;
    Music& music;
};

// Windows virtual-key codes the game uses.
namespace vk {
inline constexpr int Return = 0x0D, Shift = 0x10, Escape = 0x1B, Space = 0x20;
inline constexpr int Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
inline constexpr int Numpad2 = 0x62, Numpad4 = 0x64, Numpad6 = 0x66, Numpad8 = 0x68;
inline constexpr int F5 = 0x74, F6 = 0x75, F9 = 0x78;
inline constexpr int OemPlus = 0xBB, Oem2 = 0xBF, Oem3 = 0xC0, Oem6 = 0xDD;
constexpr int Letter(char c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}
}  // namespace vk

}  // namespace zarp::platform
