// Game over: count-down, continue with the score cut, or on to the name entry.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneGameOver {
    static constexpr int32_t kId = 3;
    void Frame(TForm1& form);
};

}  // namespace zarp
