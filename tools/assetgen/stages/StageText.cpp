#include "tools/assetgen/stages/StageText.h"

#include <array>
#include <memory>
#include <sstream>

namespace zarp::stagetext {

namespace {

struct Small {
    char glyph;
    int32_t type;
};
constexpr std::array<Small, 13> kSmall = {{{'#', 5},
                                           {'+', 6},
                                           {'-', 7},
                                           {'x', 8},
                                           {'~', 9},
                                           {'G', 10},
                                           {'>', 11},
                                           {'<', 12},
                                           {'^', 13},
                                           {'v', 14},
                                           {'*', 15},
                                           {'a', 16},
                                           {'b', 17}}};
constexpr std::array<Small, 5> kLarge = {{{'R', 0}, {'M', 1}, {'S', 2}, {'N', 3}, {'I', 4}}};

int32_t TypeOf(const std::array<Small, 13>& table, char c) {
    for (const Small& s : table) {
        if (s.glyph == c) return s.type;
    }
    return -1;
}
int32_t LargeTypeOf(char c) {
    for (const Small& s : kLarge) {
        if (s.glyph == c) return s.type;
    }
    return -1;
}

std::string Trim(const std::string& line) {
    size_t end = line.find_last_not_of(" \t\r");
    if (end == std::string::npos) return "";
    size_t begin = line.find_first_not_of(" \t");
    return line.substr(begin, end - begin + 1);
}

}  // namespace

bool ParseStageText(const std::string& name, const std::string& text, StageText& stage,
                    std::string& error) {
    stage = StageText{};
    std::istringstream in(text);
    std::string raw;
    int32_t lineNo = 0;
    bool haveAngle = false, haveShots = false, inMap = false;
    std::vector<std::string> map;
    std::vector<int32_t> mapLines;
    auto fail = [&](int32_t line, const std::string& what) {
        error = name + ":" + std::to_string(line) + ": " + what;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (inMap) {
            if (static_cast<int32_t>(map.size()) < kRows) {
                if (static_cast<int32_t>(raw.size()) != kColumns)
                    return fail(lineNo, "a map line has exactly 19 characters");
                map.push_back(raw);
                mapLines.push_back(lineNo);
                continue;
            }
            if (!Trim(raw).empty() && Trim(raw)[0] != '#')
                return fail(lineNo, "nothing but comments after the 13 map lines");
            continue;
        }
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "map") {
            inMap = true;
            continue;
        }
        if (key == "teaches") {
            std::string rest;
            std::getline(words, rest);
            stage.teaches = Trim(rest);
            if (stage.teaches.empty()) return fail(lineNo, "\"teaches\" takes a line of text");
            continue;
        }
        int32_t value = 0;
        std::string extra;
        if (!(words >> value) || (words >> extra))
            return fail(lineNo,
                        "expected \"angle DEGREES\", \"shots N\", \"teaches TEXT\" or \"map\"");
        if (key == "angle") {
            if (value < 0 || value >= 360 || value % 2 != 0)
                return fail(lineNo, "the angle is an even number of degrees from 0 to 358");
            stage.startAngle = value / 2;
            haveAngle = true;
        } else if (key == "shots") {
            if (value < 1 || value > 9) return fail(lineNo, "shots are 1 to 9");
            stage.rest = value;
            haveShots = true;
        } else {
            return fail(lineNo, "unknown key \"" + key + "\"");
        }
    }
    if (!haveAngle) return fail(lineNo, "the angle is missing");
    if (!haveShots) return fail(lineNo, "the shots are missing");
    if (static_cast<int32_t>(map.size()) != kRows) return fail(lineNo, "the map has 13 lines");

    std::vector<std::string> used(kRows, std::string(kColumns, ' '));
    bool haveStart = false, haveGoal = false;
    for (int32_t r = 0; r < kRows; ++r) {
        for (int32_t c = 0; c < kColumns; ++c) {
            const char g = map[r][c];
            const int32_t x = kOrigin + kTile * c, y = kOrigin + kTile * r;
            if (used[r][c] == 'x') continue;  // inside a 64 x 64 block
            if (g == '.') continue;
            if (g == '@') {
                if (haveStart) return fail(mapLines[r], "two starts");
                stage.start = {x + 8, y + 8};
                haveStart = true;
                continue;
            }
            if (g == 'o') {
                stage.coins.push_back({x + 8, y + 8});
                continue;
            }
            if (const int32_t large = LargeTypeOf(g); large >= 0) {
                if (c + 1 >= kColumns || r + 1 >= kRows || map[r][c + 1] != g ||
                    map[r + 1][c] != g || map[r + 1][c + 1] != g || used[r][c + 1] == 'x')
                    return fail(mapLines[r], std::string("'") + g +
                                                 "' is a 64 x 64 block: a 2 x 2 square of it");
                used[r][c] = used[r][c + 1] = used[r + 1][c] = used[r + 1][c + 1] = 'x';
                stage.blocks.push_back({x, y, large});
                continue;
            }
            const int32_t type = TypeOf(kSmall, g);
            if (type < 0)
                return fail(mapLines[r], std::string("unknown map character '") + g + "'");
            if (type == 10) haveGoal = true;
            stage.blocks.push_back({x, y, type});
        }
    }
    if (!haveStart) return fail(lineNo, "the map has no start '@'");
    if (!haveGoal) return fail(lineNo, "the map has no goal 'G'");
    if (stage.coins.size() > 48) return fail(lineNo, "at most 48 coins");
    return true;
}

void FillSlot(const StageText& stage, int32_t slot, EditorBlockTable& blocks,
              EditorEntityTable& entities) {
    const auto s = static_cast<size_t>(slot);
    size_t n = 0;
    for (const Block& b : stage.blocks) {
        if (n >= static_cast<size_t>(EditorBlockTable::capacity)) break;
        blocks.x[s][n] = b.x;
        blocks.y[s][n] = b.y;
        blocks.type[s][n] = b.type;
        ++n;
    }
    blocks.count[s] = static_cast<int32_t>(n);
    entities.x[s][0] = stage.start.x;
    entities.y[s][0] = stage.start.y;
    entities.x[s][1] = stage.startAngle;
    entities.y[s][1] = stage.rest;
    n = 2;
    for (const Point& coin : stage.coins) {
        if (n >= static_cast<size_t>(EditorEntityTable::capacity)) break;
        entities.x[s][n] = coin.x;
        entities.y[s][n] = coin.y;
        ++n;
    }
    entities.count[s] = static_cast<int32_t>(n);
}

bool FormatStages(const std::vector<StageText>& stages, std::string& bytes, std::string& error) {
    const auto count = static_cast<int32_t>(stages.size());
    if (count < 1 || count + 1 > kStageSlots) {
        error = "a set holds 1 to " + std::to_string(kStageSlots - 1) + " stages";
        return false;
    }
    const auto blocks = std::make_unique<EditorBlockTable>();
    const auto entities = std::make_unique<EditorEntityTable>();
    for (int32_t i = 0; i < count; ++i) {
        FillSlot(stages[static_cast<size_t>(i)], i + 1, *blocks, *entities);
    }
    // The game reads 17 slots of the built-in set whatever its first line says.
    const int32_t total = count == kBuiltInStageTotal - 1 ? kBuiltInStageTotal : count + 1;
    const StageWriteResult written =
        FormatStageFile(bytes, *blocks, *entities, total, "Zarpane", 1);
    if (!written.ok) {
        error = written.error;
        return false;
    }
    if (!written.warnings.empty()) {
        error = "stage " + std::to_string(written.warnings.front().slot) + " has too many " +
                (written.warnings.front().tooManyCoins ? "coins" : "blocks");
        return false;
    }
    return true;
}

}  // namespace zarp::stagetext
