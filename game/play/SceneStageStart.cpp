#include "game/play/SceneStageStart.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneStageStart::Frame(TForm1& /*form*/) {}

}  // namespace zarp
