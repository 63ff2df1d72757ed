// The stage reader as both programs use it: the bytes are split into lines and read into the
// game's tables (built-in and user set) and the editor's; a set the editor accepts is written
// out again in memory and must read back with its stage total and author.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/stage/Stage.h"

namespace {

// The tables live as long as the run, as the programs' own do: a read fills the slots it has and
// leaves the others as they were.
template <typename Table>
Table& Kept() {
    static auto* table = new Table{};
    return *table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = zarp::SplitStageLines(bytes);

    auto& gameBlocks = Kept<zarp::GameBlockTable>();
    auto& gameEntities = Kept<zarp::GameEntityTable>();
    zarp::ReadStageLines("fuzz.zrp", lines, gameBlocks, gameEntities, /*builtIn=*/false);
    zarp::ReadStageLines("stage.dat", lines, gameBlocks, gameEntities, /*builtIn=*/true);

    auto& blocks = Kept<zarp::EditorBlockTable>();
    auto& entities = Kept<zarp::EditorEntityTable>();
    const zarp::StageReadResult read = zarp::ReadStageLines("fuzz.zrp", lines, blocks, entities);
    if (!read.ok) return 0;

    // What the editor saves from a set it opened, it must be able to open again.
    std::string text;
    const zarp::StageWriteResult written =
        zarp::FormatStageFile(text, blocks, entities, read.stageTotal, read.author, 1);
    if (!written.ok) return 0;
    struct Again {
        zarp::EditorBlockTable blocks;
        zarp::EditorEntityTable entities;
    };
    auto& again = Kept<Again>();
    const zarp::StageReadResult reread = zarp::ReadStageLines(
        "again.zrp", zarp::SplitStageLines(text), again.blocks, again.entities);
    if (!reread.ok || reread.stageTotal != read.stageTotal || reread.author != read.author) {
        __builtin_trap();
    }
    // The writer never puts a byte order mark in front, whatever the input began with.
    if (text.starts_with("\xEF\xBB\xBF")) __builtin_trap();
    return 0;
}
