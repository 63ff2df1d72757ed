#include "game/scenes/SceneTitle.h"

#include "game/media/Media.h"
#include "game/play/SceneStageStart.h"
#include "game/play/StageSet.h"
#include "game/scenes/Credits.h"
#include "game/scenes/SceneRanking.h"
#include "game/scenes/SceneUserStageSelect.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

namespace {
struct MenuItem {
    const char* text;
    int32_t x, y;
};
constexpr MenuItem kMenu[SceneTitle::kItems] = {
    {" START GAME", 190, 300},
    {"  RANKING", 202, 328},
    {"USER&S STAGE", 190, 356},
    {"    EXIT", 190, 384},
};
constexpr int32_t kStartGame = 0, kRanking = 1, kUserStages = 2, kExit = 3;
}  // namespace

void SceneTitle::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    platform::Keyboard& keyboard = devices.platform.keyboard;

    if (!titleReady) {
        // A hidden start key still held from before must not arm this visit: wait for its
        // release. Messages and the clock keep moving so a close request ends the wait.
        c.shell.WaitForKeyUp(HiddenStartKey);
        media.StartMusic("bgm01.mid", /*repeat=*/true);
        titleReady = true;
    }

    titleLatch.ClearIfUp(devices.IsPressed(ActA));
    if (keyboard.AsyncKeyState(HiddenStartKey)) stage8Armed = true;

    tiles.Draw(devices, media.cwinSheet.get());
    tiles.Step();

    media.DrawTextScaled(320, 190, "Zarpane", 0.5);
    devices.DrawSprite(32, 50, cell::kTitlePicture, media.titleSheet.get());
    media.DrawTextScaled(0, 460, kCopyrightLine, 0.5);
    if (stage8Armed) media.DrawTextScaled(0, 0, "You can start to STAGE8", 0.5);

    if (cursorSpeed == 0) {
        // Up and down together cancel out: the bar and the cursor always move as one.
        const bool up = devices.IsPressed(ActUp);
        const bool down = devices.IsPressed(ActDown);
        if (up && !down && menuCursor > 0) {
            cursorSpeed = -7;
            --menuCursor;
            devices.PlayEffect("trub.wav", 0);
        }
        if (down && !up && menuCursor < kItems - 1) {
            cursorSpeed = 7;
            ++menuCursor;
            devices.PlayEffect("trub.wav", 0);
        }
    } else {
        // 7 + 6 + ... + 1 = 28 rows, one item, in 7 frames.
        cursorOffset += cursorSpeed;
        cursorSpeed += cursorSpeed > 0 ? -1 : 1;
    }

    devices.DrawSprite(185, 295 + cursorOffset, cell::kMenuBar, media.cwinSheet.get());
    for (const MenuItem& item : kMenu)
        media.DrawText(item.x, item.y, item.text);
    devices.DrawSprite(170, 302 + cursorOffset, cell::kAimMarker, media.playerSheet.get());
    devices.DrawSprite(469, 302 + cursorOffset, cell::kAimMarker, media.playerSheet.get());

    if (cursorSpeed == 0 && titleLatch.Open() && devices.IsPressed(ActA)) {
        titleLatch.Set();
        titleReady = false;
        Session& session = c.session;
        switch (menuCursor) {
            case kStartGame:
            case kUserStages: {
                // A new game, of the built-in stages or of a user set chosen next.
                session.userStageMode = menuCursor == kUserStages;
                c.shell.ChangeScene(session.userStageMode ? SceneUserStageSelect::kId
                                                          : SceneStageStart::kId);
                session.stageNo = 1;
                media.WipeScreen();
                if (!session.userStageMode) LoadStages(c.stages, session, c.shell);
                session.Player.score = 0;
                session.Player.credit = 5;
                if (!session.userStageMode) {
                    // The user stage selection keeps the title's music until a file is chosen.
                    media.StartMusic("bgm00.mid", /*repeat=*/false);
                    if (stage8Armed) {
                        session.stageNo = 8;
                        session.Player.score = 10000;
                    }
                }
                break;
            }
            case kRanking:
                media.StopMusic();
                media.WipeScreen();
                devices.ClearBackBuffer();
                c.shell.ChangeScene(SceneRanking::kViewId);
                break;
            case kExit:
                media.WipeScreen();  // the music plays on until the program ends
                c.shell.ChangeScene(SceneQuit);
                break;
            default:
                break;
        }
        menuCursor = 0;
        cursorSpeed = 0;
        cursorOffset = 0;
        stage8Armed = false;
    }

    media.Pace(16);
    devices.Present();
}

}  // namespace zarp
