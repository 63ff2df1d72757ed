#include "game/scenes/SceneEnding.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneEnding::Frame(TForm1& /*form*/) {}

}  // namespace zarp
