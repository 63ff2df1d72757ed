// The texts of our own studio that the title and the ending show.
#pragma once

namespace zarp {

// Drawn at the bottom left of the title and under the thank-you line of the ending.
inline constexpr const char* kCopyrightLine = "(C)2026 KUMO SOFT";

// Name lines of the ending's credits (role lines are fixed by the game).
inline constexpr const char* kDesignNameLine = "       KUMO SOFT";
inline constexpr const char* kMusicNameLine = "    KUMO SOFT SOUND";
inline constexpr const char* kTestPlayersLine = "KUMO SOFT PLAY TEAM";

}  // namespace zarp
