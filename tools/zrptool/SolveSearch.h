// The stage solver's search: shot sequences played with the game's own physics, frame by frame
// from rest to rest, over the 180 launch directions (and waits and brakes where they are
// needed); and the figures a stage designer reads from it: how wide the way to the goal is, how
// many shots all the coins take, and whether the start angle alone clears the stage.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/stage/Stage.h"

namespace zarp::zrptool {

// The game launches at the aim cut to whole units of 2 degrees: 180 directions, 0 to 179.
inline constexpr int32_t kDirections = 180;

// One shot as a player plays it: turn to `angle` (a direction, 0 to 179), wait `wait` frames,
// fire, and hold the brake (Space) over flight frames brakeFrom..brakeTo (1-based; 0: none).
inline constexpr int32_t kBrakeUntilRest = INT32_MAX;  // brakeTo: held until the ball rests
struct ShotPlan {
    int32_t angle = 0;
    int32_t wait = 0;
    int32_t brakeFrom = 0;
    int32_t brakeTo = 0;
    bool operator==(const ShotPlan&) const = default;
};

// The keys of one run of play frames: a bit per key.
enum KeyBit : uint8_t { kKeyLeft = 1, kKeyRight = 2, kKeyX = 4, kKeySpace = 8 };
struct KeyRun {
    int32_t frames = 0;
    uint8_t keys = 0;
};

enum class SolveStatus { Solved, Unsolvable, OutOfBudget };

struct SolveOptions {
    int32_t maxShots = 0;      // 0: the stage's rest
    double budgetSeconds = 0;  // 0: no limit (the figures still stop at kFigureShotLimit)
    int32_t threads = 2;
    // Also work out the window, the all-coins par and the start angle (zrptool solve does).
    bool figures = false;
    // Called about once a second on long searches with a line of progress.
    std::function<void(const std::string&)> progress;
    // Set from another thread to end the search soon, as if the budget had run out.
    const std::atomic<bool>* cancel = nullptr;
};

// A figure's state: worked out, proven not to exist, or left open (budget or memory).
enum class FigureStatus { Known, None, Unknown };

// Shots the figures of one stage may play when no budget is given (about a minute on two cores).
inline constexpr int64_t kFigureShotLimit = 8000000;

// A shot sequence that clears a stage, with the keys that play it.
struct SolvePath {
    std::vector<ShotPlan> shots;  // its size is the number of shots
    int32_t coins = 0;            // coins it takes
    std::vector<KeyRun> keys;     // play frames from the first frame of play to the goal
    int32_t playFrames = 0;       // frames of play up to and including the goal frame
};

struct SolveResult {
    SolveStatus status = SolveStatus::Unsolvable;
    int32_t rest = 0;             // the stage's shots
    int32_t searchedShots = 0;    // the depth searched
    int32_t coinCount = 0;        // coins on the stage
    std::vector<ShotPlan> shots;  // the solution; its size is the par
    int32_t coins = 0;            // coins the solution takes
    std::vector<KeyRun> keys;     // play frames from the first frame of play to the goal
    int32_t playFrames = 0;       // frames of play up to and including the goal frame
    int64_t simulations = 0;
    double seconds = 0;
    std::string passes;  // which searches ran: "angles", "waits", "brakes"
    // Why an unsolvable stage needed no search ("the stage has no goal"); empty when the search
    // itself found no way within the shots.
    std::string proof;

    // The figures (when asked for and the stage was solved).
    // Directions of the 180 whose first shot begins a clearing sequence of par shots (with the
    // waits or brakes the par needed, if it did).
    FigureStatus windowStatus = FigureStatus::Unknown;
    int32_t window = 0;
    // The fewest shots that take every coin and touch the goal within the stage's shots, and
    // a path that does it; None when no such sequence exists.
    FigureStatus allCoinsStatus = FigureStatus::Unknown;
    SolvePath allCoins;
    // One shot at the start angle, without turning, clears the stage.
    bool startAngleClears = false;
};

// Searches stage `slot` of a set as the game reads it.
SolveResult SolveStage(const GameBlockTable& blocks, const GameEntityTable& entities, int32_t slot,
                       const SolveOptions& options);

// Frames of the stage start before the first play frame, for a stage with `entityCount` entries.
int32_t StageStartFrames(int32_t entityCount);

// A key script for zarp-headless that plays `keys` from play frame 1 = script frame `firstFrame`.
std::string KeyScriptText(const std::vector<KeyRun>& keys, int32_t firstFrame,
                          const std::string& comment);

}  // namespace zarp::zrptool
