// zarp.dat as the game and the editor read it: any text parses, every getter answers, and a
// ranking written back and read again is the ranking that was written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/profile/Profile.h"
#include "game/shell/Ranking.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zarp::IniFile profile;
    profile.Parse(std::string(reinterpret_cast<const char*>(data), size));

    for (const char* section : {"Score", "Stage", "Name", "Setting", "Editor"}) {
        for (const char* key : {"1st", "2nd", "10th", "Sum", "Left", "Top"}) {
            profile.GetInt(section, key, -7);
            profile.Get(section, key);
        }
    }

    zarp::RankInts score{}, stage{};
    zarp::RankNames name;
    zarp::ReadRanking(profile, score, stage, name);

    // The game's shutdown: write the ranking, keep everything else, and read it back.
    zarp::WriteRanking(profile, score, stage, name);
    profile.SetInt("Editor", "Left", 12);
    zarp::IniFile reread;
    reread.Parse(profile.Text());
    zarp::RankInts score2{}, stage2{};
    zarp::RankNames name2;
    zarp::ReadRanking(reread, score2, stage2, name2);
    for (size_t i = 0; i < 10; ++i) {
        if (score2[i] != score[i] || stage2[i] != stage[i] || name2[i] != name[i]) {
            __builtin_trap();
        }
    }
    if (reread.GetInt("Editor", "Left", 0) != 12) __builtin_trap();
    return 0;
}
