#include "game/scenes/SceneGameOver.h"

#include <string>

#include "game/shell/Form.h"

namespace zarp {

void SceneGameOver::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;
    zarp::Player& player = form.Player;

    if (!media.IsPressed(ActA)) overLatch = false;

    // The glyphs that would cross the right edge (the two exclamation marks) are not drawn.
    form.DrawTextScaled(10, 100, "GAME OVER!!", 3.0);
    form.DrawHud();
    form.DrawCoins();

    if (!overLatch && media.IsPressed(ActA)) {
        if (player.credit < 0) {
            form.scene = SceneRanking::kEntryId;
        } else {
            // Continue on the same stage for about half the score and one credit.
            media.PlayEffect("replay.wav", 0);
            form.scene = SceneStageStart::kId;
            player.score = ScoreAfterContinue(player.score);
            player.credit -= 1;
        }
        overLeaving = true;
    }

    // A continue taken in the very frame the count-down runs out stands: the score has been
    // cut and the credit spent for it, so the time-out must not throw the game away.
    if (continueCount < 0 && !overLeaving) {
        form.scene = form.userStageMode ? SceneTitle::kId : SceneRanking::kEntryId;
        form.StopMusic();
        overLeaving = true;
    }

    if (player.credit <= 0 && noContinue) {
        // The last credit went on the previous continue: only the way to the name entry.
        form.DrawText(180, 300, "Press Any Key...");
        player.credit = -1;
        form.StopMusic();
    } else {
        form.DrawTextScaled(180, 270, "CONTINUE " + std::to_string(continueCount / 10), 1.2);
        form.DrawTextScaled(270, 340, "CREDIT " + std::to_string(player.credit), 0.7);
        continueCount -= 1;
        if (media.IsPressed(ActB)) continueCount -= 4;  // B runs the count-down five times as fast
        if (continueCount < -1) continueCount = -1;
        form.Pace(50);
    }

    if (overLeaving) {
        form.WipeScreen();
        overLeaving = false;
        overLatch = true;
        continueCount = 99;
        media.ClearBackBuffer();
        noContinue = false;
        if (form.launchStage != 0) form.Close();  // a test play from the editor ends here
        if (player.credit == 0) noContinue = true;
    }

    media.Present();
    // The next frame is drawn again over the frozen stage picture.
    if (media.backBuffer && form.backgroundSurface) {
        BltFast(*media.backBuffer, 0, 0, *form.backgroundSurface,
                Rect{0, 0, platform::kScreenWidth, platform::kScreenHeight}, false);
    }
}

}  // namespace zarp
