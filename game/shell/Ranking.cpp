#include "game/shell/Ranking.h"

#include <cstdio>
#include <utility>

#include "common/profile/Profile.h"

namespace zarp {

namespace {

constexpr const char* kPlaceKeys[kRankingPlaces] = {"1st", "2nd", "3rd", "4th", "5th",
                                                    "6th", "7th", "8th", "9th", "10th"};
constexpr const char* kDefaultName = "----------";
constexpr int32_t kDefaultScore = 0;
constexpr int32_t kDefaultStage = 1;
constexpr int32_t kChecksumModulus = 13507;

}  // namespace

int32_t RankingChecksum(const RankInts& rankScore, const RankInts& rankStage) {
    // 32-bit wrapping arithmetic, with the remainder taking the sign of the dividend.
    int32_t sum = 0;
    for (size_t p = 0; p < kRankingPlaces; ++p) {
        const uint32_t place =
            17u * (static_cast<uint32_t>(rankScore[p]) + 4u * static_cast<uint32_t>(rankStage[p]));
        const auto total = static_cast<int32_t>(static_cast<uint32_t>(sum) + place);
        sum = total % kChecksumModulus;
    }
    return sum;
}

void ReadRanking(const IniFile& profile, RankInts& rankScore, RankInts& rankStage,
                 RankNames& rankName) {
    for (size_t p = 0; p < kRankingPlaces; ++p) {
        rankScore[p] = profile.GetInt("Score", kPlaceKeys[p], kDefaultScore);
        rankStage[p] = profile.GetInt("Stage", kPlaceKeys[p], kDefaultStage);
        rankName[p] = profile.Get("Name", kPlaceKeys[p]).value_or(kDefaultName);
    }
    if (profile.GetInt("Setting", "Sum", 0) != RankingChecksum(rankScore, rankStage)) {
        for (size_t p = 0; p < kRankingPlaces; ++p) {
            rankScore[p] = kDefaultScore;
            rankStage[p] = kDefaultStage;
            rankName[p] = kDefaultName;
        }
    }
}

void WriteRanking(IniFile& profile, const RankInts& rankScore, const RankInts& rankStage,
                  const RankNames& rankName) {
    for (size_t p = 0; p < kRankingPlaces; ++p) {
        profile.SetInt("Score", kPlaceKeys[p], rankScore[p]);
        profile.SetInt("Stage", kPlaceKeys[p], rankStage[p]);
        profile.Set("Name", kPlaceKeys[p], rankName[p]);
    }
    profile.SetInt("Setting", "Sum", RankingChecksum(rankScore, rankStage));
}

void Ranking::Load(const std::string& path) {
    IniFile profile;
    std::string error;
    const bool readable = ReadProfile(path, profile, &error);
    if (!readable) {
        std::fprintf(stderr, "zarp: %s; the ranking starts from its defaults and is not saved\n",
                     error.c_str());
    }
    ReadRanking(profile, rankScore, rankStage, rankName);
    rankingWhole = readable;
}

bool Ranking::Save(const std::string& path) const {
    if (!rankingWhole) return false;
    std::string error;
    const bool written = UpdateProfile(
        path, [this](IniFile& profile) { WriteRanking(profile, rankScore, rankStage, rankName); },
        &error);
    if (!written) std::fprintf(stderr, "zarp: the ranking was not saved: %s\n", error.c_str());
    return written;
}

int32_t Ranking::Insert(int32_t score, int32_t stage) {
    if (score <= rankScore[kRankingPlaces - 1]) return -1;
    int32_t p = 0;
    while (p < kRankingPlaces && rankScore[p] >= score)
        ++p;
    // The new table is made beside the old one and then swapped in, so that whatever happens
    // on the way the ranking is one whole table or the other.
    RankInts scores = rankScore;
    RankInts stages = rankStage;
    RankNames names = rankName;
    for (int32_t k = kRankingPlaces - 1; k > p; --k) {
        scores[k] = scores[k - 1];
        stages[k] = stages[k - 1];
        names[k] = std::move(names[k - 1]);
    }
    scores[p] = score;
    stages[p] = stage;
    names[p].clear();
    rankScore = scores;
    rankStage = stages;
    rankName.swap(names);
    return p;
}

}  // namespace zarp
