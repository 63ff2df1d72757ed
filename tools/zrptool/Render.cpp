// zrptool render: a stage as the game shows it when play begins (the field, the blocks, the
// coins, the status line, the ball and the aiming marker at the start angle), as a PNG. The
// game's own stage start and first play frame paint it, on a platform with no window, sound or
// keys.
#include <charconv>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "common/image/Png.h"
#include "common/paths/Paths.h"
#include "common/stage/Stage.h"
#include "game/platform/headless/Headless.h"
#include "game/shell/Form.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

namespace fs = std::filesystem;

std::optional<int32_t> ParseStage(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// palette.dat: given with --palette, else beside the stage file, in the current folder, or
// with zrptool's own data (beside it in the ready-to-run folder, in ../share/zarpane installed).
std::optional<std::string> FindPalette(const std::string& given, const std::string& stageFile) {
    if (!given.empty()) return given;
    std::error_code ec;
    std::vector<fs::path> candidates;
    candidates.push_back(fs::path(stageFile).parent_path() / "palette.dat");
    candidates.push_back(fs::path("palette.dat"));
    candidates.push_back(fs::path(FindLayout(ProgramFolder()).dataFolder) / "palette.dat");
    for (const fs::path& candidate : candidates) {
        if (fs::is_regular_file(candidate, ec)) return candidate.string();
    }
    return std::nullopt;
}

int Render(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> positional;
    std::string paletteFile;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--palette" && i + 1 < args.size()) {
            paletteFile = args[++i];
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 3) {
        err << "zrptool render: usage: zrptool render [--palette FILE] FILE STAGE OUT.png\n";
        return kExitUsage;
    }
    const std::string& stageFile = positional[0];
    const std::optional<int32_t> stage = ParseStage(positional[1]);
    const std::string& outFile = positional[2];
    if (!stage) {
        err << "zrptool render: the stage number \"" << positional[1] << "\" is not a number\n";
        return kExitUsage;
    }
    const std::optional<std::string> palette = FindPalette(paletteFile, stageFile);
    if (!palette) {
        err << "zrptool render: no palette.dat beside " << stageFile
            << ", in the current folder or beside zrptool; give one with --palette FILE\n";
        return kExitFailed;
    }

    // A machine with nothing attached: time jumps to every deadline, no key is ever down.
    auto machine = std::make_unique<headless::Machine>();
    auto form =
        std::make_unique<TForm1>(machine->platform, std::string("./"), std::vector<std::string>{});
    MediaDevices& media = form->media.MediaDevices;
    if (!media.CreateDisplay(false)) {
        err << "zrptool render: no display surfaces\n";
        return kExitFailed;
    }
    if (!media.LoadPalette(*palette)) {
        err << "zrptool render: cannot read the palette " << *palette << "\n";
        return kExitFailed;
    }
    form->media.playerSheet = media.LoadSheet("player");
    form->media.coinSheet = media.LoadSheet("coin");
    form->media.blockSheet = media.LoadSheet("block");
    form->media.fontSheet = media.LoadSheet("Font");
    form->media.backgroundSurface = media.CreateSurface(640, 480);

    // The game reads stage.dat as its built-in set and anything else as a user set.
    form->session.userStageMode = fs::path(stageFile).filename() != "stage.dat";
    form->session.userStageFile = stageFile;
    const StageReadResult read =
        ReadStageFile(stageFile, form->stages.StageBlockTable, form->stages.StageEntityTable,
                      !form->session.userStageMode);
    if (!read.ok) {
        err << "zrptool render: " << read.error << "\n";
        return kExitFailed;
    }
    form->stages.stageTotal = read.stageTotal;
    if (*stage < 1 || *stage >= form->stages.stageTotal) {
        err << "zrptool render: " << stageFile << " has no stage " << *stage << " (it holds 1 to "
            << form->stages.stageTotal - 1 << ")\n";
        return kExitFailed;
    }

    // The stage start from its first frame to the hand-over, then the first aiming frame.
    form->session.stageNo = *stage;
    form->scene = SceneStageStart::kId;
    for (int frame = 0; frame < 1000 && form->scene == SceneStageStart::kId; ++frame) {
        form->RunScene();
    }
    form->RunScene();

    const Surface* picture = media.primarySurface.get();
    if (!picture || picture->width != 640 || picture->height != 480) {
        err << "zrptool render: nothing was shown\n";
        return kExitFailed;
    }
    const platform::Palette& colours = media.PaletteInForce();
    std::vector<uint8_t> rgb(static_cast<size_t>(640) * 480 * 3);
    for (size_t i = 0; i < picture->pixels.size(); ++i) {
        const platform::PaletteEntry& c = colours[picture->pixels[i]];
        rgb[3 * i] = c.red;
        rgb[3 * i + 1] = c.green;
        rgb[3 * i + 2] = c.blue;
    }
    std::string error;
    if (!WritePngRgb(outFile, 640, 480, rgb, &error)) {
        err << "zrptool render: " << error << "\n";
        return kExitFailed;
    }
    out << outFile << ": stage " << *stage << " of " << stageFile << "\n";
    return kExitOk;
}

}  // namespace

Command RenderCommand() {
    return {"render", "[--palette FILE] FILE STAGE OUT.png",
            "    Paints stage STAGE of the set FILE as the game shows it when play begins:\n"
            "    the field, blocks, coins, status line, and the ball with its aiming marker\n"
            "    at the start angle. palette.dat is taken from beside FILE, the current\n"
            "    folder or the game's data (beside zrptool, or ../share/zarpane) unless\n"
            "    --palette names one.\n",
            Render};
}

}  // namespace zarp::zrptool
