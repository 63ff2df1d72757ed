#include "game/scenes/SceneGameOver.h"

#include <string>

#include "game/media/Media.h"
#include "game/play/Hud.h"
#include "game/play/SceneStageStart.h"
#include "game/scenes/SceneRanking.h"
#include "game/scenes/SceneTitle.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"

namespace zarp {

void SceneGameOver::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    Session& session = c.session;
    zarp::Player& player = session.Player;

    overLatch.ClearIfUp(devices.IsPressed(ActA));

    // The glyphs that would cross the right edge (the two exclamation marks) are not drawn.
    media.DrawTextScaled(10, 100, "GAME OVER!!", 3.0);
    DrawHud(media, session);
    DrawCoins(media, c.stages, session, c.field);

    if (overLatch.Open() && devices.IsPressed(ActA)) {
        if (player.credit < 0) {
            c.shell.ChangeScene(SceneRanking::kEntryId);
        } else {
            // Continue on the same stage for about half the score and one credit.
            devices.PlayEffect("replay.wav", 0);
            c.shell.ChangeScene(SceneStageStart::kId);
            player.score = ScoreAfterContinue(player.score);
            player.credit -= 1;
        }
        overLeaving = true;
    }

    // A continue taken in the very frame the count-down runs out stands: the score has been
    // cut and the credit spent for it, so the time-out must not throw the game away.
    if (continueCount < 0 && !overLeaving) {
        c.shell.ChangeScene(session.userStageMode ? SceneTitle::kId : SceneRanking::kEntryId);
        media.StopMusic();
        overLeaving = true;
    }

    if (player.credit <= 0 && noContinue) {
        // The last credit went on the previous continue: only the way to the name entry.
        media.DrawText(180, 300, "Press Any Key...");
        player.credit = -1;
        media.StopMusic();
    } else {
        media.DrawTextScaled(180, 270, "CONTINUE " + std::to_string(continueCount / 10), 1.2);
        media.DrawTextScaled(270, 340, "CREDIT " + std::to_string(player.credit), 0.7);
        continueCount -= 1;
        if (devices.IsPressed(ActB))
            continueCount -= 4;  // B runs the count-down five times as fast
        if (continueCount < -1) continueCount = -1;
        media.Pace(50);
    }

    if (overLeaving) {
        media.WipeScreen();
        overLeaving = false;
        overLatch.Set();
        continueCount = 99;
        devices.ClearBackBuffer();
        noContinue = false;
        if (session.TestPlay()) c.shell.Close();  // a test play from the editor ends here
        if (player.credit == 0) noContinue = true;
    }

    devices.Present();
    // The next frame is drawn again over the frozen stage picture.
    media.RestoreStagePicture();
}

}  // namespace zarp
