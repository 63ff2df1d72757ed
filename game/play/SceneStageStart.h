// Stage start: paints the stage, shows its title, reveals the field, lets the coins appear.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneStageStart {
    static constexpr int32_t kId = 0;
    void Frame(TForm1& form);
};

}  // namespace zarp
