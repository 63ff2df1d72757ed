// The top-ten ranking: its three arrays, the rules of zarp.dat's sections and checksum, how a
// final score goes in, and its reading at start-up and writing at shutdown.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zarp {

class IniFile;

inline constexpr int32_t kRankingPlaces = 10;
// Places 1 to 10 are entries 0 to 9; entry 10 is never read, written or shown.
inline constexpr int32_t kRankingEntries = kRankingPlaces + 1;

using RankInts = std::array<int32_t, kRankingEntries>;
using RankNames = std::array<std::string, kRankingEntries>;

// s := (s + 17 (score + 4 stage)) mod 13507 over the ten places, in 32-bit wrapping arithmetic
// with the remainder taking the sign of the dividend. Names are not part of it.
int32_t RankingChecksum(const RankInts& rankScore, const RankInts& rankStage);
// Reads the sections "Score", "Stage" and "Name" (keys "1st" to "10th") and "Setting"/"Sum";
// missing or non-numeric values give 0, 1 and "----------", and a sum that does not match
// resets the whole table to those defaults.
void ReadRanking(const IniFile& profile, RankInts& rankScore, RankInts& rankStage,
                 RankNames& rankName);
// Writes the ten places and their checksum; every other section and key stays.
void WriteRanking(IniFile& profile, const RankInts& rankScore, const RankInts& rankStage,
                  const RankNames& rankName);

struct Ranking {
    RankInts rankScore{};
    RankInts rankStage{};
    RankNames rankName;
    // The ranking was read from zarp.dat (or is the default table of a missing file), so the
    // shutdown may write it. Every change to it leaves it whole (a new place goes in at once).
    bool rankingWhole = false;

    // Reads the ranking from `path`. A file that cannot be read (one line on standard error) is
    // not written over at the end either: what it holds may be a ranking that another run or
    // the player still wants.
    void Load(const std::string& path);
    // Writes it back under the file's lock, keeping every other section; a failure is one line
    // on standard error and leaves the old file whole. False when nothing was written.
    bool Save(const std::string& path) const;
    // A final score that beats the tenth place goes in below every equal or better one, with
    // the stage reached and an empty name; the former tenth place drops out. Returns its entry,
    // or -1 when the score does not get in.
    int32_t Insert(int32_t score, int32_t stage);

    // The same places and whether it may be written: the browser build saves it when this changes.
    bool operator==(const Ranking&) const = default;
};

}  // namespace zarp
