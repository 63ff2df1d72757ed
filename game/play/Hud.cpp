#include "game/play/Hud.h"

#include <string>

#include "game/media/Media.h"
#include "game/media/SheetCells.h"
#include "game/play/PlayField.h"
#include "game/play/StageSet.h"
#include "game/shell/Session.h"

namespace zarp {

void DrawHud(Media& media, const Session& session) {
    // The strip below the 448-row field; right and bottom are exclusive, so column 639 and
    // row 479 keep what they held.
    Surface* back = media.MediaDevices.backBuffer.get();
    if (back) ColorFill(*back, {0, 452, kScreenWidth - 1, kScreenHeight - 1}, 0);
    media.DrawText(0, 452, "STAGE:" + std::to_string(session.stageNo));
    media.DrawText(200, 452, "SCORE:" + std::to_string(session.Player.score));
    media.DrawText(490, 452, "REST:" + std::to_string(session.Player.rest));
}

void DrawCoins(Media& media, const StageSet& stages, const Session& session,
               const PlayField& field) {
    const StageSlotView stage = stages.Slot(session.stageNo);
    for (int32_t i = 2; i < stage.entityCount; ++i) {
        if (field.coinPresent[static_cast<size_t>(i)]) {
            media.MediaDevices.DrawSprite(stage.entityX[i], stage.entityY[i], cell::kCoin,
                                          media.coinSheet.get());
        }
    }
}

}  // namespace zarp
