// Opening: the maker's logo slides in and fades out.
#pragma once

#include <cstdint>

namespace zarp {

class Shell;
struct Media;

struct SceneOpening {
    static constexpr int32_t kId = 11;

    struct Context {
        Media& media;
        Shell& shell;
    };

    // Frame counter of the opening; never reset, so the opening runs once per program run.
    int32_t openingFrame = 0;

    void Frame(const Context& c);
};

}  // namespace zarp
