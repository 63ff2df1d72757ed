// The front-end scenes' test folder: one folder as the program and working folder, with the
// fixture palette, every effect and four short pieces; zarp-headless played in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/play/ScenePlay.h"
#include "game/play/SceneStageClear.h"
#include "game/play/SceneStageStart.h"
#include "game/scenes/SceneEnding.h"
#include "game/scenes/SceneGameOver.h"
#include "game/scenes/SceneOpening.h"
#include "game/scenes/SceneRanking.h"
#include "game/scenes/SceneTitle.h"
#include "game/scenes/SceneUserStageSelect.h"
#include "tests/support/Files.h"
#include "tests/support/GameFiles.h"
#include "tests/support/Headless.h"
#include "tests/support/StageLayout.h"

namespace zarp::test {

using testing_support::HeadlessProgram;
using testing_support::Json;
using testing_support::Picture;
using testing_support::ReadPng;
using testing_support::RunResult;
using testing_support::StageLayout;

// The scene ids, as the scenes declare them.
inline constexpr int32_t kStageStart = SceneStageStart::kId, kPlay = ScenePlay::kId,
                         kStageClear = SceneStageClear::kId, kGameOver = SceneGameOver::kId,
                         kEnding = SceneEnding::kId, kTitle = SceneTitle::kId,
                         kOpening = SceneOpening::kId, kRankingView = SceneRanking::kViewId,
                         kNameEntry = SceneRanking::kEntryId,
                         kUserSelect = SceneUserStageSelect::kId;

class Fixture {
  public:
    Fixture();

    std::filesystem::path dir() const { return folder_.dir(); }
    void Write(const std::string& name, const std::string& text) const;
    void WriteStages(const std::string& name, const StageLayout& layout) const;
    // Runs the game for at most `frames` frames with the key script `keys` (its text).
    RunResult Run(int64_t frames, const std::string& keys,
                  const std::vector<std::string>& shots = {},
                  const std::vector<std::string>& gameArguments = {"w"}) const;

  private:
    testing_support::TempDir folder_{"zarp-scenes"};
};

// The folder of this test's own data files (key scripts, example stage sets).
std::filesystem::path SourceDir();
std::filesystem::path ExamplesDir();
// The text of a key script kept in tests/scenes/keys/.
std::string KeyScript(const std::string& name);

}  // namespace zarp::test
