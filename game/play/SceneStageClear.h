// Stage clear: the window, the two bonuses, on to the next stage.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneStageClear {
    static constexpr int32_t kId = 2;
    void Frame(TForm1& form);
};

}  // namespace zarp
