#include "game/scenes/SceneOpening.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneOpening::Frame(TForm1& /*form*/) {}

}  // namespace zarp
