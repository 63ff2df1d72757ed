// zarp_legend: the README's legend of the block types, made from the game itself. Each type is
// painted as the stage start paints a stage (PaintStageField, over the field's tile, from the
// game's own block sheet and palette.dat) and written as a 64 x 64 PNG (32-pixel blocks drawn
// twice their size); the legend's Markdown table comes from the table of block types.
//
//   zarp_legend PALETTE OUT_DIR    writes OUT_DIR/block00.png ... block17.png and legend.md
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/image/Png.h"
#include "common/stage/BlockTypes.h"
#include "game/media/MediaDevices.h"
#include "game/platform/headless/Headless.h"
#include "game/play/Physics.h"
#include "game/play/SceneStageStart.h"
#include "game/shell/Form.h"

namespace {

using namespace zarp;

constexpr int32_t kPictureSize = 64;
constexpr int32_t kAt = 16;  // where the block is painted: the field's first tile

// The picture of one block type, as the stage start paints it over the field.
bool WriteBlock(MediaDevices& media, const Surface& sheet, const BlockTypeInfo& info,
                const std::string& path, std::string* error) {
    SurfacePtr field = media.CreateSurface(640, 480);
    if (!field) {
        *error = "no surface to paint on";
        return false;
    }
    std::array<int32_t, 1> x{kAt}, y{kAt}, type{info.type};
    StageSlotView stage;
    stage.blockX = x.data();
    stage.blockY = y.data();
    stage.blockType = type.data();
    stage.blockCount = 1;
    PaintStageField(*field, &sheet, stage);
    const platform::Palette& colours = media.PaletteInForce();
    const int32_t scale = kPictureSize / info.size;
    std::vector<uint8_t> rgb(static_cast<size_t>(kPictureSize) * kPictureSize * 3);
    for (int32_t v = 0; v < kPictureSize; ++v) {
        for (int32_t u = 0; u < kPictureSize; ++u) {
            const platform::PaletteEntry& c = colours[field->At(kAt + u / scale, kAt + v / scale)];
            const size_t at = (static_cast<size_t>(v) * kPictureSize + u) * 3;
            rgb[at] = c.red;
            rgb[at + 1] = c.green;
            rgb[at + 2] = c.blue;
        }
    }
    return WritePngRgb(path, kPictureSize, kPictureSize, rgb, error);
}

// The legend as the README shows it: one row per type, its picture and its line.
std::string LegendTable() {
    std::string text = "| | Block | What it does |\n|---|---|---|\n";
    for (const BlockTypeInfo& info : kBlockTypes) {
        char picture[96];
        std::snprintf(picture, sizeof picture, "![%s](docs/blocks/block%02d.png)",
                      std::string(info.name).c_str(), info.type);
        text += "| " + std::string(picture) + " | " + std::string(info.name) + " (type " +
                std::to_string(info.type) + ") | " + std::string(info.effect) + " |\n";
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zarp_legend PALETTE OUT_DIR\n");
        return 2;
    }
    const std::string palette = argv[1], out = argv[2];
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    auto machine = std::make_unique<headless::Machine>();
    auto form =
        std::make_unique<TForm1>(machine->platform, std::string("./"), std::vector<std::string>{});
    MediaDevices& media = form->media.MediaDevices;
    if (!media.CreateDisplay(false) || !media.LoadPalette(palette)) {
        std::fprintf(stderr, "zarp_legend: cannot set up the display with %s\n", palette.c_str());
        return 1;
    }
    const SurfacePtr sheet = media.LoadSheet("block");
    if (!sheet) {
        std::fprintf(stderr, "zarp_legend: the game has no block sheet\n");
        return 1;
    }
    std::string error;
    for (const BlockTypeInfo& info : kBlockTypes) {
        char name[32];
        std::snprintf(name, sizeof name, "/block%02d.png", info.type);
        if (!WriteBlock(media, *sheet, info, out + name, &error)) {
            std::fprintf(stderr, "zarp_legend: %s\n", error.c_str());
            return 1;
        }
    }
    std::ofstream legend(out + "/legend.md", std::ios::binary);
    legend << LegendTable();
    if (!legend.flush()) {
        std::fprintf(stderr, "zarp_legend: cannot write %s/legend.md\n", out.c_str());
        return 1;
    }
    return 0;
}
