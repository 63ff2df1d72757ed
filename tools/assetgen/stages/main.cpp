// The stage generator: turns stage maps (assets/stages/*.txt) into a stage file with the shared
// writer. Usage: zarp_stagegen OUTPUT MAP... (the maps fill slots 1, 2, ... in order; slot 0
// stays empty; a built-in set is padded with empty slots to 17).
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/stage/Stage.h"
#include "tools/assetgen/stages/StageText.h"

namespace {

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zarp;
    if (argc < 3) {
        std::fprintf(stderr, "usage: zarp_stagegen OUTPUT MAP...\n");
        return 2;
    }
    const int32_t stages = argc - 2;
    if (stages + 1 > kStageSlots) {
        std::fprintf(stderr, "zarp_stagegen: at most %d stages\n", kStageSlots - 1);
        return 2;
    }
    const auto blocks = std::make_unique<EditorBlockTable>();
    const auto entities = std::make_unique<EditorEntityTable>();
    for (int32_t slot = 1; slot <= stages; ++slot) {
        const std::string path = argv[slot + 1];
        std::string text, error;
        stagetext::StageText stage;
        if (!ReadText(path, text)) {
            std::fprintf(stderr, "zarp_stagegen: %s cannot be read\n", path.c_str());
            return 1;
        }
        if (!stagetext::ParseStageText(path, text, stage, error)) {
            std::fprintf(stderr, "zarp_stagegen: %s\n", error.c_str());
            return 1;
        }
        const auto s = static_cast<size_t>(slot);
        int32_t n = 0;
        for (const stagetext::Block& b : stage.blocks) {
            blocks->x[s][n] = b.x;
            blocks->y[s][n] = b.y;
            blocks->type[s][n] = b.type;
            ++n;
        }
        blocks->count[s] = n;
        entities->x[s][0] = stage.start.x;
        entities->y[s][0] = stage.start.y;
        entities->x[s][1] = stage.startAngle;
        entities->y[s][1] = stage.rest;
        n = 2;
        for (const stagetext::Point& coin : stage.coins) {
            entities->x[s][n] = coin.x;
            entities->y[s][n] = coin.y;
            ++n;
        }
        entities->count[s] = n;
    }
    // The game reads 17 slots of the built-in set whatever its first line says.
    const int32_t total = stages == kBuiltInStageTotal - 1 ? kBuiltInStageTotal : stages + 1;
    const StageWriteResult written =
        WriteStageFile(argv[1], *blocks, *entities, total, "Zarpane", 1);
    if (!written.ok) {
        std::fprintf(stderr, "zarp_stagegen: %s\n", written.error.c_str());
        return 1;
    }
    for (const StageWarning& warning : written.warnings) {
        std::fprintf(stderr, "zarp_stagegen: stage %d: too many %s\n", warning.slot,
                     warning.tooManyCoins ? "coins" : "blocks");
        return 1;
    }
    return 0;
}
