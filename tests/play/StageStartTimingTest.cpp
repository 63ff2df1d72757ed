// The stage start's own waits on a virtual clock: its length follows from its Pace values,
// and Shift skips them all without changing the number of frames.
#include <gtest/gtest.h>

#include <memory>

#include "game/shell/Form.h"

namespace zarp {
namespace {

class TestClock final : public platform::Clock {
  public:
    uint32_t now = 5000000;
    uint32_t Ticks() override { return now; }
    void WaitUntil(uint32_t due) override {
        if (static_cast<int32_t>(due - now) > 0) now = due;
    }
};
class NoMessages final : public platform::Messages {
  public:
    void Pump(platform::MessageSink&) override {}
};
class ShiftKey final : public platform::Keyboard {
  public:
    bool shift = false;
    bool AsyncKeyState(int key) override { return shift && key == platform::vk::Shift; }
};
class NoJoystick final : public platform::Joystick {
  public:
    bool GetCaps(platform::JoyCaps&) override { return false; }
    bool GetPos(platform::JoyInfo&) override { return false; }
};
class NoScreen final : public platform::Screen {
  public:
    bool Open(bool) override { return true; }
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t*, const platform::Palette&) override { ++presents; }
    void ShowCursor(bool) override {}
    int presents = 0;
};
class OkDialogs final : public platform::Dialogs {
  public:
    platform::Answer MessageBox(const std::string&, const std::string&, platform::Buttons,
                                platform::Icon) override {
        return platform::Answer::Ok;
    }
};
class NoAudio final : public platform::Audio {
  public:
    bool Init() override { return false; }
    bool PlayVoice(int, const platform::PcmFormat&, const uint8_t*, size_t, int,
                   const std::string&) override {
        return false;
    }
    bool IsVoicePlaying(int) override { return false; }
    void StopVoice(int) override {}
    void Beep() override {}
};
class NoMusic final : public platform::Music {
  public:
    bool Open(const std::string&) override { return false; }
    bool Play(bool) override { return false; }
    void Stop(bool) override {}
    void Close(bool) override {}
};

struct Machine {
    TestClock clock;
    NoMessages messages;
    ShiftKey keys;
    NoJoystick joystick;
    NoScreen screen;
    OkDialogs dialogs;
    NoAudio audio;
    NoMusic music;
    platform::Platform platform{clock, messages, keys, joystick, screen, dialogs, audio, music};
};

TEST(StageStartTiming, LengthFollowsFromThePaceValuesAndShiftSkipsThem) {
    struct Case {
        int coins;
        bool shift;
        int frames;
        uint32_t ms;
    };
    // 600 + 19 x 32 + 16 x (16 + 32) + 13 x 32 + 48 for each frame of the coin phase, which
    // lasts one frame without coins and N + 15 frames with N entity entries.
    const Case cases[] = {{0, false, 53, 2392 + 48},
                          {0, true, 53, 0},
                          {3, false, 53 + 19, 2392 + 48 * 20},
                          {3, true, 53 + 19, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.coins << " coins, shift " << c.shift);
        Machine machine;
        auto form = std::make_unique<TForm1>(machine.platform, "./", std::vector<std::string>{});
        ASSERT_TRUE(form->MediaDevices.CreateDisplay(false));
        form->backgroundSurface = form->MediaDevices.CreateSurface(640, 480);
        form->stageNo = 1;
        form->stageTotal = 2;
        auto& entities = form->StageEntityTable;
        entities.count[1] = 2 + c.coins;
        entities.x[1][0] = 64;
        entities.y[1][0] = 80;
        entities.x[1][1] = 12;
        entities.y[1][1] = 7;
        for (int i = 0; i < c.coins; ++i) {
            entities.x[1][2 + i] = 100 + 20 * i;
            entities.y[1][2 + i] = 100;
        }
        machine.keys.shift = c.shift;
        form->scene = SceneStageStart::kId;
        form->lastPaceTick = machine.clock.now;  // the 600 ms wait is measured from here
        const uint32_t start = machine.clock.now;
        int frames = 0;
        while (form->scene == SceneStageStart::kId && frames < 1000) {
            form->stageStart.Frame(*form);
            ++frames;
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(machine.clock.now - start, c.ms);
        EXPECT_EQ(form->scene, ScenePlay::kId);
        // 19 title frames, 29 reveal frames, the coin phase.
        EXPECT_EQ(machine.screen.presents, 19 + 29 + (c.coins ? c.coins + 17 : 1));
        EXPECT_EQ(form->Player.x, 64);
        EXPECT_EQ(form->Player.angle, 12);
        EXPECT_EQ(form->Player.rest, 7);
        EXPECT_TRUE(form->musicRepeat);
        // The scene is ready to run again, as after a continue.
        EXPECT_EQ(form->stageStart.frame, 0);
        EXPECT_EQ(form->stageStart.wipeStep, 1);
        EXPECT_EQ(form->stageStart.appearCount, 0);
    }
}

}  // namespace
}  // namespace zarp
