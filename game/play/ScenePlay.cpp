#include "game/play/ScenePlay.h"

#include "game/shell/Form.h"

namespace zarp {

void ScenePlay::Frame(TForm1& /*form*/) {}

}  // namespace zarp
