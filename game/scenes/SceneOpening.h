// Opening: the maker's logo slides in and fades out.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneOpening {
    static constexpr int32_t kId = 11;
    void Frame(TForm1& form);
};

}  // namespace zarp
