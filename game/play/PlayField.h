// The stage being played: where its ball starts, its coins still on the field and its toggle
// blocks' clock. The stage start sets it up; play, the stage clear and the game over read it.
#pragma once

#include <array>
#include <cstdint>

#include "common/stage/Stage.h"

namespace zarp {

struct PlayField {
    int32_t playerStartX = 0, playerStartY = 0;
    int32_t blinkTimer = 0, toggleBlockCount = 0;
    // Per entity entry: the coin is still on the field (entries 2 and up are coins).
    std::array<uint8_t, kGameEntitiesPerSlot> coinPresent{};
};

}  // namespace zarp
