#include "game/shell/UserStageList.h"

#include <algorithm>

namespace zarp {

bool UserStageList::Build(const std::vector<std::string>& files) {
    const auto n = static_cast<int32_t>(std::min<size_t>(files.size(), kUserStageListSize));
    for (int32_t i = 0; i < n; ++i) {
        userStageFiles[i] = files[i];
        // The label is the file's own name, whatever folder it is listed from.
        const std::string name = files[i].substr(files[i].rfind('/') + 1);
        std::string label = name.substr(0, name.size() - 4);
        label.resize(kUserStageLabelLength, ' ');
        userStageLabels[i] = label;
    }
    userStageCount = n;
    if (userStageCount <= kUserStagesShown) return true;
    userStageCount = kUserStagesShown;
    return false;
}

}  // namespace zarp
