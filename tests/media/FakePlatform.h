// A platform made of plain records, for the media tests: the screen keeps what it was shown,
// keys and joystick answer from fields, the audio logs what it is asked.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/platform/Platform.h"

namespace zarp::test {

struct FakeClock : platform::Clock {
    uint32_t now = 0;
    uint32_t Ticks() override { return now; }
    void WaitUntil(uint32_t due) override { now = due; }
};

struct FakeMessages : platform::Messages {
    void Pump(platform::MessageSink&) override {}
};

struct FakeKeyboard : platform::Keyboard {
    std::set<int> down;
    std::vector<int> queried;
    bool AsyncKeyState(int virtualKey) override {
        queried.push_back(virtualKey);
        return down.count(virtualKey) != 0;
    }
};

struct FakeJoystick : platform::Joystick {
    bool present = false;
    platform::JoyCaps caps;
    platform::JoyInfo info;
    bool GetCaps(platform::JoyCaps& out) override {
        if (present) out = caps;
        return present;
    }
    bool GetPos(platform::JoyInfo& out) override {
        if (present) out = info;
        return present;
    }
};

struct FakeScreen : platform::Screen {
    bool openResult = true;
    int depth = 8;
    std::vector<bool> opened;  // the fullScreen argument of each Open
    int shows = 0;
    std::vector<uint8_t> lastPixels;
    platform::Palette lastPalette{};
    bool Open(bool fullScreen) override {
        opened.push_back(fullScreen);
        return openResult;
    }
    int DesktopDepth() override { return depth; }
    void Show(const uint8_t* pixels, const platform::Palette& palette) override {
        ++shows;
        lastPixels.assign(pixels, pixels + platform::kScreenWidth * platform::kScreenHeight);
        lastPalette = palette;
    }
    void ShowCursor(bool) override {}
};

struct FakeDialogs : platform::Dialogs {
    platform::Answer answer = platform::Answer::No;
    std::vector<std::string> asked;  // caption + "|" + text
    platform::Answer MessageBox(const std::string& caption, const std::string& text,
                                platform::Buttons, platform::Icon) override {
        asked.push_back(caption + "|" + text);
        return answer;
    }
};

struct FakeAudio : platform::Audio {
    struct Play {
        int slot;
        platform::PcmFormat format;
        std::vector<uint8_t> data;
        int pan;
        std::string name;
    };
    bool initResult = true;
    bool playResult = true;
    std::vector<Play> plays;
    std::set<int> playing;  // slots that still sound
    std::vector<int> stops;
    int beeps = 0;
    bool Init() override { return initResult; }
    bool PlayVoice(int slot, const platform::PcmFormat& format, const uint8_t* data, size_t size,
                   int pan, const std::string& name) override {
        plays.push_back({slot, format, std::vector<uint8_t>(data, data + size), pan, name});
        if (playResult) playing.insert(slot);
        return playResult;
    }
    bool IsVoicePlaying(int slot) override { return playing.count(slot) != 0; }
    void StopVoice(int slot) override {
        stops.push_back(slot);
        playing.erase(slot);
    }
    void Beep() override { ++beeps; }
};

struct FakeMusic : platform::Music {
    bool Open(const std::string&) override { return true; }
    bool Play(bool) override { return true; }
    void Stop(bool) override {}
    void Close(bool) override {}
};

struct FakePlatform {
    FakeClock clock;
    FakeMessages messages;
    FakeKeyboard keyboard;
    FakeJoystick joystick;
    FakeScreen screen;
    FakeDialogs dialogs;
    FakeAudio audio;
    FakeMusic music;
    platform::Platform platform{clock, messages, keyboard, joystick, screen, dialogs, audio, music};
};

}  // namespace zarp::test
