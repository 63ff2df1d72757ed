// zrptool check: reads each file as the game reads a user set and reports what it holds.
#include <array>
#include <memory>

#include "common/stage/BlockTypes.h"
#include "common/stage/Stage.h"
#include "common/text/Utf8.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

// The playing field: 19 x 13 tiles of 32 pixels from (16, 16).
constexpr int32_t kFieldLeft = 16;
constexpr int32_t kFieldTop = 16;
constexpr int32_t kFieldRight = 624;   // exclusive
constexpr int32_t kFieldBottom = 432;  // exclusive
constexpr int32_t kGoalType = 10;
constexpr int32_t kBallSize = 16;
constexpr int32_t kCoinSize = 16;
constexpr int32_t kMinShots = 1;
constexpr int32_t kMaxShots = 9;

bool OnField(int32_t x, int32_t y, int32_t size) {
    const auto left = static_cast<int64_t>(x);
    const auto top = static_cast<int64_t>(y);
    return left >= kFieldLeft && top >= kFieldTop && left + size <= kFieldRight &&
           top + size <= kFieldBottom;
}

std::string Point(int32_t x, int32_t y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// One file; true when the game would accept it.
bool CheckFile(const std::string& path, std::ostream& out, std::ostream& err) {
    const auto blocks = std::make_unique<GameBlockTable>();
    const auto entities = std::make_unique<GameEntityTable>();
    const StageReadResult read = ReadStageFile(path, *blocks, *entities, false);
    if (!read.ok) {
        err << read.error << "\n";
        return false;
    }
    std::vector<std::string> warnings = read.warnings;
    auto warn = [&](int32_t s, const std::string& text) {
        warnings.push_back(path + ": stage " + std::to_string(s) + ": " + text);
    };

    if (read.byteOrderMark) {
        warnings.push_back(path + ": the file begins with a UTF-8 byte order mark, which the " +
                           "readers skip and the editor does not write");
    }
    // Printable ASCII and UTF-8 as they are, any other byte (control bytes, Shift-JIS) as \xNN,
    // so the output stays one clean line.
    out << path << ": stageTotal " << read.stageTotal << ", author \""
        << PrintableBytes(read.author) << "\"\n";
    for (int32_t s = 1; s < read.stageTotal; ++s) {
        const int32_t blockCount = blocks->count[s];
        const int32_t entryCount = entities->count[s];
        out << "  stage " << s << ": blocks " << blockCount << ", coins "
            << std::max(0, entryCount - 2);
        if (entryCount >= 1) {
            out << ", start " << Point(entities->x[s][0], entities->y[s][0]);
        } else {
            out << ", start none";
        }
        if (entryCount >= 2) {
            out << ", angle " << static_cast<int64_t>(entities->x[s][1]) * 2 << ", shots "
                << entities->y[s][1];
        } else {
            out << ", angle none, shots none";
        }
        out << "\n";

        bool goal = false;
        std::array<int32_t, kBlockTypeCount> byType{};
        for (int32_t i = 0; i < blockCount; ++i) {
            const int32_t x = blocks->x[s][i];
            const int32_t y = blocks->y[s][i];
            const int32_t type = blocks->type[s][i];
            const std::string block = "block " + std::to_string(i + 1) + " at " + Point(x, y);
            const BlockTypeInfo* info = BlockTypeOf(type);
            if (!info) {
                warn(s, block + " has the unknown type " + std::to_string(type));
            } else {
                byType[static_cast<size_t>(type)] += 1;
                if (!OnField(x, y, info->size)) {
                    warn(s, block + " (" + std::string(info->name) + ") lies off the field");
                }
            }
            goal = goal || type == kGoalType;
        }
        // The blocks by type, named: "    12 Steel, 4 Needles, 1 Goal".
        std::string kinds;
        for (const BlockTypeInfo& info : kBlockTypes) {
            const int32_t n = byType[static_cast<size_t>(info.type)];
            if (n == 0) continue;
            kinds +=
                (kinds.empty() ? "    " : ", ") + std::to_string(n) + " " + std::string(info.name);
        }
        if (!kinds.empty()) out << kinds << "\n";
        if (entryCount < 2) {
            warn(s, "no start and settings entries; the game cannot play this stage");
        } else {
            if (!OnField(entities->x[s][0], entities->y[s][0], kBallSize)) {
                warn(s, "the start " + Point(entities->x[s][0], entities->y[s][0]) +
                            " lies off the field");
            }
            const int32_t shots = entities->y[s][1];
            if (shots < kMinShots || shots > kMaxShots) {
                warn(s, "shots " + std::to_string(shots) + " outside " + std::to_string(kMinShots) +
                            " to " + std::to_string(kMaxShots));
            }
        }
        for (int32_t i = 2; i < entryCount; ++i) {
            if (!OnField(entities->x[s][i], entities->y[s][i], kCoinSize)) {
                warn(s, "coin " + std::to_string(i - 1) + " at " +
                            Point(entities->x[s][i], entities->y[s][i]) + " lies off the field");
            }
        }
        if (!goal) warn(s, "no goal (a Goal block, type 10)");
    }
    for (const std::string& warning : warnings)
        out << "warning: " << warning << "\n";
    return true;
}

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "zrptool check: no file given; usage: zrptool check FILE...\n";
        return kExitUsage;
    }
    bool allAccepted = true;
    for (const std::string& path : args)
        allAccepted = CheckFile(path, out, err) && allAccepted;
    return allAccepted ? kExitOk : kExitFailed;
}

}  // namespace

Command CheckCommand() {
    return {
        "check", "FILE...",
        "    Reads each file as the game reads a user set. For an accepted file it prints\n"
        "      FILE: stageTotal N, author \"TEXT\"\n"
        "    then one line per playable stage\n"
        "        stage S: blocks B, coins C, start (X, Y), angle DEGREES, shots R\n"
        "    (\"none\" for a start or settings entry the stage lacks) and, for a stage with\n"
        "    blocks, how many of each type (\"12 Steel, 4 Needles, 1 Goal\"), then one line\n"
        "    per problem the game tolerates\n"
        "      warning: FILE: stage S: TEXT\n"
        "    (records beyond the game's 400 blocks or 50 entries per stage, dropped; blocks\n"
        "    of unknown type; blocks, coins or the start off the field; shots outside 1 to 9;\n"
        "    a stage without a goal or without start and settings). Blocks and coins count\n"
        "    from 1. In the author, every byte that is not printable ASCII or part of printable\n"
        "    UTF-8 shows as \\xNN, and so do \\ and \". A UTF-8 byte order mark in front of the\n"
        "    file is skipped, with a warning.\n"
        "    A rejected file prints \"FILE:LINE: what was expected, found ...\" on standard\n"
        "    error. Exit 0 when every file is accepted, else 1.\n",
        RunCheck};
}

}  // namespace zarp::zrptool
