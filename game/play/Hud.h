// The head-up display along the bottom of the field, and the coins still on the field.
#pragma once

namespace zarp {

struct Media;
struct PlayField;
struct Session;
struct StageSet;

// The status strip: STAGE, SCORE and REST.
void DrawHud(Media& media, const Session& session);
// Every coin of the stage being played that is still on the field.
void DrawCoins(Media& media, const StageSet& stages, const Session& session,
               const PlayField& field);

}  // namespace zarp
