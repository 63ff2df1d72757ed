// A screen covered with one tile that creeps one pixel a frame, up or up and to the left: the
// backgrounds of the title and of the user stage selection.
#pragma once

#include <cstdint>

#include "game/media/MediaDevices.h"

namespace zarp {

struct ScrollingTiles {
    Rect tile;
    bool moveX = false;
    int32_t offsetX = 0, offsetY = 0;  // 32..1 for a moving axis

    // The tiles cover the screen with a tile to spare on every side.
    void Draw(MediaDevices& devices, const Surface* sheet) const;
    // One pixel on.
    void Step();
};

}  // namespace zarp
