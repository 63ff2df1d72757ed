#include "game/scenes/SceneUserStageSelect.h"

#include "game/media/Media.h"
#include "game/play/SceneStageStart.h"
#include "game/play/StageSet.h"
#include "game/scenes/SceneTitle.h"
#include "game/shell/Session.h"
#include "game/shell/Shell.h"
#include "game/shell/UserStageList.h"

namespace zarp {

void SceneUserStageSelect::Frame(const Context& c) {
    Media& media = c.media;
    MediaDevices& devices = media.MediaDevices;
    const UserStageList& list = c.userStages;

    decideLatch.ClearIfUp(devices.IsPressed(ActA));

    tiles.Draw(devices, media.cwinSheet.get());
    tiles.Step();

    media.Pace(64);  // one frame per 64 ms
    decideLatch.ClearIfUp(devices.IsPressed(ActA));

    media.DrawText(20, 0, "Select user&s stage data");
    for (int32_t i = 0; i < list.userStageCount; ++i) {
        media.DrawText(20, 30 + 24 * i, list.userStageLabels[i]);
    }

    if (list.userStageCount <= 0) {
        media.DrawText(220, 220, "No data!!");
        if (devices.IsPressed(ActA) && decideLatch.Open()) {
            media.StopMusic();
            c.shell.ChangeScene(SceneTitle::kId);
            media.WipeScreen();
        }
    } else {
        // A held direction moves the cursor once every three frames.
        if (devices.IsPressed(ActUp)) --repeatCounter;
        if (devices.IsPressed(ActDown)) ++repeatCounter;
        if (repeatCounter < 0) {
            --listCursor;
            repeatCounter = 2;
            devices.PlayEffect("tick.wav", 0);
        }
        if (repeatCounter > 2) {
            ++listCursor;
            repeatCounter = 0;
            devices.PlayEffect("tick.wav", 0);
        }
        if (listCursor < 0) listCursor = list.userStageCount - 1;
        if (listCursor > list.userStageCount - 1) listCursor = 0;

        devices.DrawSprite(2, 34 + 24 * listCursor, cell::kListCursor, media.blockSheet.get());

        if (devices.IsPressed(ActA) && decideLatch.Open()) {
            c.session.userStageFile = list.userStageFiles[listCursor];
            media.WipeScreen();
            LoadStages(c.stages, c.session, c.shell);
            c.shell.ChangeScene(SceneStageStart::kId);
            decideLatch.Set();
            media.StartMusic("bgm00.mid", /*repeat=*/false);
        }
        if (devices.IsPressed(ActB)) {
            media.StopMusic();
            c.shell.ChangeScene(SceneTitle::kId);
            decideLatch.Set();
            media.WipeScreen();
        }
    }

    devices.Present();
    devices.ClearBackBuffer();
}

}  // namespace zarp
