// The stage start's own waits on a virtual clock: its length follows from its Pace values,
// and Shift skips them all without changing the number of frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "game/platform/headless/Headless.h"
#include "game/play/StageSet.h"
#include "game/shell/Form.h"
#include "tests/support/Files.h"
#include "tests/support/StageLayout.h"

namespace zarp {
namespace {

using headless::Machine;

// Holds Shift (the wipes and waits need no waiting) and, when asked, Space.
void Hold(Machine& machine, bool shift, bool space) {
    std::set<int> keys;
    if (shift) keys.insert(platform::vk::Shift);
    if (space) keys.insert(platform::vk::Space);
    machine.keyboard.SetHeld(keys);
}

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
        ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
        form->media.backgroundSurface = form->media.MediaDevices.CreateSurface(640, 480);
        form->session.stageNo = 1;
        form->stages.stageTotal = 2;
        auto& entities = form->stages.StageEntityTable;
        entities.count[1] = 2 + c.coins;
        entities.x[1][0] = 64;
        entities.y[1][0] = 80;
        entities.x[1][1] = 12;
        entities.y[1][1] = 7;
        for (int i = 0; i < c.coins; ++i) {
            entities.x[1][2 + i] = 100 + 20 * i;
            entities.y[1][2 + i] = 100;
        }
        Hold(machine, c.shift, false);
        form->scene = SceneStageStart::kId;
        form->media.lastPaceTick = machine.clock.now;  // the 600 ms wait is measured from here
        const uint32_t start = machine.clock.now;
        int frames = 0;
        while (form->scene == SceneStageStart::kId && frames < 1000) {
            form->RunScene();
            ++frames;
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(machine.clock.now - start, c.ms);
        EXPECT_EQ(form->scene, ScenePlay::kId);
        // 19 title frames, 29 reveal frames, the coin phase.
        EXPECT_EQ(machine.screen.presents, 19 + 29 + (c.coins ? c.coins + 17 : 1));
        EXPECT_EQ(form->session.Player.x, 64);
        EXPECT_EQ(form->session.Player.angle, 12);
        EXPECT_EQ(form->session.Player.rest, 7);
        EXPECT_TRUE(form->media.musicRepeat);
        // The scene is ready to run again, as after a continue.
        EXPECT_EQ(form->scenes.stageStart.frame, 0);
        EXPECT_EQ(form->scenes.stageStart.wipeStep, 1);
        EXPECT_EQ(form->scenes.stageStart.appearCount, 0);
    }
}

// Runs stage clear frames with Space held or not until the scene is left; the frames it took.
int ClearFrames(Machine& machine, TForm1& form, bool held, int limit = 400) {
    Hold(machine, true, held);
    for (int f = 1; f <= limit; ++f) {
        form.RunScene();
        if (form.scene != SceneStageClear::kId) return f;
    }
    return 0;
}

TEST(StageClearInProcess, NextStageOrEndingAndTheSecondClearNeedsARelease) {
    Machine machine;
    Hold(machine, true, false);  // the wipes need no waiting
    auto form = std::make_unique<TForm1>(machine.platform, "./", std::vector<std::string>{});
    ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
    form->media.MediaDevices.beepMode = true;  // no effect files here
    form->stages.stageTotal = 3;
    form->session.stageNo = 1;
    form->session.Player.rest = 2;
    form->session.Player.maxHit = 0;
    form->scene = SceneStageClear::kId;
    // The first clear of a program takes a held button as soon as the counter allows: 16 + 16
    // wipe frames and 91 window frames.
    EXPECT_EQ(ClearFrames(machine, *form, true), 32 + 91);
    EXPECT_EQ(form->scene, SceneStageStart::kId);
    EXPECT_EQ(form->session.stageNo, 2);
    EXPECT_EQ(form->session.Player.score, 1600);  // a maxHit of 0 adds nothing
    EXPECT_FALSE(form->closing);

    // The second: a button held from the winning shot does not leave until released and pressed.
    form->scene = SceneStageClear::kId;
    EXPECT_EQ(ClearFrames(machine, *form, true, 200), 0);
    EXPECT_EQ(ClearFrames(machine, *form, false, 1), 0);
    EXPECT_EQ(ClearFrames(machine, *form, true, 1), 1);
    // After the last stage comes the ending.
    EXPECT_EQ(form->session.stageNo, 3);
    EXPECT_EQ(form->scene, SceneEnding::kId);
    EXPECT_FALSE(form->closing);
}

TEST(PlayInProcess, ABallThatStopsOnTheGoalSpendsTheShotAndTheLastOneIsGameOver) {
    struct Case {
        int32_t rest;
        int32_t scene;
    };
    const Case cases[] = {{1, SceneGameOver::kId}, {2, SceneStageClear::kId}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rest);
        Machine machine;
        auto form = std::make_unique<TForm1>(machine.platform, "./", std::vector<std::string>{});
        ASSERT_TRUE(form->media.MediaDevices.CreateDisplay(false));
        form->media.MediaDevices.beepMode = true;
        form->session.stageNo = 1;
        form->stages.StageBlockTable.x[1][0] = 96;
        form->stages.StageBlockTable.y[1][0] = 96;
        form->stages.StageBlockTable.type[1][0] = 10;
        form->stages.StageBlockTable.count[1] = 1;
        form->stages.StageEntityTable.count[1] = 2;
        form->session.Player.x = 100;
        form->session.Player.y = 100;
        form->session.Player.flying = true;
        form->session.Player.rest = c.rest;
        form->scene = ScenePlay::kId;
        form->RunScene();
        EXPECT_EQ(form->scene, c.scene);
        EXPECT_EQ(form->session.Player.rest, c.rest - 1);
        EXPECT_EQ(machine.screen.presents, 1);
    }
}

namespace fs = std::filesystem;

// A working folder of its own for stage.dat; the test's own folder comes back at the end.
class StageFolder {
  public:
    StageFolder() : working_(folder_.dir()) {}
    fs::path Write(const std::string& name, const std::string& text) {
        testing_support::WriteBytes(folder_.dir() / name, text);
        return folder_.dir() / name;
    }

  private:
    testing_support::TempDir folder_{"zarp-load"};
    testing_support::WorkingFolder working_;
};

// `total` slots: each playable one starts at (30 + slot, 40) with `slot` shots, no blocks.
std::string SetText(int total, const std::string& author) {
    testing_support::StageLayout layout;
    layout.author = author;
    for (int slot = 1; slot < total; ++slot) {
        testing_support::StageLayout::Stage stage;
        stage.startX = 30 + slot;
        stage.startY = 40;
        stage.rest = slot;
        layout.stages.push_back(stage);
    }
    return layout.Text();
}

TEST(LoadStages, BuiltInSetHasSeventeenSlotsAUserSetWhatItSays) {
    Machine machine;
    StageFolder folder;
    TForm1 form(machine.platform, "./", {});
    // stage.dat says 5, yet the built-in set always reads 17 slots.
    folder.Write("stage.dat", SetText(17, "").replace(0, 2, "5"));
    form.session.userStageMode = false;
    LoadStages(form.stages, form.session, form);
    EXPECT_EQ(form.stages.stageTotal, 17);
    EXPECT_FALSE(form.closing);
    EXPECT_EQ(form.stages.StageEntityTable.x[16][0], 46);

    form.session.userStageMode = true;
    form.session.userStageFile = folder.Write("mine.zrp", SetText(3, "abc")).string();
    LoadStages(form.stages, form.session, form);
    EXPECT_EQ(form.stages.stageTotal, 3);
    EXPECT_EQ(form.stages.stageAuthor, "abc");
    EXPECT_TRUE(machine.dialogs.boxes.empty());
}

TEST(LoadStages, AFileThatCannotBeLoadedIsNamedThenTheWindowCloses) {
    struct Case {
        bool userSet;
        const char* file;  // written when not empty
        const char* text;
    };
    const Case cases[] = {
        {false, nullptr, ""}, {true, "gone.zrp", nullptr}, {true, "bad.zrp", "2\nx\n1\n2\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "stage.dat");
        Machine machine;
        StageFolder folder;
        TForm1 form(machine.platform, "./", {});
        form.session.userStageMode = c.userSet;
        const std::string name = c.file ? c.file : "stage.dat";
        form.session.userStageFile = name;
        if (c.text) folder.Write(name, c.text);
        LoadStages(form.stages, form.session, form);
        EXPECT_TRUE(form.closing);
        ASSERT_EQ(machine.dialogs.boxes.size(), 1u);
        EXPECT_EQ(machine.dialogs.boxes[0].rfind("Zarpane|", 0), 0u);
        EXPECT_NE(machine.dialogs.boxes[0].find(name), std::string::npos);
    }
}

TEST(LoadStages, ATestPlayStageMustBeAPlayableStageOfTheFile) {
    struct Case {
        int32_t launchStage, stageTotal;
        bool ok;
    };
    const Case cases[] = {{0, 0, true}, {1, 2, true},  {2, 2, false}, {-1, 5, false},
                          {4, 5, true}, {5, 5, false}, {1, 1, false}, {20, 21, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.launchStage << " of " << c.stageTotal);
        Machine machine;
        TForm1 form(machine.platform, "./", {});
        form.session.launchStage = c.launchStage;
        form.stages.stageTotal = c.stageTotal;
        form.session.userStageFile = "/run/x/$$$zrp$$$.tmp";
        EXPECT_EQ(CheckLaunchStage(form.stages, form.session, form), c.ok);
        EXPECT_EQ(form.closing, !c.ok);
        EXPECT_EQ(machine.dialogs.boxes.size(), c.ok ? 0u : 1u);
    }
    // After a failed load the refusal is not repeated.
    Machine machine;
    TForm1 form(machine.platform, "./", {});
    form.session.launchStage = 3;
    form.Close();
    EXPECT_FALSE(CheckLaunchStage(form.stages, form.session, form));
    EXPECT_TRUE(machine.dialogs.boxes.empty());
}

}  // namespace
}  // namespace zarp
