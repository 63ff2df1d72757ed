// Stage sets: the in-memory stage tables and the one reader and writer of stage files
// that the game, the editor and zrptool share.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarp {

// Both programs hold 21 slots (slot 0 is never played), so a set of 20 playable stages fits.
inline constexpr int32_t kStageSlots = 21;
inline constexpr int32_t kGameBlocksPerSlot = 400;
inline constexpr int32_t kGameEntitiesPerSlot = 50;
inline constexpr int32_t kEditorEntriesPerSlot = 500;
inline constexpr int32_t kBuiltInStageTotal = 17;
inline constexpr int32_t kEmptyMarker = 999;  // x (and y, type) of an entry the editor erased
// What every slot of a new editor document holds: the ball's start and the stage settings
// (start angle in units of 2 degrees, shots).
inline constexpr int32_t kDefaultStartX = 32;
inline constexpr int32_t kDefaultStartY = 32;
inline constexpr int32_t kDefaultStartAngle = 0;
inline constexpr int32_t kDefaultShots = 5;

template <int32_t Capacity>
struct BlockTable {
    static constexpr int32_t capacity = Capacity;
    std::array<std::array<int32_t, Capacity>, kStageSlots> x{}, y{}, type{};
    std::array<int32_t, kStageSlots> count{};
};

template <int32_t Capacity>
struct EntityTable {
    static constexpr int32_t capacity = Capacity;
    std::array<std::array<int32_t, Capacity>, kStageSlots> x{}, y{};
    std::array<int32_t, kStageSlots> count{};
};

using GameBlockTable = BlockTable<kGameBlocksPerSlot>;
using GameEntityTable = EntityTable<kGameEntitiesPerSlot>;
using EditorBlockTable = BlockTable<kEditorEntriesPerSlot>;
using EditorEntityTable = EntityTable<kEditorEntriesPerSlot>;

// Every slot as a new editor document has it: no blocks (all entries zero), the start and the
// settings as above, entity count 2.
void ResetEditorTables(EditorBlockTable& blocks, EditorEntityTable& entities);

// Block size on the field: types 0 to 4 are 64 x 64, all others 32 x 32.
constexpr int32_t BlockSize(int32_t type) {
    return type >= 0 && type <= 4 ? 64 : 32;
}

struct StageReadResult {
    bool ok = false;
    std::string error;                  // "FILE:LINE: what was expected" when !ok
    std::vector<std::string> warnings;  // records dropped beyond a slot's capacity, ...
    int32_t stageTotal = 0;             // as stored in the tables (17 for the built-in set)
    std::string author;                 // the author line, bytes as in the file
    bool byteOrderMark = false;         // the file began with a UTF-8 byte order mark (skipped)
};

// The game's reading of a set. builtIn: stageTotal becomes 17 whatever line 0 says.
StageReadResult ReadStageFile(const std::string& path, GameBlockTable& blocks,
                              GameEntityTable& entities, bool builtIn);
// The editor's reading: a slot without entity entries gets the start (32, 32) and settings (0, 5).
StageReadResult ReadStageFile(const std::string& path, EditorBlockTable& blocks,
                              EditorEntityTable& entities);

struct StageWarning {
    int32_t slot = 0;
    bool tooManyCoins = false;  // false: too many blocks
    std::string text;           // the Japanese message the editor shows
};

struct StageWriteResult {
    bool ok = false;
    std::string error;  // the path and the system's message when !ok
    std::vector<StageWarning> warnings;
};

// The editor's writer: compacts erased entries, empties slot 0, CR LF line ends, written by
// temporary file + rename. A warning lowers the counts of `currentStage` by one as the editor does.
StageWriteResult WriteStageFile(const std::string& path, EditorBlockTable& blocks,
                                EditorEntityTable& entities, int32_t stageTotal,
                                const std::string& author, int32_t currentStage);

// The pieces of the two functions above, over bytes and lines in memory (tests, fuzzing, zrptool).

// Splits file bytes into lines at CR LF, a lone CR or a lone LF; a line end at the very end adds
// no empty line, and an empty file has no lines. A UTF-8 byte order mark in front is skipped.
std::vector<std::string> SplitStageLines(const std::string& bytes);
// A whole number as the stage format writes it: an optional '-' and at least one digit, nothing
// else (no '+', no spaces), within int32.
bool ParseStageInt(const std::string& text, int32_t& value);
// The readers over loaded lines; `name` stands for the file in messages. On rejection the tables
// are left exactly as they were.
StageReadResult ReadStageLines(const std::string& name, const std::vector<std::string>& lines,
                               GameBlockTable& blocks, GameEntityTable& entities, bool builtIn);
StageReadResult ReadStageLines(const std::string& name, const std::vector<std::string>& lines,
                               EditorBlockTable& blocks, EditorEntityTable& entities);
// The writer's bytes without touching the disk, with the same warnings and count changes as
// WriteStageFile. Fails (tables untouched) when stageTotal is outside 2 to kStageSlots.
StageWriteResult FormatStageFile(std::string& text, EditorBlockTable& blocks,
                                 EditorEntityTable& entities, int32_t stageTotal,
                                 const std::string& author, int32_t currentStage);

}  // namespace zarp
