#include "game/scenes/SceneUserStageSelect.h"

#include "game/shell/Form.h"

namespace zarp {

namespace {
constexpr Rect kBackgroundCell{318, 16, 350, 48};
constexpr Rect kCursorMark{320, 48, 336, 64};
}  // namespace

void SceneUserStageSelect::Frame(TForm1& form) {
    MediaDevices& media = form.MediaDevices;

    if (!media.IsPressed(ActA)) decideLatch = false;

    // The background pattern creeps up one pixel per frame.
    for (int32_t c = -1; c <= 20; ++c) {
        for (int32_t r = -1; r <= 15; ++r) {
            media.DrawSprite(32 * c, 32 * r + scrollOffset, kBackgroundCell, form.cwinSheet.get());
        }
    }
    if (--scrollOffset == 0) scrollOffset = 32;

    form.Pace(64);  // one frame per 64 ms
    if (!media.IsPressed(ActA)) decideLatch = false;

    form.DrawText(20, 0, "Select user&s stage data");
    for (int32_t i = 0; i < form.userStageCount; ++i) {
        form.DrawText(20, 30 + 24 * i, form.userStageLabels[i]);
    }

    if (form.userStageCount <= 0) {
        form.DrawText(220, 220, "No data!!");
        if (media.IsPressed(ActA) && !decideLatch) {
            form.StopMusic();
            form.scene = SceneTitle::kId;
            form.WipeScreen();
        }
    } else {
        // A held direction moves the cursor once every three frames.
        if (media.IsPressed(ActUp)) --repeatCounter;
        if (media.IsPressed(ActDown)) ++repeatCounter;
        if (repeatCounter < 0) {
            --listCursor;
            repeatCounter = 2;
            media.PlayEffect("tick.wav", 0);
        }
        if (repeatCounter > 2) {
            ++listCursor;
            repeatCounter = 0;
            media.PlayEffect("tick.wav", 0);
        }
        if (listCursor < 0) listCursor = form.userStageCount - 1;
        if (listCursor > form.userStageCount - 1) listCursor = 0;

        media.DrawSprite(2, 34 + 24 * listCursor, kCursorMark, form.blockSheet.get());

        if (media.IsPressed(ActA) && !decideLatch) {
            form.userStageFile = form.userStageFiles[listCursor];
            form.WipeScreen();
            form.LoadStages();
            form.scene = SceneStageStart::kId;
            decideLatch = true;
            form.musicRepeat = false;
            form.StartMusic("bgm00.mid");
        }
        if (media.IsPressed(ActB)) {
            form.StopMusic();
            form.scene = SceneTitle::kId;
            decideLatch = true;
            form.WipeScreen();
        }
    }

    media.Present();
    media.ClearBackBuffer();
}

}  // namespace zarp
