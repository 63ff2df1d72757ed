#include "game/play/SceneStageClear.h"

#include <string>

#include "game/play/Physics.h"
#include "game/shell/Form.h"

namespace zarp {

void SceneStageClear::Restart() {
    phase = 0;
    wipeStep = 1;
    windowCounter = 0;
    clearSoundPlayed = false;
}

void SceneStageClear::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    Player& p = form.Player;
    const Surface* cwin = form.cwinSheet.get();

    if (!media.IsPressed(ActA)) clearLatch = false;
    if (!clearSoundPlayed) {
        media.PlayEffect("clear.wav", 0);
        clearSoundPlayed = true;
    }
    form.DrawTextScaled(80, 80, "CLEAR!!", 3);

    // The window opens over the field as it was when the goal was touched: a checkerboard of
    // 30 x 7 cells, one colour growing from the left, then the other from the top.
    if (phase == 0) {
        if (wipeStep == 1) {
            form.DrawHud();
            form.DrawCoins();
            media.DrawSprite(Trunc(p.x), Trunc(p.y), {0, 0, 16, 16}, form.playerSheet.get());
        }
        for (int32_t c = 0; c <= 29; ++c) {
            for (int32_t r = 0; r <= 6; ++r) {
                if (c % 2 == r % 2) {
                    media.DrawSprite(80 + 16 * c, 160 + 16 * r, {0, 0, wipeStep, 16}, cwin);
                }
            }
        }
        wipeStep += 1;
        if (wipeStep == 17) {
            wipeStep = 1;
            phase = 1;
        }
    } else if (phase == 1) {
        for (int32_t c = 0; c <= 29; ++c) {
            for (int32_t r = 0; r <= 6; ++r) {
                if ((c + 1) % 2 == r % 2) {
                    media.DrawSprite(80 + 16 * c, 160 + 16 * r, {0, 0, 16, wipeStep}, cwin);
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
        media.DrawSprite(80, 160, {0, 0, 480, 112}, cwin);
        if (n > 30) {
            if (n == 31) {
                p.score = WrapAdd(p.score, int64_t{500} * p.maxHit);
                media.PlayEffect("shya.wav", 0);
            }
            form.DrawText(90, 170, "MaxHit Bonus:" + std::to_string(p.maxHit) + "x 500");
        }
        if (n > 60) {
            if (n == 61) {
                p.score = WrapAdd(p.score, int64_t{800} * p.rest);
                media.PlayEffect("shya.wav", 0);
            }
            form.DrawText(90, 220, " Rest  Bonus:" + std::to_string(p.rest) + "x 800");
        }
        if (n > 90) form.DrawText(50, 400, "Let&s go to Next Stage!!");
        if (n < 91) windowCounter += 1;
        // The status line shows the score rising with each bonus.
        form.DrawHud();

        if (windowCounter > 90 && !clearLatch && media.IsPressed(ActA)) {
            form.stageNo += 1;
            windowCounter = 0;
            wipeStep = 1;
            // Leaving in this same frame: after the last stage comes the ending; a test play
            // started on one stage ends the program here.
            form.WipeScreen();
            form.scene = form.stageNo == form.stageTotal ? SceneEnding::kId : SceneStageStart::kId;
            if (form.launchStage != 0) form.Close();
            phase = 0;
            clearSoundPlayed = false;
            clearLatch = true;
        }
    }
    media.Present();
}

}  // namespace zarp
