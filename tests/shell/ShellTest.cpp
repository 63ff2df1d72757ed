// The command line, the frame schedule and the closing wipe of the game shell.
#include <gtest/gtest.h>

#include "game/platform/headless/Headless.h"
#include "game/shell/Arguments.h"
#include "game/shell/Form.h"

namespace zarp {
namespace {

struct ArgumentCase {
    std::vector<std::string> arguments;
    int32_t launchStage;
    bool fullScreen;
    bool beep;
};

TEST(LaunchArguments, FollowTheCommandLineRules) {
    const ArgumentCase cases[] = {
        {{}, 0, true, false},
        {{"w"}, 0, false, false},
        {{"b"}, 0, true, true},
        {{"wb"}, 0, false, true},
        {{"W", "B"}, 0, false, true},
        {{"3"}, 3, true, false},
        {{"-2"}, -2, true, false},
        {{"3", "w"}, 0, false, false},  // the last argument is not a number
        {{"w", "12"}, 12, false, false},
        {{"/home/web/stages/big.zrp", "w"}, 0, true, false},  // a stage file cancels all three
        {{"b", "x.ZRP"}, 0, true, true},                      // only the first argument counts
        {{"+3"}, 0, true, false},
        {{"3x"}, 0, true, false},
        {{"99999999999"}, 0, true, false},
    };
    for (const ArgumentCase& c : cases) {
        LaunchOptions options = ParseLaunchArguments(c.arguments);
        std::string where = testing::PrintToString(c.arguments);
        EXPECT_EQ(options.launchStage, c.launchStage) << where;
        EXPECT_EQ(options.fullScreenRequest, c.fullScreen) << where;
        EXPECT_EQ(options.beepMode, c.beep) << where;
    }
}

// A form on the headless platform with nothing loaded, for driving AppIdle and the wipe.
class ShellFixture : public testing::Test {
  protected:
    headless::EventLog log;
    headless::VirtualClock clock;
    headless::LoggedMusic music{log, clock};
    headless::ScriptedMessages messages{music};
    headless::ScriptedKeyboard keyboard;
    headless::NoJoystick joystick;
    headless::MemoryScreen screen;
    headless::ScriptedDialogs dialogs{log};
    headless::LoggedAudio audio{log, clock};
    platform::Platform platform{clock, messages, keyboard, joystick, screen, dialogs, audio, music};
    std::unique_ptr<TForm1> form =
        std::make_unique<TForm1>(platform, "/nonexistent/", std::vector<std::string>{});

    void SetUp() override {
        form->scene = 4;  // runs nothing: only the frame wait
    }

    // Runs one frame whose scene work took `workMs`; returns how long its wait lasted.
    uint32_t Frame(uint32_t workMs) {
        clock.now += workMs;
        uint32_t before = clock.now;
        form->AppIdle();
        return clock.now - before;
    }
};

TEST_F(ShellFixture, SlowFrameIsFollowedByFiveQuickFrames) {
    EXPECT_EQ(Frame(0), 16u);
    EXPECT_EQ(Frame(0), 16u);
    EXPECT_EQ(Frame(100), 0u);  // the slow frame itself is late
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Frame(0), 0u) << "quick frame " << i + 1;
    EXPECT_EQ(Frame(0), 12u);  // the schedule has caught up and waits again
    EXPECT_EQ(Frame(0), 16u);
}

TEST_F(ShellFixture, ScheduleKeepsSixteenMillisecondsWhenFramesTakeTime) {
    Frame(0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Frame(5), 11u);
}

TEST_F(ShellFixture, LongStallResynchronisesInsteadOfRacing) {
    Frame(0);
    EXPECT_EQ(Frame(5000), 0u);
    // Not three hundred frames back to back: the next frame waits a full slot again.
    EXPECT_EQ(Frame(0), 16u);
    EXPECT_EQ(Frame(0), 16u);
}

TEST_F(ShellFixture, ScheduleSurvivesTheTickCounterWrapping) {
    clock.now = 0xFFFFFFF0u;
    Frame(0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Frame(0), 16u);
}

TEST_F(ShellFixture, WipeDarkensTheWholeScreenInSixtyOnePresents) {
    ASSERT_TRUE(form->MediaDevices.CreateDisplay(false));
    // The wipe pattern: row 0 of the window sheet alternates near-black and transparent.
    form->cwinSheet = std::make_unique<Surface>();
    form->cwinSheet->width = 480;
    form->cwinSheet->height = 50;
    form->cwinSheet->pixels.assign(480 * 50, 0);
    for (int32_t x = 0; x < 480; x += 2)
        form->cwinSheet->At(x, 0) = 1;
    form->MediaDevices.ClearBackBuffer();
    int64_t presentsBefore = screen.presents;
    uint32_t start = clock.now;
    form->lastPaceTick = start;
    form->WipeScreen();
    EXPECT_EQ(screen.presents - presentsBefore, 61);
    EXPECT_GE(clock.now - start, 61u * 24u);
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            ASSERT_EQ(form->MediaDevices.backBuffer->At(x, y), 1) << x << "," << y;
        }
    }
}

TEST_F(ShellFixture, WipeWithShiftHeldDoesNotWait) {
    ASSERT_TRUE(form->MediaDevices.CreateDisplay(false));
    keyboard.SetHeld({platform::vk::Shift});
    uint32_t start = clock.now;
    form->WipeScreen();
    EXPECT_EQ(clock.now, start);
}

TEST_F(ShellFixture, PaceMeasuresFromTheEndOfThePreviousPace) {
    form->Pace(50);  // the first Pace after start-up returns at once
    uint32_t start = clock.now;
    clock.now += 20;  // work between two calls counts toward the next wait
    form->Pace(50);
    EXPECT_EQ(clock.now - start, 50u);
}

}  // namespace
}  // namespace zarp
