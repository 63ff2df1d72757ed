#include "game/scenes/ScrollingTiles.h"

namespace zarp {

namespace {
constexpr int32_t kTile = 32;
}  // namespace

void ScrollingTiles::Draw(MediaDevices& devices, const Surface* sheet) const {
    for (int32_t c = -1; c <= kScreenWidth / kTile; ++c) {
        for (int32_t r = -1; r <= kScreenHeight / kTile; ++r) {
            devices.DrawSprite(kTile * c + offsetX, kTile * r + offsetY, tile, sheet);
        }
    }
}

void ScrollingTiles::Step() {
    if (moveX && --offsetX == 0) offsetX = kTile;
    if (--offsetY == 0) offsetY = kTile;
}

}  // namespace zarp
