#include "game/scenes/SceneTitle.h"

#include "game/scenes/Credits.h"
#include "game/shell/Form.h"

namespace zarp {

namespace {
constexpr Rect kTitlePicture{0, 0, 576, 110};
constexpr Rect kBackgroundTile{286, 16, 318, 48};
constexpr Rect kCursorBar{0, 17, 286, 50};
constexpr Rect kSmallBall{16, 0, 32, 16};

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

void SceneTitle::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    platform::Keyboard& keyboard = form.platform.keyboard;

    if (!titleReady) {
        // A hidden start key still held from before must not arm this visit: wait for its
        // release. Messages and the clock keep moving so a close request ends the wait.
        while (keyboard.AsyncKeyState(HiddenStartKey) && !form.closing) {
            form.ProcessMessages();
            form.platform.clock.SleepUntil(form.platform.clock.Ticks() + 1);
        }
        form.musicRepeat = true;
        form.StartMusic("bgm01.mid");
        titleReady = true;
    }

    if (!media.IsPressed(ActA)) titleLatch = false;
    if (keyboard.AsyncKeyState(HiddenStartKey)) stage8Armed = true;

    // Tiles drifting one pixel up and to the left per frame; they cover the whole screen.
    for (int32_t i = -1; i <= 20; ++i) {
        for (int32_t j = -1; j <= 15; ++j) {
            media.DrawSprite(32 * i + tileScrollX, 32 * j + tileScrollY, kBackgroundTile,
                             form.cwinSheet.get());
        }
    }
    if (--tileScrollX == 0) tileScrollX = 32;
    if (--tileScrollY == 0) tileScrollY = 32;

    form.DrawTextScaled(320, 190, "Zarpane", 0.5);
    media.DrawSprite(32, 50, kTitlePicture, form.titleSheet.get());
    form.DrawTextScaled(0, 460, kCopyrightLine, 0.5);
    if (stage8Armed) form.DrawTextScaled(0, 0, "You can start to STAGE8", 0.5);

    if (cursorSpeed == 0) {
        // Up and down together cancel out: the bar and the cursor always move as one.
        const bool up = media.IsPressed(ActUp);
        const bool down = media.IsPressed(ActDown);
        if (up && !down && menuCursor > 0) {
            cursorSpeed = -7;
            --menuCursor;
            media.PlayEffect("trub.wav", 0);
        }
        if (down && !up && menuCursor < kItems - 1) {
            cursorSpeed = 7;
            ++menuCursor;
            media.PlayEffect("trub.wav", 0);
        }
    } else {
        // 7 + 6 + ... + 1 = 28 rows, one item, in 7 frames.
        cursorOffset += cursorSpeed;
        cursorSpeed += cursorSpeed > 0 ? -1 : 1;
    }

    media.DrawSprite(185, 295 + cursorOffset, kCursorBar, form.cwinSheet.get());
    for (const MenuItem& item : kMenu)
        form.DrawText(item.x, item.y, item.text);
    media.DrawSprite(170, 302 + cursorOffset, kSmallBall, form.playerSheet.get());
    media.DrawSprite(469, 302 + cursorOffset, kSmallBall, form.playerSheet.get());

    if (cursorSpeed == 0 && !titleLatch && media.IsPressed(ActA)) {
        titleLatch = true;
        titleReady = false;
        switch (menuCursor) {
            case kStartGame:
            case kUserStages:
                form.userStageMode = menuCursor == kUserStages;
                form.scene = form.userStageMode ? SceneUserStageSelect::kId : SceneStageStart::kId;
                form.stageNo = 1;
                form.WipeScreen();
                if (form.scene == SceneStageStart::kId) form.LoadStages();
                form.Player.score = 0;
                form.Player.credit = 5;
                if (!form.userStageMode) {
                    // The user stage selection keeps the title's music until a file is chosen.
                    form.musicRepeat = false;
                    form.StartMusic("bgm00.mid");
                    if (stage8Armed) {
                        form.stageNo = 8;
                        form.Player.score = 10000;
                    }
                }
                break;
            case kRanking:
                form.StopMusic();
                form.WipeScreen();
                media.ClearBackBuffer();
                form.scene = SceneRanking::kViewId;
                break;
            case kExit:
                form.WipeScreen();  // the music plays on until the program ends
                form.scene = SceneQuit;
                break;
            default:
                break;
        }
        menuCursor = 0;
        cursorSpeed = 0;
        cursorOffset = 0;
        stage8Armed = false;
    }

    form.Pace(16);
    media.Present();
}

}  // namespace zarp
