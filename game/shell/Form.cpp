#include "game/shell/Form.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <optional>

#include "common/paths/Paths.h"
#include "common/profile/Profile.h"
#include "game/media/Texts.h"
#include "game/play/LoadStages.h"
#include "game/play/Physics.h"
#include "game/shell/Arguments.h"

namespace zarp {

namespace {

constexpr uint32_t kFrameMs = 16;
// A stall longer than this many frames (a suspended laptop, a dragged window) restarts the
// schedule from now instead of running every missed frame back to back.
constexpr uint32_t kMaxCatchUpFrames = 10;

constexpr const char* kCaption = "Zarpane";

bool EndsWithZrp(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".zrp";
}

// The order of the platform's file listing: names compare with ASCII letters folded to small
// ones, and names that are then equal ("A.zrp", "a.zrp") by their bytes.
bool ListedBefore(const std::string& a, const std::string& b) {
    const auto folded = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a')
                                    : static_cast<unsigned char>(c);
    };
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return folded(x) == folded(y); });
    if (mismatch.first != a.end() && mismatch.second != b.end()) {
        return folded(*mismatch.first) < folded(*mismatch.second);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

// Regular files named *.zrp in the working folder, in the order of the platform's listing.
std::vector<std::string> ListUserStageFiles() {
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("."), closedir);
    if (!dir) return names;
    while (dirent* entry = readdir(dir.get())) {
        std::string name = entry->d_name;
        struct stat info {};
        if (EndsWithZrp(name) && stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), ListedBefore);
    return names;
}

}  // namespace

TForm1::TForm1(platform::Platform& platform, std::string exeDir, std::vector<std::string> arguments)
    : platform(platform),
      arguments(std::move(arguments)),
      MediaDevices(platform, random, exeDir),
      MediaPlayer1(platform.music),
      exeDir(std::move(exeDir)) {}

TForm1::~TForm1() = default;

bool TForm1::FormCreate() {
    // The generator is seeded once; every later random number comes from it.
    random.Seed(fixedSeed.value_or(static_cast<uint32_t>(std::time(nullptr))));

    // Command line.
    LaunchOptions options = ParseLaunchArguments(arguments);
    launchStage = options.launchStage;
    fullScreenRequest = options.fullScreenRequest;
    MediaDevices.beepMode = options.beepMode;

    // Ranking from zarp.dat next to the program.
    {
        IniFile profile;
        std::string error;
        // A file that cannot be read is not written over at the end either: what it holds may
        // be a ranking that another run or the player still wants.
        const bool readable = ReadProfile(exeDir + "zarp.dat", profile, &error);
        if (!readable) {
            std::fprintf(stderr,
                         "zarp: %s; the ranking starts from its defaults and is not saved\n",
                         error.c_str());
        }
        ReadRanking(profile, rankScore, rankStage, rankName);
        rankingWhole = readable;
    }

    // User stage list.
    std::vector<std::string> files = ListUserStageFiles();
    int32_t n = static_cast<int32_t>(std::min<size_t>(files.size(), kUserStageListSize));
    for (int32_t i = 0; i < n; ++i) {
        userStageFiles[i] = files[i];
        std::string label = files[i].substr(0, files[i].size() - 4);
        label.resize(25, ' ');
        userStageLabels[i] = label;
    }
    userStageCount = n;
    if (userStageCount > kUserStagesShown) {
        platform.dialogs.MessageBox(kCaption, text::kTooManySets, platform::Buttons::Ok,
                                    platform::Icon::None);
        userStageCount = kUserStagesShown;
    }

    // Sound, display, palette: a failure ends the program at once.
    if (!MediaDevices.InitSound()) {
        platform::Answer answer = platform.dialogs.MessageBox(
            text::kQuestion, text::kNoSound, platform::Buttons::YesNo, platform::Icon::Question);
        if (answer != platform::Answer::Yes) {
            exitStatus = -1;
            return false;
        }
        MediaDevices.beepMode = true;
    }
    if (!MediaDevices.CreateDisplay(fullScreenRequest)) {
        platform.dialogs.MessageBox(kCaption, text::kNoDisplay, platform::Buttons::Ok,
                                    platform::Icon::None);
        exitStatus = -1;
        return false;
    }
    if (!MediaDevices.LoadPalette("palette.dat")) {
        platform.dialogs.MessageBox(kCaption, text::kNoPalette, platform::Buttons::Ok,
                                    platform::Icon::None);
        exitStatus = -1;
        return false;
    }

    // Blank both buffers and drop key presses remembered from before the start.
    for (int round = 0; round < 4; ++round) {
        MediaDevices.Present();
        MediaDevices.ClearBackBuffer();
        for (int32_t action = ActLeft; action <= ActB; ++action)
            MediaDevices.IsPressed(action);
    }

    // A hidden-start key still held from the launch delays the start until it is released.
    while (platform.keyboard.AsyncKeyState(HiddenStartKey) && !closing) {
        ProcessMessages();
        platform.clock.SleepUntil(platform.clock.Ticks() + 1);
    }

    if (MediaDevices.fullScreen) platform.screen.ShowCursor(false);

    playerSheet = MediaDevices.LoadSheet("player");
    coinSheet = MediaDevices.LoadSheet("coin");
    blockSheet = MediaDevices.LoadSheet("block");
    fontSheet = MediaDevices.LoadSheet("Font");
    titleSheet = MediaDevices.LoadSheet("title");
    cwinSheet = MediaDevices.LoadSheet("cwin");
    backgroundSurface = MediaDevices.CreateSurface(640, 480);

    userStageMode = false;
    if (launchStage == 0) {
        scene = SceneOpening::kId;
    } else {
        // A test play started by the editor on one stage of its test file.
        userStageMode = true;
        std::string error;
        if (!TestPlayFile(userStageFile, &error)) {
            platform.dialogs.MessageBox(kCaption, error, platform::Buttons::Ok,
                                        platform::Icon::Error);
            Close();
        } else {
            LoadStages();
            CheckLaunchStage(*this);
        }
        stageNo = launchStage;
        scene = SceneStageStart::kId;
        Player.score = 0;
        Player.credit = 9;
    }

    MediaDevices.LoadPalette("palette.dat");

    musicRepeat = false;
    MediaPlayer1.FileName = exeDir + "bgm00.mid";
    MediaPlayer1.Open();
    MediaPlayer1.SetWait(false);
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
    switch (scene) {
        case SceneStageStart::kId:
            stageStart.Frame(*this);
            break;
        case ScenePlay::kId:
            play.Frame(*this);
            break;
        case SceneStageClear::kId:
            stageClear.Frame(*this);
            break;
        case SceneGameOver::kId:
            gameOver.Frame(*this);
            break;
        case SceneEnding::kId:
            ending.Frame(*this);
            break;
        case SceneTitle::kId:
            title.Frame(*this);
            break;
        case SceneOpening::kId:
            opening.Frame(*this);
            break;
        case SceneRanking::kViewId:
            ranking.RankingFrame(*this, false);
            break;
        case SceneRanking::kEntryId:
            ranking.RankingFrame(*this, true);
            break;
        case SceneUserStageSelect::kId:
            userStageSelect.Frame(*this);
            break;
        case SceneQuit:
            Close();
            break;
        default:
            break;  // an unknown scene runs nothing; only the frame wait runs
    }
}

void TForm1::FormDestroy() {
    playerSheet.reset();
    coinSheet.reset();
    blockSheet.reset();
    fontSheet.reset();
    titleSheet.reset();
    cwinSheet.reset();
    backgroundSurface.reset();

    // The ranking is written at every normal shutdown, keeping every other section of the file.
    if (!rankingWhole) return;
    std::string error;
    bool written = UpdateProfile(
        exeDir + "zarp.dat",
        [this](IniFile& profile) { WriteRanking(profile, rankScore, rankStage, rankName); },
        &error);
    if (!written) std::fprintf(stderr, "zarp: the ranking was not saved: %s\n", error.c_str());
}

void TForm1::FormKeyDown(int key) {
    using namespace platform;
    if (key == vk::F9) Close();
    if (key == vk::Escape && scene == SceneTitle::kId) Close();
    if (key == vk::F6 &&
        (scene == ScenePlay::kId || scene == SceneStageClear::kId || scene == SceneGameOver::kId) &&
        Player.flying) {
        // Abandon the shot: it costs one try and the ball goes back to the start.
        Player.rest = WrapAdd(Player.rest, -1);
        if (Player.rest == 0) scene = SceneGameOver::kId;
        musicRepeat = false;
        MediaPlayer1.Stop();
        // The ball goes back to the stage's start with its start angle.
        const StageStart start = StageStartOf(SlotView(StageBlockTable, StageEntityTable, stageNo));
        Player.x = start.x;
        Player.y = start.y;
        Player.flying = false;
        Player.needleTime = 0;
        Player.angle = start.startAngle;
    }
    if ((key == vk::F5 || key == vk::Escape) && scene == ScenePlay::kId) {
        musicRepeat = false;
        MediaPlayer1.Stop();
        WipeScreen();
        scene = SceneTitle::kId;
        if (launchStage != 0) Close();
    }
}

void TForm1::MediaPlayer1Notify() {
    if (musicRepeat) {
        MediaPlayer1.Play();
        MediaPlayer1.SetNotify(true);
    }
}

void TForm1::ProcessMessages() {
    platform.messages.Pump(*this);
}

void TForm1::DrawText(int32_t x, int32_t y, const std::string& text) {
    zarp::DrawText(MediaDevices, fontSheet.get(), x, y, text);
}

void TForm1::DrawTextScaled(int32_t x, int32_t y, const std::string& text, double scale) {
    zarp::DrawTextScaled(MediaDevices, fontSheet.get(), x, y, text, scale);
}

void TForm1::WipeScreen() {
    // Two curtains of alternating dark columns: the top one moves down, the bottom one up.
    for (int32_t s = 0; s <= 480; s += 8) {
        for (int32_t r = 0; r < 8; ++r) {
            for (int32_t k = 0; k < 16; ++k) {
                MediaDevices.DrawSprite(40 * k, s + r, Rect{0, 0, 40, 1}, cwinSheet.get());
            }
        }
        for (int32_t r = 0; r < 8; ++r) {
            for (int32_t k = 0; k < 16; ++k) {
                MediaDevices.DrawSprite(40 * k, 480 - r - s, Rect{1, 0, 41, 1}, cwinSheet.get());
            }
        }
        Pace(24);
        MediaDevices.Present();
        ProcessMessages();
    }
}

void TForm1::Pace(uint32_t ms) {
    platform::Clock& clock = platform.clock;
    if (platform.keyboard.AsyncKeyState(platform::vk::Shift)) return;
    // Measured from the end of the previous Pace, so work in between counts toward the wait.
    // The comparison is a plain unsigned one: a due time past the counter's wrap is already
    // reached. The end is read again after the messages, since a wipe run by a key handler
    // paces too and moves it.
    const uint32_t start = clock.Ticks();
    // Should the counter wrap to zero during the wait, it would not reach the due time again
    // for 49 days: the wait is over instead.
    const auto waiting = [&](uint32_t now) { return now < lastPaceTick + ms && now >= start; };
    for (uint32_t now = start; waiting(now); now = clock.Ticks()) {
        ProcessMessages();
        now = clock.Ticks();
        if (waiting(now)) clock.SleepUntil(now + std::min<uint32_t>(lastPaceTick + ms - now, 4));
    }
    lastPaceTick = clock.Ticks();
}

void TForm1::StartMusic(const std::string& name) {
    MediaPlayer1.Stop();
    MediaPlayer1.Close();
    MediaPlayer1.FileName = exeDir + name;
    MediaPlayer1.Open();
    MediaPlayer1.Play();
}

void TForm1::StopMusic() {
    musicRepeat = false;
    MediaPlayer1.Stop();
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
        form = std::make_unique<TForm1>(speaking, exeDir, gameArguments);
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
