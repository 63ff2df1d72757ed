// Title menu: scrolling tiles, the title picture and the four items.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneTitle {
    static constexpr int32_t kId = 10;
    void Frame(TForm1& form);
};

}  // namespace zarp
