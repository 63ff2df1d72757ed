#include "common/stage/Stage.h"

#include <algorithm>
#include <limits>

#include "common/paths/AtomicFile.h"
#include "common/text/Utf8.h"

namespace zarp {
namespace {

constexpr const char* kTerminator = "*";
constexpr const char* kMarker = "## other data";
constexpr int32_t kMinStageTotal = 2;
constexpr int32_t kFillerLines = 5;
// A full set of 21 slots of 500 blocks and 500 entries is well under a megabyte; anything far
// larger is not a stage file and is refused before it fills memory.
constexpr size_t kMaxStageFileBytes = 16 * 1024 * 1024;

// A short, printable excerpt of a line for messages: control bytes and bytes above 0x7E become
// '?', and long lines are cut.
std::string Excerpt(const std::string& line) {
    constexpr size_t kMax = 24;
    std::string out = "\"";
    for (size_t i = 0; i < line.size() && i < kMax; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    if (line.size() > kMax) out += "...";
    return out + "\"";
}

// "stage N" in a message; messages are put together only for the line that fails.
std::string StageLabel(int32_t slot) {
    return "stage " + std::to_string(slot);
}

struct ParsedSlot {
    std::vector<std::array<int32_t, 3>> blocks;
    std::vector<std::array<int32_t, 2>> entities;
    int64_t droppedBlocks = 0;
    int64_t droppedEntities = 0;
};

// Walks the lines as the format says, keeping at most the given capacities per slot. Never reads
// past the lines: a missing line is a rejection naming the line it expected.
class Parser {
  public:
    Parser(const std::string& name, const std::vector<std::string>& lines)
        : name_(name), lines_(lines) {}

    bool Fail(size_t index, const std::string& expected) {
        const std::string found =
            index < lines_.size() ? Excerpt(lines_[index]) : std::string("the end of the file");
        error =
            name_ + ":" + std::to_string(index + 1) + ": expected " + expected + ", found " + found;
        return false;
    }

    bool Number(size_t index, int32_t& value) const {
        return index < lines_.size() && ParseStageInt(lines_[index], value);
    }

    bool Run(bool builtIn, size_t blockCapacity, size_t entityCapacity) {
        int32_t total = 0;
        const auto totalText = [] {
            return "the number of stages, a whole number from " + std::to_string(kMinStageTotal) +
                   " to " + std::to_string(kStageSlots);
        };
        if (!Number(0, total)) return Fail(0, totalText());
        if (builtIn) {
            total = kBuiltInStageTotal;
        } else if (total < kMinStageTotal || total > kStageSlots) {
            return Fail(0, totalText());
        }
        if (lines_.size() < 2) return Fail(1, "the author line");
        stageTotal = total;
        author = lines_[1];
        slots.assign(static_cast<size_t>(total), {});

        // Blocks: a running triple index across all slots; a triple starting with "*" ends a slot.
        size_t line = 2;
        for (int32_t s = 0; s < total; ++s) {
            ParsedSlot& slot = slots[static_cast<size_t>(s)];
            for (;;) {
                if (line < lines_.size() && lines_[line] == kTerminator) {
                    line += 3;
                    break;
                }
                std::array<int32_t, 3> block{};
                if (!Number(line, block[0])) {
                    return Fail(line, "a block x or \"*\" ending the blocks of " + StageLabel(s));
                }
                if (!Number(line + 1, block[1])) {
                    return Fail(line + 1, "the y of a block of " + StageLabel(s));
                }
                if (!Number(line + 2, block[2])) {
                    return Fail(line + 2, "the type of a block of " + StageLabel(s));
                }
                line += 3;
                if (slot.blocks.size() < blockCapacity) {
                    slot.blocks.push_back(block);
                } else {
                    ++slot.droppedBlocks;
                }
            }
        }

        // The marker is searched from the author line on, whatever the block section held.
        size_t marker = 1;
        while (marker < lines_.size() && lines_[marker] != kMarker)
            ++marker;
        if (marker >= lines_.size()) {
            return Fail(lines_.size(), "the line \"" + std::string(kMarker) + "\"");
        }

        // Entity entries: a running pair index; a pair starting with "*" ends a slot.
        line = marker + 1;
        for (int32_t s = 0; s < total; ++s) {
            ParsedSlot& slot = slots[static_cast<size_t>(s)];
            for (;;) {
                if (line < lines_.size() && lines_[line] == kTerminator) {
                    line += 2;
                    break;
                }
                std::array<int32_t, 2> entry{};
                if (!Number(line, entry[0])) {
                    return Fail(line, "an entry x or \"*\" ending the entries of " + StageLabel(s));
                }
                if (!Number(line + 1, entry[1])) {
                    return Fail(line + 1, "the y of an entry of " + StageLabel(s));
                }
                line += 2;
                if (slot.entities.size() < entityCapacity) {
                    slot.entities.push_back(entry);
                } else {
                    ++slot.droppedEntities;
                }
            }
        }
        return true;
    }

    std::string error;
    int32_t stageTotal = 0;
    std::string author;
    std::vector<ParsedSlot> slots;

  private:
    const std::string& name_;
    const std::vector<std::string>& lines_;
};

template <typename Blocks, typename Entities>
StageReadResult ReadLines(const std::string& name, const std::vector<std::string>& lines,
                          Blocks& blocks, Entities& entities, bool builtIn, bool editorDefaults) {
    StageReadResult result;
    Parser parser(name, lines);
    if (!parser.Run(builtIn, Blocks::capacity, Entities::capacity)) {
        result.error = parser.error;
        return result;
    }
    // Fill slots 0 to stageTotal - 1 only; later slots keep what they held.
    for (size_t s = 0; s < parser.slots.size(); ++s) {
        const ParsedSlot& slot = parser.slots[s];
        const auto stage = [&name, s] {
            return name + ": " + StageLabel(static_cast<int32_t>(s)) + ": ";
        };
        for (size_t i = 0; i < slot.blocks.size(); ++i) {
            blocks.x[s][i] = slot.blocks[i][0];
            blocks.y[s][i] = slot.blocks[i][1];
            blocks.type[s][i] = slot.blocks[i][2];
        }
        blocks.count[s] = static_cast<int32_t>(slot.blocks.size());
        for (size_t i = 0; i < slot.entities.size(); ++i) {
            entities.x[s][i] = slot.entities[i][0];
            entities.y[s][i] = slot.entities[i][1];
        }
        entities.count[s] = static_cast<int32_t>(slot.entities.size());
        if (editorDefaults && slot.entities.empty()) {
            entities.x[s][0] = kDefaultStartX;
            entities.y[s][0] = kDefaultStartY;
            entities.x[s][1] = kDefaultStartAngle;
            entities.y[s][1] = kDefaultShots;
            entities.count[s] = 2;
        }
        if (slot.droppedBlocks > 0) {
            result.warnings.push_back(stage() + std::to_string(slot.droppedBlocks) +
                                      " blocks beyond the " + std::to_string(Blocks::capacity) +
                                      " a stage holds were dropped");
        }
        if (slot.droppedEntities > 0) {
            result.warnings.push_back(
                stage() + std::to_string(slot.droppedEntities) + " entries (coins) beyond the " +
                std::to_string(Entities::capacity) + " a stage holds were dropped");
        }
    }
    result.ok = true;
    result.stageTotal = parser.stageTotal;
    result.author = parser.author;
    return result;
}

template <typename Blocks, typename Entities>
StageReadResult ReadFile(const std::string& path, Blocks& blocks, Entities& entities, bool builtIn,
                         bool editorDefaults) {
    std::string bytes;
    std::string error;
    if (ReadWholeFile(path, bytes, &error, kMaxStageFileBytes) != ReadStatus::ok) {
        StageReadResult result;
        result.error = error;
        return result;
    }
    StageReadResult result =
        ReadLines(path, SplitStageLines(bytes), blocks, entities, builtIn, editorDefaults);
    result.byteOrderMark = StartsWithUtf8ByteOrderMark(bytes);
    return result;
}

void AddLine(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

}  // namespace

void ResetEditorTables(EditorBlockTable& blocks, EditorEntityTable& entities) {
    for (int32_t s = 0; s < kStageSlots; ++s) {
        blocks.count[s] = 0;
        blocks.x[s].fill(0);
        blocks.y[s].fill(0);
        blocks.type[s].fill(0);
        entities.count[s] = 2;
        entities.x[s][0] = kDefaultStartX;
        entities.y[s][0] = kDefaultStartY;
        entities.x[s][1] = kDefaultStartAngle;
        entities.y[s][1] = kDefaultShots;
    }
}

std::vector<std::string> SplitStageLines(const std::string& bytes) {
    std::vector<std::string> lines;
    // A UTF-8 byte order mark (Windows editors write one) is not part of the first line.
    size_t start = StartsWithUtf8ByteOrderMark(bytes) ? kUtf8ByteOrderMark.size() : 0;
    size_t i = start;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes, start, i - start);
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) lines.emplace_back(bytes, start, bytes.size() - start);
    return lines;
}

bool ParseStageInt(const std::string& text, int32_t& value) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    if (i >= text.size()) return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) {
            return false;
        }
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(result);
    return true;
}

StageReadResult ReadStageLines(const std::string& name, const std::vector<std::string>& lines,
                               GameBlockTable& blocks, GameEntityTable& entities, bool builtIn) {
    return ReadLines(name, lines, blocks, entities, builtIn, false);
}

StageReadResult ReadStageLines(const std::string& name, const std::vector<std::string>& lines,
                               EditorBlockTable& blocks, EditorEntityTable& entities) {
    return ReadLines(name, lines, blocks, entities, false, true);
}

StageReadResult ReadStageFile(const std::string& path, GameBlockTable& blocks,
                              GameEntityTable& entities, bool builtIn) {
    return ReadFile(path, blocks, entities, builtIn, false);
}

StageReadResult ReadStageFile(const std::string& path, EditorBlockTable& blocks,
                              EditorEntityTable& entities) {
    return ReadFile(path, blocks, entities, false, true);
}

StageWriteResult FormatStageFile(std::string& text, EditorBlockTable& blocks,
                                 EditorEntityTable& entities, int32_t stageTotal,
                                 const std::string& author, int32_t currentStage) {
    StageWriteResult result;
    if (stageTotal < kMinStageTotal || stageTotal > kStageSlots) {
        result.error = "the number of stages " + std::to_string(stageTotal) + " is outside " +
                       std::to_string(kMinStageTotal) + " to " + std::to_string(kStageSlots);
        return result;
    }
    blocks.count[0] = 0;
    entities.count[0] = 0;

    std::string out;
    AddLine(out, std::to_string(stageTotal));
    // A line break inside the author would shift every following line of the file.
    std::string authorLine = author;
    std::replace(authorLine.begin(), authorLine.end(), '\r', ' ');
    std::replace(authorLine.begin(), authorLine.end(), '\n', ' ');
    AddLine(out, authorLine);

    for (int32_t s = 0; s < stageTotal; ++s) {
        const int32_t n = std::clamp(blocks.count[s], 0, EditorBlockTable::capacity);
        int32_t emitted = 0;
        for (int32_t i = 0; i < n; ++i) {
            if (blocks.x[s][i] == kEmptyMarker) continue;
            AddLine(out, std::to_string(blocks.x[s][i]));
            AddLine(out, std::to_string(blocks.y[s][i]));
            AddLine(out, std::to_string(blocks.type[s][i]));
            ++emitted;
        }
        for (int i = 0; i < 3; ++i)
            AddLine(out, kTerminator);
        if (emitted > kGameBlocksPerSlot) {
            result.warnings.push_back(
                {s, false,
                 "ステージ" + std::to_string(s) + "はブロックが多すぎるので、減らしてください"});
        }
    }
    for (int i = 0; i < kFillerLines; ++i)
        AddLine(out, kTerminator);
    AddLine(out, kMarker);
    for (int32_t s = 0; s < stageTotal; ++s) {
        const int32_t n = std::clamp(entities.count[s], 0, EditorEntityTable::capacity);
        int32_t emitted = 0;
        for (int32_t i = 0; i < n; ++i) {
            if (entities.x[s][i] == kEmptyMarker) continue;
            AddLine(out, std::to_string(entities.x[s][i]));
            AddLine(out, std::to_string(entities.y[s][i]));
            ++emitted;
        }
        for (int i = 0; i < 2; ++i)
            AddLine(out, kTerminator);
        if (emitted > kGameEntitiesPerSlot) {
            result.warnings.push_back(
                {s, true,
                 "ステージ" + std::to_string(s) + "はコインが多すぎるので、減らしてください"});
        }
    }

    // Every warning takes one entry off the stage being edited. This happens after the text is
    // complete, so the file always holds every record. The player's start and the stage
    // settings are never taken: without them the next save would lose the stage's settings.
    if (currentStage >= 0 && currentStage < kStageSlots) {
        for (const StageWarning& warning : result.warnings) {
            int32_t& count =
                warning.tooManyCoins ? entities.count[currentStage] : blocks.count[currentStage];
            const int32_t floor = warning.tooManyCoins ? std::min(count, 2) : 0;
            count = std::max(floor, count - 1);
        }
    }
    text = std::move(out);
    result.ok = true;
    return result;
}

StageWriteResult WriteStageFile(const std::string& path, EditorBlockTable& blocks,
                                EditorEntityTable& entities, int32_t stageTotal,
                                const std::string& author, int32_t currentStage) {
    std::string text;
    StageWriteResult result =
        FormatStageFile(text, blocks, entities, stageTotal, author, currentStage);
    if (!result.ok) {
        result.error = path + ": " + result.error;
        return result;
    }
    std::string error;
    if (!WriteFileAtomically(path, text, &error)) {
        result.ok = false;
        result.error = error;
    }
    return result;
}

}  // namespace zarp
