// Title menu: scrolling tiles, the title picture and the four items.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneTitle {
    static constexpr int32_t kId = 10;
    static constexpr int32_t kItems = 4;
    // Rows between two menu items; one slide of the bar covers them in 7 frames.
    static constexpr int32_t kItemPitch = 28;

    bool titleReady = false;   // the title's music has been started for this visit
    bool titleLatch = true;    // button A must be released before a choice is taken
    bool stage8Armed = false;  // the hidden start key was seen held during this visit
    int32_t menuCursor = 0;    // selected item, 0..3
    int32_t cursorSpeed = 0;   // remaining slide of the bar, -7..7
    int32_t cursorOffset = 0;  // rows of the bar below item 0
    int32_t tileScrollX = 1, tileScrollY = 1;  // offset of the background tiles, 32..1

    void Frame(TForm1& form);
};

}  // namespace zarp
