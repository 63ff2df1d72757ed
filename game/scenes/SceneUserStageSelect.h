// User stage selection: the list of .zrp files found at start-up.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneUserStageSelect {
    static constexpr int32_t kId = 14;
    void Frame(TForm1& form);
};

}  // namespace zarp
