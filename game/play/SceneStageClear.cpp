#include "game/play/SceneStageClear.h"

#include "game/shell/Form.h"

namespace zarp {

void SceneStageClear::Frame(TForm1& /*form*/) {}

}  // namespace zarp
