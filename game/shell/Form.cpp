#include "game/shell/Form.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <optional>

#include "common/paths/Paths.h"
#include "game/media/Texts.h"
#include "game/play/Physics.h"
#include "game/shell/Arguments.h"

namespace zarp {

namespace {

constexpr uint32_t kFrameMs = 16;
// A stall longer than this many frames (a suspended laptop, a dragged window) restarts the
// schedule from now instead of running every missed frame back to back.
constexpr uint32_t kMaxCatchUpFrames = 10;

constexpr const char* kCaption = "Zarpane";

}  // namespace

GameFiles GameFiles::Beside(const std::string& exeDir) {
    return Of(PortableLayout(exeDir));
}

GameFiles GameFiles::Of(const Layout& layout) {
    GameFiles files;
    files.programFolder = layout.dataFolder;
    files.ranking = layout.settingsFile;
    files.palette = layout.startDataFolder + files.palette;
    files.builtInStages = layout.startDataFolder + files.builtInStages;
    files.playerSetFolder = layout.userStageFolder;
    files.layout = layout;
    return files;
}

TForm1::TForm1(platform::Platform& platform, std::string exeDir, std::vector<std::string> arguments)
    : TForm1(platform, GameFiles::Beside(exeDir), std::move(arguments)) {}

TForm1::TForm1(platform::Platform& platform, GameFiles files, std::vector<std::string> arguments)
    : platform(platform),
      arguments(std::move(arguments)),
      exeDir(files.programFolder),
      files(std::move(files)),
      media(platform, random, this->files.programFolder, this->files.palette, *this) {
    stages.builtInFile = this->files.builtInStages;
}

TForm1::~TForm1() = default;

bool TForm1::FormCreate() {
    MediaDevices& devices = media.MediaDevices;

    // The generator is seeded once; every later random number comes from it.
    random.Seed(fixedSeed.value_or(static_cast<uint32_t>(std::time(nullptr))));

    // Command line.
    const LaunchOptions options = ParseLaunchArguments(arguments);
    session.launchStage = options.launchStage;
    fullScreenRequest = options.fullScreenRequest;
    devices.beepMode = options.beepMode;

    // An installed game keeps zarp.dat and the player's sets in the user's data folder, made
    // (with the example sets) at the first start. Without it the game still runs.
    {
        std::string error;
        if (!PrepareUserFolders(files.layout, &error)) {
            std::fprintf(stderr, "zarp: %s\n", error.c_str());
        }
    }
    ranking.Load(files.ranking);

    ListUserStages();

    // Sound, display, palette: a failure ends the program at once.
    if (!devices.InitSound()) {
        platform::Answer answer = platform.dialogs.MessageBox(
            text::kQuestion, text::kNoSound, platform::Buttons::YesNo, platform::Icon::Question);
        if (answer != platform::Answer::Yes) {
            exitStatus = -1;
            return false;
        }
        devices.beepMode = true;
    }
    if (!devices.CreateDisplay(fullScreenRequest)) {
        platform.dialogs.MessageBox(kCaption, text::kNoDisplay, platform::Buttons::Ok,
                                    platform::Icon::None);
        exitStatus = -1;
        return false;
    }
    if (!devices.LoadPalette(files.palette)) {
        platform.dialogs.MessageBox(kCaption, text::kNoPalette, platform::Buttons::Ok,
                                    platform::Icon::None);
        exitStatus = -1;
        return false;
    }

    // Blank both buffers and drop key presses remembered from before the start.
    for (int round = 0; round < 4; ++round) {
        devices.Present();
        devices.ClearBackBuffer();
        for (int32_t action = ActLeft; action <= ActB; ++action)
            devices.IsPressed(action);
    }

    // A hidden-start key still held from the launch delays the start until it is released.
    WaitForKeyUp(HiddenStartKey);

    if (devices.fullScreen) platform.screen.ShowCursor(false);

    media.LoadSheets();

    session.userStageMode = false;
    if (!session.TestPlay()) {
        scene = SceneOpening::kId;
    } else {
        // A test play started by the editor on one stage of its test file.
        session.userStageMode = true;
        std::string error;
        if (!TestPlayFile(session.userStageFile, &error)) {
            CloseWithMessage(error);
        } else {
            LoadStages(stages, session, *this);
            CheckLaunchStage(stages, session, *this);
        }
        session.stageNo = session.launchStage;
        scene = SceneStageStart::kId;
        session.Player.score = 0;
        session.Player.credit = 9;
    }

    devices.LoadPalette(files.palette);

    // The first piece is opened but not played.
    media.musicRepeat = false;
    media.MediaPlayer1.FileName = files.programFolder + "bgm00.mid";
    media.MediaPlayer1.Open();
    media.MediaPlayer1.SetWait(false);
    return true;
}

void TForm1::AppIdle() {
    platform::Clock& clock = platform.clock;
    if (!frameClockStarted) {
        lastFrameTime = clock.Ticks();
        frameClockStarted = true;
    }

    RunScene();

    uint32_t late = clock.Ticks() - (lastFrameTime + kFrameMs);
    if (static_cast<int32_t>(late) > static_cast<int32_t>(kMaxCatchUpFrames * kFrameMs)) {
        lastFrameTime = clock.Ticks() - kFrameMs;
    }
    clock.WaitUntil(lastFrameTime + kFrameMs);
    lastFrameTime += kFrameMs;
}

void TForm1::RunScene() {
    // Each scene gets what it reads and writes, and the form as its shell.
    switch (scene) {
        case SceneStageStart::kId:
            scenes.stageStart.Frame({media, session, stages, field, *this});
            break;
        case ScenePlay::kId:
            scenes.play.Frame({media, session, stages, field, *this});
            break;
        case SceneStageClear::kId:
            scenes.stageClear.Frame({media, session, stages, field, *this});
            break;
        case SceneGameOver::kId:
            scenes.gameOver.Frame({media, session, stages, field, *this});
            break;
        case SceneEnding::kId:
            scenes.ending.Frame({media, random, session, stages, *this});
            break;
        case SceneTitle::kId:
            scenes.title.Frame({media, session, stages, *this});
            break;
        case SceneOpening::kId:
            scenes.opening.Frame({media, *this});
            break;
        case SceneRanking::kViewId:
            scenes.ranking.RankingFrame({media, random, ranking, session, *this}, false);
            break;
        case SceneRanking::kEntryId:
            scenes.ranking.RankingFrame({media, random, ranking, session, *this}, true);
            break;
        case SceneUserStageSelect::kId:
            scenes.userStageSelect.Frame({media, userStages, session, stages, *this});
            break;
        case SceneQuit:
            Close();
            break;
        default:
            break;  // an unknown scene runs nothing; only the frame wait runs
    }
}

void TForm1::ChangeScene(int32_t next) {
    // The one scene that begins afresh on every visit, however its last visit ended.
    if (next == SceneStageClear::kId && scene != next) scenes.stageClear.Enter();
    scene = next;
}

void TForm1::ListUserStages() {
    // More sets than can be shown are cut, with a word to the player.
    // The working folder's sets; an installed game with none there lists the player's own.
    std::vector<std::string> sets = ListFiles(files.userSetFolder, files.userSetExtension);
    if (sets.empty() && !files.playerSetFolder.empty()) {
        sets = ListFiles(files.playerSetFolder, files.userSetExtension);
        for (std::string& name : sets)
            name = files.playerSetFolder + "/" + name;
    }
    if (!userStages.Build(sets)) {
        platform.dialogs.MessageBox(kCaption, text::kTooManySets, platform::Buttons::Ok,
                                    platform::Icon::None);
    }
}

void TForm1::FormDestroy() {
    media.ReleaseSurfaces();
    // The ranking is written at every normal shutdown, keeping every other section of the file.
    ranking.Save(files.ranking);
}

void TForm1::FormKeyDown(int key) {
    using namespace platform;
    Player& player = session.Player;
    if (key == vk::F9) Close();
    if (key == vk::Escape && scene == SceneTitle::kId) Close();
    if (key == vk::F6 &&
        (scene == ScenePlay::kId || scene == SceneStageClear::kId || scene == SceneGameOver::kId) &&
        player.flying) {
        // Abandon the shot: it costs one try and the ball goes back to the start.
        player.rest = WrapAdd(player.rest, -1);
        if (player.rest == 0) ChangeScene(SceneGameOver::kId);
        media.StopMusic();
        // The ball goes back to the stage's start with its start angle.
        const StageStart start = StageStartOf(stages.Slot(session.stageNo));
        player.x = start.x;
        player.y = start.y;
        player.flying = false;
        player.needleTime = 0;
        player.angle = start.startAngle;
    }
    if ((key == vk::F5 || key == vk::Escape) && scene == ScenePlay::kId) {
        media.StopMusic();
        media.WipeScreen();
        ChangeScene(SceneTitle::kId);
        if (session.TestPlay()) Close();
    }
}

void TForm1::MediaPlayer1Notify() {
    if (media.musicRepeat) {
        media.MediaPlayer1.Play();
        media.MediaPlayer1.SetNotify(true);
    }
}

void TForm1::CloseWithMessage(const std::string& text) {
    platform.dialogs.MessageBox(kCaption, text, platform::Buttons::Ok, platform::Icon::Error);
    Close();
}

void TForm1::ProcessMessages() {
    platform.messages.Pump(*this);
}

void TForm1::WaitForKeyUp(int key) {
    while (platform.keyboard.AsyncKeyState(key) && !closing) {
        ProcessMessages();
        platform.clock.SleepUntil(platform.clock.Ticks() + 1);
    }
}

namespace {

void ShowEntryException(platform::Dialogs& dialogs, const std::string& text) {
    try {
        dialogs.MessageBox(kCaption, text, platform::Buttons::Ok, platform::Icon::Error);
    } catch (...) {
        std::fprintf(stderr, "zarp: %s\n", text.c_str());
    }
}

}  // namespace

int32_t RunGame(platform::Platform& platform, const std::string& exeDir,
                const std::vector<std::string>& arguments, FrameHooks* hooks, Language language) {
    return RunGame(platform, PortableLayout(exeDir), arguments, hooks, language);
}

int32_t RunGame(platform::Platform& platform, const Layout& layout,
                const std::vector<std::string>& arguments, FrameHooks* hooks, Language language) {
    FrameHooks none;
    if (!hooks) hooks = &none;
    // The rest of the command line is the game's own.
    std::vector<std::string> gameArguments = arguments;
    std::optional<Language> chosen;
    std::string languageError;
    if (!TakeLanguageOption(gameArguments, chosen, &languageError)) {
        std::fprintf(stderr, "zarp: %s\n", languageError.c_str());
    }
    TranslatedDialogs dialogs(platform.dialogs, chosen.value_or(language));
    platform::Platform speaking{platform.clock,    platform.messages, platform.keyboard,
                                platform.joystick, platform.screen,   dialogs,
                                platform.audio,    platform.music};
    std::unique_ptr<TForm1> form;
    bool destroying = false;
    try {
        form = std::make_unique<TForm1>(speaking, GameFiles::Of(layout), gameArguments);
        hooks->BeforeCreate(*form);
        if (!form->FormCreate()) {
            hooks->AtExit(*form, form->exitStatus);
            return form->exitStatus;
        }
        for (int64_t frame = 1;; ++frame) {
            hooks->BeforeFrame(*form, frame);
            form->ProcessMessages();
            if (form->closing) break;
            form->AppIdle();
            hooks->AfterFrame(*form, frame);
            if (form->closing) break;
        }
        destroying = true;
        form->FormDestroy();
        hooks->AtExit(*form, form->exitStatus);
        return form->exitStatus;
    } catch (const std::exception& exception) {
        ShowEntryException(dialogs, exception.what());
    } catch (...) {
        ShowEntryException(dialogs, "unknown exception");
    }
    // An exception that reaches the entry is shown and the program ends with exit status 0,
    // after the normal shutdown where it can still run: the ranking is saved when it was read.
    if (form) {
        try {
            if (!destroying) form->FormDestroy();
            hooks->AtExit(*form, 0);
        } catch (...) {
            std::fprintf(stderr, "zarp: another exception at shutdown\n");
        }
    }
    return 0;
}

}  // namespace zarp
