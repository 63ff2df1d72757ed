#include "game/shell/UserStageList.h"

#include <algorithm>

namespace zarp {

bool UserStageList::Build(const std::vector<std::string>& files) {
    const auto n = static_cast<int32_t>(std::min<size_t>(files.size(), kUserStageListSize));
    for (int32_t i = 0; i < n; ++i) {
        userStageFiles[i] = files[i];
        std::string label = files[i].substr(0, files[i].size() - 4);
        label.resize(kUserStageLabelLength, ' ');
        userStageLabels[i] = label;
    }
    userStageCount = n;
    if (userStageCount <= kUserStagesShown) return true;
    userStageCount = kUserStagesShown;
    return false;
}

}  // namespace zarp
