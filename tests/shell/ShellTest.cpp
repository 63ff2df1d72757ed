// The command line, the frame schedule and the closing wipe of the game shell.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

#include "game/platform/headless/Headless.h"
#include "game/shell/Arguments.h"
#include "game/shell/Form.h"
#include "tests/support/Files.h"

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

// The virtual clock, able to wake late from a wait as a busy machine does.
struct TestClock : headless::VirtualClock {
    uint32_t lateBy = 0;
    int64_t waits = 0;
    bool stuck = false;
    void WaitUntil(uint32_t due) override {
        VirtualClock::WaitUntil(due);
        now += lateBy;
        // A wait that would never end gives up, so that the test fails instead of hanging.
        if (++waits > 100000) {
            stuck = true;
            now = 0xFFFFFFFFu;
        }
    }
};

// The screen, counting the near-black pixels (index 1) of every picture shown.
struct RecordingScreen : headless::MemoryScreen {
    std::vector<int64_t> dark;
    std::vector<uint8_t> first;
    void Show(const uint8_t* picture, const platform::Palette& colours) override {
        MemoryScreen::Show(picture, colours);
        if (first.empty()) first = pixels;
        dark.push_back(std::count(pixels.begin(), pixels.end(), 1));
    }
};

// A form on the headless platform with nothing loaded, for driving AppIdle and the wipe.
class ShellFixture : public testing::Test {
  protected:
    headless::EventLog log;
    TestClock clock;
    headless::LoggedMusic music{log, clock};
    headless::ScriptedMessages messages{music};
    headless::ScriptedKeyboard keyboard;
    headless::NoJoystick joystick;
    RecordingScreen screen;
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

TEST_F(ShellFixture, StallsOfUpToTenFramesAreCaughtUpLongerOnesResynchronise) {
    struct Case {
        uint32_t workMs;      // of the slow frame, which starts on time
        int quickFrames;      // then run without waiting
        uint32_t nextWaitMs;  // of the frame after them
    };
    const Case cases[] = {{100, 5, 12}, {176, 10, 16}, {177, 0, 16}, {5000, 0, 16}};
    Frame(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workMs);
        EXPECT_EQ(Frame(0), 16u);  // on schedule
        EXPECT_EQ(Frame(c.workMs), 0u);
        for (int i = 0; i < c.quickFrames; ++i)
            EXPECT_EQ(Frame(0), 0u) << "quick frame " << i + 1;
        EXPECT_EQ(Frame(0), c.nextWaitMs);
    }
}

TEST_F(ShellFixture, ScheduleKeepsSixteenMillisecondsWhenFramesTakeTime) {
    Frame(0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Frame(5), 11u);
}

TEST_F(ShellFixture, ScheduleSurvivesTheTickCounterWrapping) {
    clock.now = 0xFFFFFFF0u;
    Frame(0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Frame(0), 16u);
}

TEST_F(ShellFixture, WipeDarkensTheWholeScreenInSixtyOnePresents) {
    ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
    // The wipe pattern: row 0 of the window sheet alternates near-black and transparent.
    form->media.cwinSheet = std::make_unique<Surface>();
    form->media.cwinSheet->width = 480;
    form->media.cwinSheet->height = 50;
    form->media.cwinSheet->pixels.assign(480 * 50, 0);
    for (int32_t x = 0; x < 480; x += 2)
        form->media.cwinSheet->At(x, 0) = 1;
    form->media.MediaDevices.ClearBackBuffer();
    uint32_t start = clock.now;
    form->media.lastPaceTick = start;
    form->media.WipeScreen();
    ASSERT_EQ(screen.dark.size(), 61u);
    EXPECT_GE(clock.now - start, 61u * 24u);
    // Step j: the top curtain has darkened the even columns of rows 0 to 8j + 7, the bottom
    // one the odd columns of rows 473 - 8j to 479; only the last step covers the whole screen.
    for (int64_t j = 0; j < 61; ++j) {
        const int64_t top = std::min<int64_t>(8 * j + 8, 480);
        const int64_t bottom = std::min<int64_t>(8 * j + 7, 480);
        EXPECT_EQ(screen.dark[static_cast<size_t>(j)], 320 * (top + bottom)) << "step " << j;
    }
    const auto firstAt = [&](int32_t x, int32_t y) {
        return screen.first[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)];
    };
    EXPECT_EQ(firstAt(0, 0), 1);
    EXPECT_EQ(firstAt(1, 0), 0);
    EXPECT_EQ(firstAt(638, 7), 1);
    EXPECT_EQ(firstAt(0, 8), 0);
    EXPECT_EQ(firstAt(1, 479), 1);
    EXPECT_EQ(firstAt(0, 479), 0);
    EXPECT_EQ(firstAt(639, 473), 1);
    EXPECT_EQ(firstAt(639, 472), 0);
    // The last picture shown and the back buffer are wholly near-black.
    EXPECT_EQ(screen.pixels, std::vector<uint8_t>(640 * 480, 1));
    EXPECT_EQ(form->media.MediaDevices.backBuffer->pixels, std::vector<uint8_t>(640 * 480, 1));
}

TEST_F(ShellFixture, WipeWithShiftHeldDoesNotWait) {
    ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
    keyboard.SetHeld({platform::vk::Shift});
    uint32_t start = clock.now;
    form->media.WipeScreen();
    EXPECT_EQ(clock.now, start);
    EXPECT_EQ(screen.dark.size(), 61u);
}

TEST_F(ShellFixture, PaceWaitsFromTheEndOfThePreviousPace) {
    ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
    struct Case {
        const char* what;
        uint32_t now, sinceLast, ms;
        bool shift;
        int keyDuringWait;  // 0: none
        uint32_t lateBy;
        uint32_t waited;
        bool notesTime;
    };
    const Case cases[] = {
        {"the rest of the wait after work in between", 1000000, 20, 50, false, 0, 0, 30, true},
        {"already overdue", 1000000, 80, 50, false, 0, 0, 0, true},
        {"Shift held: at once, the time not noted", 1000000, 20, 50, true, 0, 0, 0, false},
        // Unsigned comparison: an end past the counter's wrap reads as reached.
        {"an end past the wrap", 0xFFFFFFF0u, 0x10, 0x30, false, 0, 0, 0, true},
        {"the counter wraps during the wait", 0xFFFFFFF8u, 8, 15, false, 0, 5, 9, true},
        // Esc during play: the key handler's wipe paces too, and the wait runs on from it.
        {"a wipe run by a key handler", 1000000, 0, 50, false, platform::vk::Escape, 0,
         61 * 24 + 50, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clock.now = c.now;
        clock.lateBy = c.lateBy;
        clock.waits = 0;
        clock.stuck = false;
        const uint32_t last = c.now - c.sinceLast;
        form->media.lastPaceTick = last;
        form->scene = c.keyDuringWait != 0 ? 1 : 4;
        keyboard.SetHeld(c.shift ? std::set<int>{platform::vk::Shift} : std::set<int>{});
        if (c.keyDuringWait != 0) messages.keyDowns.push_back(c.keyDuringWait);
        form->media.Pace(c.ms);
        EXPECT_FALSE(clock.stuck);
        EXPECT_EQ(clock.now - c.now, c.waited);
        EXPECT_EQ(form->media.lastPaceTick, c.notesTime ? clock.now : last);
    }
}

TEST_F(ShellFixture, PaceAfterShiftIsReleasedMeasuresFromTheLastWaitThatRan) {
    form->media.Pace(50);  // the first Pace after start-up returns at once
    const uint32_t start = clock.now;
    EXPECT_EQ(form->media.lastPaceTick, start);
    keyboard.SetHeld({platform::vk::Shift});
    clock.now += 10;
    form->media.Pace(24);
    EXPECT_EQ(clock.now, start + 10);
    keyboard.SetHeld({});
    clock.now += 5;
    form->media.Pace(24);
    EXPECT_EQ(clock.now, start + 24);
}

TEST_F(ShellFixture, FormKeyDownRunsItsFourTestsInOrder) {
    ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
    namespace vk = platform::vk;
    // Stage 1 starts at (300, 200) with the angle 20.
    form->session.stageNo = 1;
    form->stages.StageEntityTable.count[1] = 2;
    form->stages.StageEntityTable.x[1][0] = 300;
    form->stages.StageEntityTable.y[1][0] = 200;
    form->stages.StageEntityTable.x[1][1] = 20;
    form->stages.StageEntityTable.y[1][1] = 5;
    struct Case {
        const char* what;
        int key;
        int32_t scene;
        bool flying;
        int32_t rest;
        int32_t launchStage;
        int32_t sceneAfter;
        bool closes;
        int32_t restAfter;
        bool backAtStart;
        bool musicStopped;
        int64_t presents;  // 61 for the wipe
    };
    const Case cases[] = {
        {"F9 in name entry quits", vk::F9, 13, false, 3, 0, 13, true, 3, false, false, 0},
        {"F9 during a shot quits", vk::F9, 1, true, 3, 0, 1, true, 3, false, false, 0},
        {"Esc on the title quits", vk::Escape, 10, false, 3, 0, 10, true, 3, false, false, 0},
        {"Esc in the ranking does nothing", vk::Escape, 12, false, 3, 0, 12, false, 3, false, false,
         0},
        {"Esc in game over does nothing", vk::Escape, 3, true, 3, 0, 3, false, 3, false, false, 0},
        {"Esc during play wipes to the title", vk::Escape, 1, false, 3, 0, 10, false, 3, false,
         true, 61},
        {"F5 during a shot wipes to the title", vk::F5, 1, true, 3, 0, 10, false, 3, false, true,
         61},
        {"F5 ends a test play", vk::F5, 1, false, 3, 3, 10, true, 3, false, true, 61},
        {"Esc ends a test play", vk::Escape, 1, false, 3, 7, 10, true, 3, false, true, 61},
        {"F5 in stage clear does nothing", vk::F5, 2, true, 3, 0, 2, false, 3, false, false, 0},
        {"F6 abandons a flying shot", vk::F6, 1, true, 3, 0, 1, false, 2, true, true, 0},
        {"F6 in stage clear", vk::F6, 2, true, 3, 0, 2, false, 2, true, true, 0},
        {"F6 in game over", vk::F6, 3, true, 2, 0, 3, false, 1, true, true, 0},
        {"F6 on the last shot leads to game over", vk::F6, 1, true, 1, 0, 3, false, 0, true, true,
         0},
        {"F6 with the ball at rest does nothing", vk::F6, 1, false, 3, 0, 1, false, 3, false, false,
         0},
        {"F6 in stage start does nothing", vk::F6, 0, true, 3, 0, 0, false, 3, false, false, 0},
        {"F6 on the title does nothing", vk::F6, 10, true, 3, 0, 10, false, 3, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->closing = false;
        form->scene = c.scene;
        form->session.launchStage = c.launchStage;
        form->media.musicRepeat = true;
        Player& p = form->session.Player;
        p.x = 5;
        p.y = 6;
        p.angle = 99;
        p.needleTime = 7;
        p.flying = c.flying;
        p.rest = c.rest;
        const int64_t presents = screen.presents;
        form->FormKeyDown(c.key);
        EXPECT_EQ(form->scene, c.sceneAfter);
        EXPECT_EQ(form->closing, c.closes);
        EXPECT_EQ(p.rest, c.restAfter);
        EXPECT_EQ(form->media.musicRepeat, !c.musicStopped);
        EXPECT_EQ(screen.presents - presents, c.presents);
        if (c.backAtStart) {
            EXPECT_EQ(p.x, 300);
            EXPECT_EQ(p.y, 200);
            EXPECT_EQ(p.angle, 20);
            EXPECT_EQ(p.needleTime, 0);
            EXPECT_FALSE(p.flying);
        } else {
            EXPECT_EQ(p.x, 5);
            EXPECT_EQ(p.angle, 99);
            EXPECT_EQ(p.needleTime, 7);
            EXPECT_EQ(p.flying, c.flying);
        }
    }
}

// A dialog box that writes down what it was asked and gives one fixed answer.
struct RecordingDialogs : platform::Dialogs {
    platform::Answer answer = platform::Answer::Ok;
    std::vector<std::string> asked;  // caption|text|buttons
    platform::Answer MessageBox(const std::string& caption, const std::string& text,
                                platform::Buttons buttons, platform::Icon) override {
        const char* names[] = {"ok", "yesno", "yesnocancel"};
        asked.push_back(caption + "|" + text + "|" + names[static_cast<int>(buttons)]);
        return answer;
    }
};

struct RefusingScreen : headless::MemoryScreen {
    bool works = true;
    bool Open(bool full) override { return works && MemoryScreen::Open(full); }
};

// A working folder of its own, entered for the test's life: palette.dat (when asked for), and
// no stage files.
class StartFolder {
  public:
    explicit StartFolder(bool palette) : working_(folder_.dir()) {
        if (palette) {
            std::string bytes(1078, '\0');
            bytes[14] = 40;
            bytes[28] = 8;
            testing_support::WriteBytes("palette.dat", bytes);
        }
    }
    std::string path() const { return folder_.Folder(); }

  private:
    testing_support::TempDir folder_{"zarp-start"};
    testing_support::WorkingFolder working_;
};

TEST(ShellStartUp, EachFailureShowsItsMessageAndEndsWithMinusOne) {
    const std::string sound =
        "質問|DirectSoundの初期化に失敗しました\nビープ音で代用しますね（一部の機種では再生できま"
        "せんが）|yesno";
    struct Case {
        const char* what;
        bool soundWorks;
        platform::Answer answer;
        bool screenWorks;
        bool palette;
        bool created;
        std::vector<std::string> asked;
        bool beepMode;
    };
    const Case cases[] = {
        {"everything works", true, platform::Answer::Ok, true, true, true, {}, false},
        {"no sound device, beeps refused",
         false,
         platform::Answer::No,
         true,
         true,
         false,
         {sound},
         false},
        {"no sound device, beeps taken",
         false,
         platform::Answer::Yes,
         true,
         true,
         true,
         {sound},
         true},
        {"no display",
         true,
         platform::Answer::Ok,
         false,
         true,
         false,
         {"Zarpane|DirectDrawの初期化に失敗しました|ok"},
         false},
        {"no palette.dat",
         true,
         platform::Answer::Ok,
         true,
         false,
         false,
         {"Zarpane|パレット設定に失敗しました|ok"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const StartFolder folder(c.palette);
        headless::EventLog log;
        headless::VirtualClock clock;
        headless::LoggedMusic music{log, clock};
        headless::ScriptedMessages messages{music};
        headless::ScriptedKeyboard keyboard;
        headless::NoJoystick joystick;
        RefusingScreen screen;
        screen.works = c.screenWorks;
        RecordingDialogs dialogs;
        dialogs.answer = c.answer;
        headless::LoggedAudio audio{log, clock};
        audio.available = c.soundWorks;
        platform::Platform platform{clock,  messages, keyboard, joystick,
                                    screen, dialogs,  audio,    music};
        {
            TForm1 form(platform, folder.path(), {});
            EXPECT_EQ(form.FormCreate(), c.created);
            EXPECT_EQ(form.exitStatus, c.created ? 0 : -1);
            EXPECT_EQ(dialogs.asked, c.asked);
            EXPECT_EQ(form.media.MediaDevices.beepMode, c.beepMode);
            // Sound is asked about before the display is made; the sheets come after the palette.
            EXPECT_EQ(screen.opened,
                      (c.soundWorks || c.answer == platform::Answer::Yes) && c.screenWorks);
            if (c.created) {
                EXPECT_EQ(form.scene, SceneOpening::kId);
            } else {
                EXPECT_FALSE(form.media.backgroundSurface);
            }
        }
    }
}

TEST(ShellEntry, AnExceptionIsShownThenTheShutdownRunsAndTheExitStatusIsZero) {
    // Throws where it is told to: before the form's creation, or at the end of a frame.
    struct Thrower : FrameHooks {
        int64_t atFrame = 0;  // 0: before FormCreate
        int32_t exitStatus = -7;
        void BeforeCreate(TForm1& /*form*/) override {
            if (atFrame == 0) throw std::runtime_error("broken before the start");
        }
        void AfterFrame(TForm1& /*form*/, int64_t frame) override {
            if (frame == atFrame) throw std::runtime_error("broken in a frame");
        }
        void AtExit(TForm1& /*form*/, int32_t status) override { exitStatus = status; }
    };
    struct Case {
        int64_t atFrame;
        const char* text;
        bool rankingSaved;  // the ranking had been read, so the shutdown writes it
    };
    const Case cases[] = {{0, "broken before the start", false}, {3, "broken in a frame", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const StartFolder folder(true);
        const std::string mine = "[Mine]\r\nkeep=1\r\n";
        std::ofstream(folder.path() + "zarp.dat", std::ios::binary) << mine;
        headless::Machine machine;
        Thrower thrower;
        thrower.atFrame = c.atFrame;
        EXPECT_EQ(RunGame(machine.platform, folder.path(), {"w"}, &thrower), 0);
        EXPECT_EQ(thrower.exitStatus, 0);
        EXPECT_EQ(machine.dialogs.boxes,
                  std::vector<std::string>{std::string("Zarpane|") + c.text});
        std::ifstream in(folder.path() + "zarp.dat", std::ios::binary);
        const std::string after((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        EXPECT_EQ(after.find("Sum=680") != std::string::npos, c.rankingSaved) << after;
        EXPECT_EQ(after.rfind(mine, 0), 0u) << after;
    }
}

}  // namespace
}  // namespace zarp
