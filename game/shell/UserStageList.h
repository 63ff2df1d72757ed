// The user stage sets found at start-up: file names and the labels the selection screen shows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarp {

inline constexpr int32_t kUserStageListSize = 100;
inline constexpr int32_t kUserStagesShown = 18;
inline constexpr size_t kUserStageLabelLength = 25;

struct UserStageList {
    std::array<std::string, kUserStageListSize> userStageFiles;
    std::array<std::string, kUserStageListSize> userStageLabels;  // exactly 25 characters each
    int32_t userStageCount = 0;  // entries in use; at most kUserStagesShown once built

    // Takes the first 100 of `files` (sorted, each ending in ".zrp", a bare name or a path); a
    // label is the file's name without its folder and extension, padded with blanks or cut to 25
    // characters. More than 18 are cut
    // to 18: false then, for the caller to say that some could not be listed.
    bool Build(const std::vector<std::string>& files);
};

}  // namespace zarp
