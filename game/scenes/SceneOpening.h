// Opening: the maker's logo slides in and fades out.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneOpening {
    static constexpr int32_t kId = 11;
    // Frame counter of the opening; never reset, so the opening runs once per program run.
    int32_t openingFrame = 0;
    void Frame(TForm1& form);
};

}  // namespace zarp
