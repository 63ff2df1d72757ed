// User stage selection: the list of .zrp files found at start-up.
#pragma once

#include <cstdint>

#include "game/media/ButtonLatch.h"
#include "game/media/SheetCells.h"
#include "game/scenes/ScrollingTiles.h"

namespace zarp {

class Shell;
struct Media;
struct Session;
struct StageSet;
struct UserStageList;

// Kept for the whole run: the cursor survives a return to the title.
struct SceneUserStageSelect {
    static constexpr int32_t kId = 14;

    struct Context {
        Media& media;
        const UserStageList& userStages;
        Session& session;  // the chosen file becomes its user set
        StageSet& stages;  // ... and is loaded here
        Shell& shell;
    };

    int32_t listCursor = 0;         // index of the highlighted file
    int32_t repeatCounter = 1;      // step counter of a held direction, 0..2 between moves
    ButtonLatch decideLatch{true};  // A must be seen up before a press counts
    // Creeping up one pixel per frame.
    ScrollingTiles tiles{cell::kSelectTile, false, 0, 32};

    void Frame(const Context& c);
};

}  // namespace zarp
