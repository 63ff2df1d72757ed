#include "game/scenes/SceneGameOver.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneGameOver::Frame(TForm1& /*form*/) {}

}  // namespace zarp
