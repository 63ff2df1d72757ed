// The ranking routine: one frame function for the ranking view (12) and the name entry (13).
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneRanking {
    static constexpr int32_t kViewId = 12;
    static constexpr int32_t kEntryId = 13;
    void RankingFrame(TForm1& form, bool nameEntry);
};

}  // namespace zarp
