// Play: aiming, the flying ball, blocks, coins, the end of a shot.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct ScenePlay {
    static constexpr int32_t kId = 1;
    void Frame(TForm1& form);
};

}  // namespace zarp
