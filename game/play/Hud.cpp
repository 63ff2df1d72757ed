// The head-up display along the bottom of the field, and the coins still on the field.
#include <string>

#include "game/play/Physics.h"
#include "game/shell/Form.h"

namespace zarp {

void TForm1::DrawHud() {
    // The strip below the 448-row field; right and bottom are exclusive, so column 639 and
    // row 479 keep what they held.
    if (MediaDevices.backBuffer) ColorFill(*MediaDevices.backBuffer, {0, 452, 639, 479}, 0);
    DrawText(0, 452, "STAGE:" + std::to_string(stageNo));
    DrawText(200, 452, "SCORE:" + std::to_string(Player.score));
    DrawText(490, 452, "REST:" + std::to_string(Player.rest));
}

void TForm1::DrawCoins() {
    const StageSlotView stage = SlotView(StageBlockTable, StageEntityTable, stageNo);
    for (int32_t i = 2; i < stage.entityCount; ++i) {
        if (coinPresent[static_cast<size_t>(i)]) {
            MediaDevices.DrawSprite(stage.entityX[i], stage.entityY[i], {0, 0, 16, 16},
                                    coinSheet.get());
        }
    }
}

}  // namespace zarp
