// The browser backend: the page's clock, keys, game pads, canvas, dialog, WebAudio voices and
// the music rendered at build time. Everything the page does lives in page.js; these classes
// call it through library_zarp.js and never block the browser: every wait sleeps through
// ASYNCIFY, so the game's own waiting loops stay as they are.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/media/Midi.h"
#include "game/platform/Platform.h"

namespace zarp::web {

class WebClock : public platform::Clock {
  public:
    uint32_t Ticks() override;
    // Sleeps until the due millisecond, precisely enough for the 16 ms frame.
    void WaitUntil(uint32_t due) override;
};

class WebKeyboard : public platform::Keyboard {
  public:
    bool AsyncKeyState(int virtualKey) override;
    void NoteKeyDown(int virtualKey);

  private:
    std::array<bool, 256> pressed_{};
};

// The first game pad of the Gamepad API, on the same 0..65535 axes as the native build.
class WebJoystick : public platform::Joystick {
  public:
    bool GetCaps(platform::JoyCaps& caps) override;
    bool GetPos(platform::JoyInfo& info) override;
};

class WebScreen : public platform::Screen {
  public:
    bool Open(bool fullScreen) override;
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t* pixels, const platform::Palette& palette) override;
    void ShowCursor(bool) override {}

  private:
    std::vector<uint8_t> lastPixels_;
    platform::Palette lastPalette_{};
    std::array<uint32_t, 256> colours_{};
    std::vector<uint32_t> rgba_;
};

// A dialog in the page; the game waits for the answer as it would for a message box.
class WebDialogs : public platform::Dialogs {
  public:
    platform::Answer MessageBox(const std::string& caption, const std::string& text,
                                platform::Buttons buttons, platform::Icon icon) override;
};

// Eight WebAudio voices with the native pan rule.
class WebAudio : public platform::Audio {
  public:
    ~WebAudio() override;
    bool Init() override;
    bool PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t* data, size_t size,
                   int pan, const std::string& name) override;
    bool IsVoicePlaying(int slot) override;
    void StopVoice(int slot) override;
    void Beep() override;

  private:
    bool ready_ = false;
};

// The media player: each MIDI piece plays as the recording made from it at build time (the same
// synthesiser and soundfont as the native game), and ends, as natively, when its MIDI file ends.
class WebMusic : public platform::Music {
  public:
    ~WebMusic() override { Close(false); }
    bool Open(const std::string& path) override;
    bool Play(bool notify) override;
    void Stop(bool notify) override;
    void Close(bool notify) override;
    // True once for each notification due: a piece that ended, or a playing piece stopped.
    bool TakeNotification();

  private:
    enum class State { Closed, Ready, Playing, Paused, Ended };
    double Elapsed() const;
    State state_ = State::Closed;
    MusicComplaints complaints_;
    std::string path_;
    std::string recording_;  // the recording's name in the page's files
    double lengthSeconds_ = 0;
    double startedAt_ = 0;  // audio clock at the piece's beginning, while it plays
    double position_ = 0;   // seconds into the piece, while it is paused
    bool notifyAtEnd_ = false;
    int pendingNotifications_ = 0;
};

// What the page has for the game besides keys: the player added stage sets.
struct PageEvents {
    bool setsChanged = false;
};

class WebMessages : public platform::Messages {
  public:
    WebMessages(WebKeyboard& keyboard, WebMusic& music, PageEvents& page)
        : keyboard_(keyboard), music_(music), page_(page) {}
    void Pump(platform::MessageSink& sink) override;

  private:
    WebKeyboard& keyboard_;
    WebMusic& music_;
    PageEvents& page_;
};

// The recording the page plays for a MIDI file: bgm01.mid is music/bgm01.opus.
std::string RecordingFor(const std::string& midiPath);

}  // namespace zarp::web
