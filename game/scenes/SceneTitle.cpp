#include "game/scenes/SceneTitle.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneTitle::Frame(TForm1& /*form*/) {}

}  // namespace zarp
