#include "game/play/SceneStageClear.h"

#include <string>

#include "game/media/Media.h"
#include "game/media/SheetCells.h"
#include "game/play/Hud.h"
#include "game/play/Physics.h"
#include "game/play/SceneStageStart.h"
#include "game/play/StageSet.h"
#include "game/scenes/SceneEnding.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

void SceneStageClear::Enter() {
    phase = 0;
    wipeStep = 1;
    windowCounter = 0;
    clearSoundPlayed = false;
}

void SceneStageClear::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    Session& session = c.session;
    Player& p = session.Player;
    const Surface* cwin = media.cwinSheet.get();

    clearLatch.ClearIfUp(devices.IsPressed(ActA));
    if (!clearSoundPlayed) {
        devices.PlayEffect("clear.wav", 0);
        clearSoundPlayed = true;
    }
    media.DrawTextScaled(80, 80, "CLEAR!!", 3);

    // The window opens over the field as it was when the goal was touched: a checkerboard of
    // 30 x 7 cells, one colour growing from the left, then the other from the top.
    if (phase == 0) {
        if (wipeStep == 1) {
            DrawHud(media, session);
            DrawCoins(media, c.stages, session, c.field);
            devices.DrawSprite(Trunc(p.x), Trunc(p.y), cell::kBall, media.playerSheet.get());
        }
        for (int32_t col = 0; col <= 29; ++col) {
            for (int32_t r = 0; r <= 6; ++r) {
                if (col % 2 == r % 2) {
                    devices.DrawSprite(80 + 16 * col, 160 + 16 * r, {0, 0, wipeStep, 16}, cwin);
                }
            }
        }
        wipeStep += 1;
        if (wipeStep == 17) {
            wipeStep = 1;
            phase = 1;
        }
    } else if (phase == 1) {
        for (int32_t col = 0; col <= 29; ++col) {
            for (int32_t r = 0; r <= 6; ++r) {
                if ((col + 1) % 2 == r % 2) {
                    devices.DrawSprite(80 + 16 * col, 160 + 16 * r, {0, 0, 16, wipeStep}, cwin);
                }
            }
        }
        wipeStep += 1;
        if (wipeStep == 17) {
            wipeStep = 1;
            phase = 2;
        }
    } else {
        const int32_t n = windowCounter;
        devices.DrawSprite(80, 160, cell::kClearWindow, cwin);
        if (n > 30) {
            if (n == 31) {
                p.score = WrapAdd(p.score, int64_t{500} * p.maxHit);
                devices.PlayEffect("shya.wav", 0);
            }
            media.DrawText(90, 170, "MaxHit Bonus:" + std::to_string(p.maxHit) + "x 500");
        }
        if (n > 60) {
            if (n == 61) {
                p.score = WrapAdd(p.score, int64_t{800} * p.rest);
                devices.PlayEffect("shya.wav", 0);
            }
            media.DrawText(90, 220, " Rest  Bonus:" + std::to_string(p.rest) + "x 800");
        }
        if (n > 90) media.DrawText(50, 400, "Let&s go to Next Stage!!");
        if (n < 91) windowCounter += 1;
        // The status line shows the score rising with each bonus.
        DrawHud(media, session);

        if (windowCounter > 90 && clearLatch.Open() && devices.IsPressed(ActA)) {
            session.stageNo += 1;
            windowCounter = 0;
            wipeStep = 1;
            // Leaving in this same frame: after the last stage comes the ending; a test play
            // started on one stage ends the program here.
            media.WipeScreen();
            c.shell.ChangeScene(session.stageNo == c.stages.stageTotal ? SceneEnding::kId
                                                                       : SceneStageStart::kId);
            if (session.TestPlay()) c.shell.Close();
            phase = 0;
            clearSoundPlayed = false;
            clearLatch.Set();
        }
    }
    devices.Present();
}

}  // namespace zarp
