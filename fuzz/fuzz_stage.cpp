// The stage reader as both programs use it: the bytes are split into lines and read into the
// game's tables (built-in and user set) and the editor's; a set the editor accepts is written
// out again and must read back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/stage/Stage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = zarp::SplitStageLines(bytes);

    auto gameBlocks = std::make_unique<zarp::GameBlockTable>();
    auto gameEntities = std::make_unique<zarp::GameEntityTable>();
    zarp::ReadStageLines("fuzz.zrp", lines, *gameBlocks, *gameEntities, /*builtIn=*/false);
    zarp::ReadStageLines("stage.dat", lines, *gameBlocks, *gameEntities, /*builtIn=*/true);

    auto blocks = std::make_unique<zarp::EditorBlockTable>();
    auto entities = std::make_unique<zarp::EditorEntityTable>();
    const zarp::StageReadResult read = zarp::ReadStageLines("fuzz.zrp", lines, *blocks, *entities);
    if (!read.ok) return 0;

    // What the editor saves from a set it opened, it must be able to open again.
    std::string text;
    const zarp::StageWriteResult written =
        zarp::FormatStageFile(text, *blocks, *entities, read.stageTotal, read.author, 1);
    if (!written.ok) return 0;
    auto againBlocks = std::make_unique<zarp::EditorBlockTable>();
    auto againEntities = std::make_unique<zarp::EditorEntityTable>();
    const zarp::StageReadResult again = zarp::ReadStageLines(
        "again.zrp", zarp::SplitStageLines(text), *againBlocks, *againEntities);
    if (!again.ok || again.stageTotal != read.stageTotal) __builtin_trap();
    return 0;
}
