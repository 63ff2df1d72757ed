// The game's main form: every piece of game state, the start-up, the frame loop and shutdown.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/language/Language.h"
#include "common/stage/Stage.h"
#include "game/media/MediaDevices.h"
#include "game/media/MediaPlayer.h"
#include "game/media/Random.h"
#include "game/platform/Platform.h"
#include "game/play/Player.h"
#include "game/play/ScenePlay.h"
#include "game/play/SceneStageClear.h"
#include "game/play/SceneStageStart.h"
#include "game/scenes/SceneEnding.h"
#include "game/scenes/SceneGameOver.h"
#include "game/scenes/SceneOpening.h"
#include "game/scenes/SceneRanking.h"
#include "game/scenes/SceneTitle.h"
#include "game/scenes/SceneUserStageSelect.h"

namespace zarp {

inline constexpr int32_t SceneQuit = 99;
inline constexpr int32_t kRankingEntries = 11;  // places 1 to 10; entry 10 is never used
inline constexpr int32_t kUserStageListSize = 100;
inline constexpr int32_t kUserStagesShown = 18;

// The letter key that arms the hidden start at stage 8 ("H" for hidden).
inline constexpr int HiddenStartKey = platform::vk::Letter('H');

class TForm1 : public platform::MessageSink {
  public:
    TForm1(platform::Platform& platform, std::string exeDir, std::vector<std::string> arguments);
    ~TForm1() override;

    platform::Platform& platform;
    std::vector<std::string> arguments;  // the command line, program name excluded

    Random random;  // declared before MediaDevices, which keeps a reference to it
    zarp::MediaDevices MediaDevices;
    MediaPlayer MediaPlayer1;

    // Surfaces, released at shutdown in this order.
    SurfacePtr playerSheet, coinSheet, blockSheet, fontSheet, titleSheet, cwinSheet,
        backgroundSurface;

    zarp::Player Player;
    GameBlockTable StageBlockTable;
    GameEntityTable StageEntityTable;
    std::array<uint8_t, kGameEntitiesPerSlot> coinPresent{};

    int32_t scene = 0;
    int32_t stageNo = 0;
    int32_t playerStartX = 0, playerStartY = 0;
    int32_t stageTotal = 0;
    bool userStageMode = false;
    bool musicRepeat = false;
    int32_t blinkTimer = 0, toggleBlockCount = 0;
    std::array<int32_t, kRankingEntries> rankScore{};
    std::array<int32_t, kRankingEntries> rankStage{};
    std::array<std::string, kRankingEntries> rankName;
    // The ranking was read from zarp.dat (or is the default table of a missing file), so the
    // shutdown may write it. Every change to it leaves it whole (a new place goes in at once).
    bool rankingWhole = false;
    std::string userStageFile;
    std::string stageAuthor;
    std::array<std::string, kUserStageListSize> userStageFiles;
    std::array<std::string, kUserStageListSize> userStageLabels;
    int32_t userStageCount = 0;
    int32_t launchStage = 0;
    std::string exeDir;  // with trailing separator
    bool fullScreenRequest = true;
    std::optional<uint32_t> fixedSeed;  // seeds the generator instead of the time (headless runs)

    // Frame clock of AppIdle and the end of the previous Pace.
    bool frameClockStarted = false;
    uint32_t lastFrameTime = 0;
    uint32_t lastPaceTick = 0;

    // The main window was asked to close; the loop stops after the current frame.
    bool closing = false;
    int32_t exitStatus = 0;

    // Scenes with their between-frame state.
    SceneStageStart stageStart;
    ScenePlay play;
    SceneStageClear stageClear;
    SceneGameOver gameOver;
    SceneEnding ending;
    SceneTitle title;
    SceneOpening opening;
    SceneRanking ranking;
    SceneUserStageSelect userStageSelect;

    // Start-up; false when the program must end at once with exitStatus (-1).
    bool FormCreate();
    // One frame of the current scene, then the wait to the next 16 ms slot.
    void AppIdle();
    void FormDestroy();
    void FormKeyDown(int key);
    void MediaPlayer1Notify();
    void Close() { closing = true; }

    // Lets the platform deliver pending messages to the form.
    void ProcessMessages();

    void DrawText(int32_t x, int32_t y, const std::string& text);
    void DrawTextScaled(int32_t x, int32_t y, const std::string& text, double scale);
    void WipeScreen();
    void Pace(uint32_t ms);
    void DrawHud();
    void DrawCoins();
    void LoadStages();

    // Start piece: Stop, Close, file name := exeDir + name, Open, Play.
    void StartMusic(const std::string& name);
    // Stop music: musicRepeat := false, then Stop.
    void StopMusic();

    // MessageSink.
    void KeyDown(int virtualKey) override { FormKeyDown(virtualKey); }
    void MusicNotify() override { MediaPlayer1Notify(); }
    void CloseRequest() override { Close(); }

  private:
    void RunScene();
};

// Builds the form, runs the frame loop until the main window closes, and returns the exit
// status (-1 for the early exits). The hooks let the headless driver act around each frame.
// An exception that reaches it is shown in a message box with its text; the program then
// shuts down as far as it can and ends with exit status 0.
struct FrameHooks {
    virtual ~FrameHooks() = default;
    virtual void BeforeCreate(TForm1& /*form*/) {}
    virtual void BeforeFrame(TForm1& /*form*/, int64_t /*frame*/) {}
    virtual void AfterFrame(TForm1& /*form*/, int64_t /*frame*/) {}
    virtual void AtExit(TForm1& /*form*/, int32_t /*exitStatus*/) {}
};
// Runs the game to its end and returns the exit status. `--lang ja|en` among the arguments
// chooses the language of the message boxes; without it, `language`.
int32_t RunGame(platform::Platform& platform, const std::string& exeDir,
                const std::vector<std::string>& arguments, FrameHooks* hooks,
                Language language = Language::japanese);

}  // namespace zarp
