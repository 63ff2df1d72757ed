// Play: aiming, the flying ball, blocks, coins, the end of a shot.
#pragma once

#include <cstdint>

namespace zarp {

class Shell;
struct Media;
struct PlayField;
struct Session;
struct StageSet;

struct ScenePlay {
    static constexpr int32_t kId = 1;

    struct Context {
        Media& media;
        Session& session;  // the ball, the score and the shots left
        const StageSet& stages;
        PlayField& field;  // the coins taken, the toggle blocks' clock
        Shell& shell;
    };

    // A shot needs it clear; set when the program starts, so the first shot needs ActA to be
    // seen up while aiming first. Lives for the whole program.
    bool shotLatch = true;
    // The booster ring's centre, taken when a ring starts.
    int32_t ringX = 0, ringY = 0;

    void Frame(const Context& c);
};

}  // namespace zarp
