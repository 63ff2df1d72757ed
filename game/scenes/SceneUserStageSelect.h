// User stage selection: the list of .zrp files found at start-up.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

// Kept for the whole run: the cursor survives a return to the title.
struct SceneUserStageSelect {
    static constexpr int32_t kId = 14;

    int32_t listCursor = 0;     // index of the highlighted file
    int32_t repeatCounter = 1;  // step counter of a held direction, 0..2 between moves
    int32_t scrollOffset = 32;  // vertical offset of the background pattern, 32..1
    bool decideLatch = true;    // button A must be released before a press counts

    void Frame(TForm1& form);
};

}  // namespace zarp
