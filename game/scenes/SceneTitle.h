// Title menu: scrolling tiles, the title picture and the four items.
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

struct SceneTitle {
    static constexpr int32_t kId = 10;
    static constexpr int32_t kItems = 4;
    // Rows between two menu items; one slide of the bar covers them in 7 frames.
    static constexpr int32_t kItemPitch = 28;

    struct Context {
        Media& media;
        Session& session;  // a new game begins here
        StageSet& stages;  // START GAME loads the built-in set
        Shell& shell;
    };

    bool titleReady = false;       // the title's music has been started for this visit
    ButtonLatch titleLatch{true};  // A must be seen up before a choice is taken
    bool stage8Armed = false;      // the hidden start key was seen held during this visit
    int32_t menuCursor = 0;        // selected item, 0..3
    int32_t cursorSpeed = 0;       // remaining slide of the bar, -7..7
    int32_t cursorOffset = 0;      // rows of the bar below item 0
    // Drifting one pixel up and to the left per frame.
    ScrollingTiles tiles{cell::kTitleTile, true, 1, 1};

    void Frame(const Context& c);
};

}  // namespace zarp
