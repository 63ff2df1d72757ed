#include "game/scenes/SceneUserStageSelect.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneUserStageSelect::Frame(TForm1& /*form*/) {}

}  // namespace zarp
