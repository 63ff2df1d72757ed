// The ranking routine: one frame function for the ranking view (12) and the name entry (13).
#pragma once

#include <cstdint>

#include "game/media/ButtonLatch.h"
#include "game/scenes/StarField.h"

namespace zarp {

class Shell;
struct Media;
struct Ranking;
struct Session;

struct SceneRanking {
    static constexpr int32_t kViewId = 12;
    static constexpr int32_t kEntryId = 13;
    static constexpr int32_t kNoEntry = 99;
    static constexpr int32_t kGridColumns = 26;
    static constexpr int32_t kGridRows = 3;
    static constexpr int32_t kNameMax = 10;
    static constexpr int32_t kDeleteColumn = 24;  // "<" in the last row
    static constexpr int32_t kEndColumn = 25;     // ">" in the last row

    struct Context {
        Media& media;
        Random& random;          // the stars
        Ranking& ranking;        // a final score goes in and is named
        const Session& session;  // the final score and the stage reached
        Shell& shell;
    };

    bool rankStarted = false;       // the first frame of the current visit has run
    ButtonLatch rankLatch{false};   // A was acted on and not yet released
    int32_t entryPlace = kNoEntry;  // index of the entry being named, or 99
    int32_t nameLen = 0;            // characters entered; the name cursor stands here
    int32_t gridCol = 0, gridRow = 0;
    int32_t holdX = 0, holdY = 0;    // frames a direction was held, signed by direction
    int32_t blinkTick = 0;           // blink phase of the name cursor, 0..10
    int32_t delayA = 0, delayB = 0;  // frames until A may act, until B may delete again
    StarField stars;

    void RankingFrame(const Context& c, bool nameEntry);

  private:
    void NameEntryFrame(const Context& c);
    void Leave(const Context& c);
};

// The three rows of the letter grid.
inline constexpr const char* kLetterGrid[SceneRanking::kGridRows] = {
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz", " 0123456789+-:*!?/@,.&()<>"};

}  // namespace zarp
