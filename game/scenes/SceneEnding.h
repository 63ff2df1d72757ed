// Ending: congratulation, credits, falling stars, thank-you line.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneEnding {
    static constexpr int32_t kId = 5;
    void Frame(TForm1& form);
};

}  // namespace zarp
