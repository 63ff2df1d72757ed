#include "game/scenes/SceneRanking.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneRanking::RankingFrame(TForm1& /*form*/, bool /*nameEntry*/) {}

}  // namespace zarp
