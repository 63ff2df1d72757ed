// The headless backend: a virtual clock, scripted keys and answers, a screen that keeps the
// last picture, and a log of sounds, music commands and message boxes.
#pragma once

#include <array>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "game/media/Midi.h"
#include "game/platform/Platform.h"

namespace zarp::headless {

// One line per event, prefixed with the frame it happened in.
class EventLog {
  public:
    bool Open(const std::string& path);
    void Write(const std::string& text);
    int64_t frame = 0;

  private:
    std::unique_ptr<FILE, int (*)(FILE*)> file_{nullptr, fclose};
};

class VirtualClock : public platform::Clock {
  public:
    uint32_t now = 1000000;  // like a system tick count, far from zero
    uint32_t Ticks() override { return now; }
    void WaitUntil(uint32_t due) override {
        if (static_cast<int32_t>(due - now) > 0) now = due;
    }
};

class ScriptedKeyboard : public platform::Keyboard {
  public:
    ScriptedKeyboard() = default;
    explicit ScriptedKeyboard(VirtualClock& clock) : clock_(&clock) {}
    // Sets the keys held from now on; keys that become held also count as pressed.
    void SetHeld(const std::set<int>& keys);
    // Like SetHeld, but each key lets go by itself once the clock reaches its tick, so that a
    // wait for a key's release inside a frame ends when the script's hold would have ended.
    void SetHeldUntil(const std::map<int, uint32_t>& releaseTicks);
    bool AsyncKeyState(int virtualKey) override;

  private:
    VirtualClock* clock_ = nullptr;
    std::set<int> held_;
    std::set<int> pressed_;
    std::map<int, uint32_t> releaseTicks_;
};

class NoJoystick : public platform::Joystick {
  public:
    bool GetCaps(platform::JoyCaps&) override { return false; }
    bool GetPos(platform::JoyInfo&) override { return false; }
};

class MemoryScreen : public platform::Screen {
  public:
    bool Open(bool fullScreen) override;
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t* pixels, const platform::Palette& palette) override;
    void ShowCursor(bool) override {}
    bool SavePng(const std::string& path, std::string* error) const;

    bool opened = false;
    bool fullScreen = false;
    int64_t presents = 0;
    std::vector<uint8_t> pixels =
        std::vector<uint8_t>(size_t{platform::kScreenWidth} * platform::kScreenHeight);
    platform::Palette palette{};
};

class ScriptedDialogs : public platform::Dialogs {
  public:
    explicit ScriptedDialogs(EventLog& log) : log_(log) {}
    platform::Answer MessageBox(const std::string& caption, const std::string& text,
                                platform::Buttons buttons, platform::Icon icon) override;
    std::deque<platform::Answer> answers;
    std::vector<std::string> boxes;  // "caption|text" of every box shown

  private:
    EventLog& log_;
};

class LoggedAudio : public platform::Audio {
  public:
    LoggedAudio(EventLog& log, VirtualClock& clock) : log_(log), clock_(clock) {}
    bool Init() override { return available; }
    bool PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t* data, size_t size,
                   int pan, const std::string& name) override;
    bool IsVoicePlaying(int slot) override;
    void StopVoice(int slot) override;
    void Beep() override;
    bool available = true;

  private:
    EventLog& log_;
    VirtualClock& clock_;
    std::array<bool, 8> playing_{};
    std::array<uint32_t, 8> endsAt_{};
};

class LoggedMusic : public platform::Music {
  public:
    LoggedMusic(EventLog& log, VirtualClock& clock) : log_(log), clock_(clock) {}
    bool Open(const std::string& path) override;
    bool Play(bool notify) override;
    void Stop(bool notify) override;
    void Close(bool notify) override;
    // True once when a piece has ended (or was stopped) with notification asked for.
    bool TakeNotification();

  private:
    void Finish(bool notify);
    MusicComplaints complaints_;
    EventLog& log_;
    VirtualClock& clock_;
    std::string file_;
    bool open_ = false;
    bool playing_ = false;
    bool atEnd_ = false;
    bool notifyAtEnd_ = false;
    uint32_t lengthMs_ = 0;
    uint32_t startedAt_ = 0;
    uint32_t position_ = 0;
    int pendingNotifications_ = 0;
};

class ScriptedMessages : public platform::Messages {
  public:
    ScriptedMessages(LoggedMusic& music) : music_(music) {}
    void Pump(platform::MessageSink& sink) override;
    std::deque<int> keyDowns;
    bool closeRequested = false;
    volatile std::sig_atomic_t* signalled = nullptr;  // SIGINT or SIGTERM arrived

  private:
    LoggedMusic& music_;
};

// Every headless device wired together: for the driver, and for tools, tests and benchmarks
// that run the game's code in their own process.
struct Machine {
    EventLog log;
    VirtualClock clock;
    LoggedMusic music{log, clock};
    ScriptedMessages messages{music};
    ScriptedKeyboard keyboard{clock};
    NoJoystick joystick;
    MemoryScreen screen;
    ScriptedDialogs dialogs{log};
    LoggedAudio audio{log, clock};
    platform::Platform platform{clock, messages, keyboard, joystick, screen, dialogs, audio, music};
};

// How long the headless player lets a piece of `seconds` play, in milliseconds (up to an hour).
uint32_t MidiLengthMs(double seconds);

// The key names of input scripts ("Left", "Space", "F9", "A", ...) to virtual-key codes.
int KeyByName(const std::string& name);

struct KeyHold {
    int64_t from = 0, to = 0;
    std::vector<int> keys;
};
// Parses an input script; false with "FILE:LINE: problem" on a bad line.
bool ParseKeyScript(const std::string& path, std::vector<KeyHold>& holds, std::string* error);

}  // namespace zarp::headless
