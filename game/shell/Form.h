// The game's main form: it owns the game's state, grouped by what it is, and the scenes; it
// starts the game up, runs the frame loop, dispatches each frame to the current scene, handles
// the keys and the music's end between frames, and shuts the game down.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/language/Language.h"
#include "common/paths/Paths.h"
#include "game/media/Media.h"
#include "game/media/Random.h"
#include "game/platform/Platform.h"
#include "game/play/PlayField.h"
#include "game/play/ScenePlay.h"
#include "game/play/SceneStageClear.h"
#include "game/play/SceneStageStart.h"
#include "game/play/StageSet.h"
#include "game/scenes/SceneEnding.h"
#include "game/scenes/SceneGameOver.h"
#include "game/scenes/SceneOpening.h"
#include "game/scenes/SceneRanking.h"
#include "game/scenes/SceneTitle.h"
#include "game/scenes/SceneUserStageSelect.h"
#include "game/shell/Ranking.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"
#include "game/shell/UserStageList.h"

namespace zarp {

// Where the game's files are, all decided here. Portable (Beside a program folder): zarp.dat, the
// sound effects and the music in the program's folder; stage.dat, palette.dat and the user's
// *.zrp sets in the working folder, named as they stand (so messages name them as the player
// knows them). Installed (see Layout): every data file in the installation's data folder, zarp.dat
// and the player's own sets in the user's data folder, the working folder's sets listed first.
struct GameFiles {
    std::string programFolder;  // with trailing separator: the sound effects and the music
    std::string ranking;        // zarp.dat; empty when an installed game finds no home folder
    std::string palette = "palette.dat";
    std::string builtInStages = "stage.dat";
    std::string userSetFolder = ".";
    std::string userSetExtension = ".zrp";
    // Installed: the player's own sets, listed when the working folder holds none.
    std::string playerSetFolder;
    // The layout the files come from; an installed game makes the player's folders at start-up.
    Layout layout;

    static GameFiles Beside(const std::string& exeDir);
    static GameFiles Of(const Layout& layout);
};

// Every scene with its between-frame state; each keeps its own and resets it when it hands
// over.
struct Scenes {
    SceneStageStart stageStart;
    ScenePlay play;
    SceneStageClear stageClear;
    SceneGameOver gameOver;
    SceneEnding ending;
    SceneTitle title;
    SceneOpening opening;
    SceneRanking ranking;
    SceneUserStageSelect userStageSelect;
};

class TForm1 : public platform::MessageSink, public Shell {
  public:
    TForm1(platform::Platform& platform, std::string exeDir, std::vector<std::string> arguments);
    TForm1(platform::Platform& platform, GameFiles files, std::vector<std::string> arguments);
    ~TForm1();
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    platform::Platform& platform;
    std::vector<std::string> arguments;  // the command line, program name excluded
    std::string exeDir;  // the program's folder (an installed game's data folder), with separator
    GameFiles files;

    // The game's state.
    Random random;  // declared before media, whose devices keep a reference to it
    Media media;
    Session session;
    StageSet stages;
    PlayField field;
    Ranking ranking;
    UserStageList userStages;

    int32_t scene = 0;  // the scene the next frame runs
    Scenes scenes;

    bool fullScreenRequest = true;
    std::optional<uint32_t> fixedSeed;  // seeds the generator instead of the time (headless runs)

    // Frame clock of AppIdle.
    bool frameClockStarted = false;
    uint32_t lastFrameTime = 0;

    // The main window was asked to close; the loop stops after the current frame.
    bool closing = false;
    int32_t exitStatus = 0;

    // Start-up; false when the program must end at once with exitStatus (-1).
    bool FormCreate();
    // One frame of the current scene, then the wait to the next 16 ms slot.
    void AppIdle();
    // One frame of the current scene, without the wait.
    void RunScene();
    void FormDestroy();
    // The user stage list from the sets of the working folder (start-up; the browser build also
    // when the player adds sets).
    void ListUserStages();
    void FormKeyDown(int key);
    void MediaPlayer1Notify();

    // Shell.
    void ChangeScene(int32_t next) override;
    void Close() override { closing = true; }
    bool Closing() const override { return closing; }
    void CloseWithMessage(const std::string& text) override;
    void ProcessMessages() override;
    void WaitForKeyUp(int key) override;

    // MessageSink.
    void KeyDown(int virtualKey) override { FormKeyDown(virtualKey); }
    void MusicNotify() override { MediaPlayer1Notify(); }
    void CloseRequest() override { Close(); }
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
int32_t RunGame(platform::Platform& platform, const Layout& layout,
                const std::vector<std::string>& arguments, FrameHooks* hooks,
                Language language = Language::japanese);
// The same, portable from `exeDir`.
int32_t RunGame(platform::Platform& platform, const std::string& exeDir,
                const std::vector<std::string>& arguments, FrameHooks* hooks,
                Language language = Language::japanese);

}  // namespace zarp
