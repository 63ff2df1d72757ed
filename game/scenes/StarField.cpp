#include "game/scenes/StarField.h"

#include "game/media/MediaDevices.h"
#include "game/media/SheetCells.h"

namespace zarp {

void StarField::Scatter(Random& random) {
    for (int32_t i = 0; i < kStars; ++i) {
        starX[i] = random.Next() % kScreenWidth;
        starY[i] = random.Next() % kScreenHeight;
    }
}

void StarField::Fall(int32_t speed, Random& random, const Reentry& reentry) {
    for (int32_t i = 0; i < kStars; ++i) {
        starY[i] += (i % 3 + 1) * speed / 6;
        if (starY[i] > kScreenHeight) {
            if (reentry.newX) starX[i] = random.Next() % kScreenWidth;
            starY[i] = random.Next() % reentry.spread + reentry.top;
        }
    }
}

void StarField::Draw(MediaDevices& devices, const Surface* blockSheet) const {
    for (int32_t i = 0; i < kStars; ++i)
        devices.DrawSprite(starX[i], starY[i], cell::Star(i), blockSheet);
}

}  // namespace zarp
