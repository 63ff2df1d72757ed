// The cells of the six sheets, by name: where each picture the scenes draw sits in its sheet.
#pragma once

#include <cstdint>

#include "game/media/MediaDevices.h"

namespace zarp::cell {

// "player", 32 x 16.
inline constexpr Rect kBall{0, 0, 16, 16};
// The aiming marker; the title's menu bar has one at each end.
inline constexpr Rect kAimMarker{16, 0, 32, 16};

// "coin", 128 x 16: a coin in eight frames, from whole (0) to a last glint (7).
constexpr Rect CoinFrame(int32_t k) {
    return {16 * k, 0, 16 * k + 16, 16};
}
inline constexpr Rect kCoin = CoinFrame(0);

// "block", 384 x 96: the five 64-pixel blocks on top, the 32-pixel ones below them.
constexpr Rect BigBlock(int32_t k) {
    return {64 * k, 0, 64 * k + 64, 64};
}
constexpr Rect SmallBlock(int32_t k) {
    return {32 * k, 64, 32 * k + 32, 96};
}
inline constexpr Rect kSmallRebound = SmallBlock(0);  // rebound 1.0, also a toggle block's face
inline constexpr Rect kSmallNeedle = SmallBlock(3);   // needle, also a toggle block's face
inline constexpr Rect kGoal{320, 0, 352, 32};
inline constexpr Rect kFieldTile{352, 0, 384, 32};  // the field's floor
inline constexpr Rect kListCursor{320, 48, 336, 64};
// A one-pixel star; twenty colours, chosen by the star's number.
constexpr Rect Star(int32_t i) {
    return {320 + i % 20, 32, 321 + i % 20, 33};
}

// "cwin", 480 x 50.
// 112 rows asked of the 50-row picture: the copy is refused, and the window stays the
// checkerboard the stage clear's two passes leave.
inline constexpr Rect kClearWindow{0, 0, 480, 112};
inline constexpr Rect kCurtainDown{0, 0, 40, 1};
inline constexpr Rect kCurtainUp{1, 0, 41, 1};
inline constexpr Rect kMenuBar{0, 17, 286, 50};
inline constexpr Rect kTitleTile{286, 16, 318, 48};
inline constexpr Rect kSelectTile{318, 16, 350, 48};

// "title", 576 x 180.
inline constexpr Rect kTitlePicture{0, 0, 576, 110};
inline constexpr Rect kLogoBand{0, 115, 576, 180};

}  // namespace zarp::cell
