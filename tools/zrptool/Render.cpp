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
#include "common/stage/Stage.h"
#include "game/shell/Form.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

namespace fs = std::filesystem;

// A machine with nothing attached: time jumps to every deadline, no key is ever down.
class QuietClock final : public platform::Clock {
  public:
    uint32_t Ticks() override { return now_; }
    void WaitUntil(uint32_t due) override {
        if (static_cast<int32_t>(due - now_) > 0) now_ = due;
    }

  private:
    uint32_t now_ = 1000;
};
class NoMessages final : public platform::Messages {
  public:
    void Pump(platform::MessageSink&) override {}
};
class NoKeys final : public platform::Keyboard {
  public:
    bool AsyncKeyState(int) override { return false; }
};
class NoJoystick final : public platform::Joystick {
  public:
    bool GetCaps(platform::JoyCaps&) override { return false; }
    bool GetPos(platform::JoyInfo&) override { return false; }
};
class NoScreen final : public platform::Screen {
  public:
    bool Open(bool) override { return true; }
    int DesktopDepth() override { return 8; }
    void Show(const uint8_t*, const platform::Palette&) override {}
    void ShowCursor(bool) override {}
};
class ErrDialogs final : public platform::Dialogs {
  public:
    explicit ErrDialogs(std::ostream& err) : err_(err) {}
    platform::Answer MessageBox(const std::string&, const std::string& text, platform::Buttons,
                                platform::Icon) override {
        err_ << "zrptool render: " << text << "\n";
        return platform::Answer::Ok;
    }

  private:
    std::ostream& err_;
};
class NoAudio final : public platform::Audio {
  public:
    bool Init() override { return false; }
    bool PlayVoice(int, const platform::PcmFormat&, const uint8_t*, size_t, int,
                   const std::string&) override {
        return false;
    }
    bool IsVoicePlaying(int) override { return false; }
    void StopVoice(int) override {}
    void Beep() override {}
};
class NoMusic final : public platform::Music {
  public:
    bool Open(const std::string&) override { return false; }
    bool Play(bool) override { return false; }
    void Stop(bool) override {}
    void Close(bool) override {}
};

std::optional<int32_t> ParseStage(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// palette.dat: given with --palette, else beside the stage file, in the current folder, or
// beside zrptool itself (the ready-to-run folder keeps it there).
std::optional<std::string> FindPalette(const std::string& given, const std::string& stageFile) {
    if (!given.empty()) return given;
    std::error_code ec;
    std::vector<fs::path> candidates;
    candidates.push_back(fs::path(stageFile).parent_path() / "palette.dat");
    candidates.push_back(fs::path("palette.dat"));
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) candidates.push_back(self.parent_path() / "palette.dat");
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

    QuietClock clock;
    NoMessages messages;
    NoKeys keys;
    NoJoystick joystick;
    NoScreen screen;
    ErrDialogs dialogs(err);
    NoAudio audio;
    NoMusic music;
    platform::Platform machine{clock, messages, keys, joystick, screen, dialogs, audio, music};
    auto form = std::make_unique<TForm1>(machine, std::string("./"), std::vector<std::string>{});
    MediaDevices& media = form->MediaDevices;
    if (!media.CreateDisplay(false)) {
        err << "zrptool render: no display surfaces\n";
        return kExitFailed;
    }
    if (!media.LoadPalette(*palette)) {
        err << "zrptool render: cannot read the palette " << *palette << "\n";
        return kExitFailed;
    }
    form->playerSheet = media.LoadSheet("player");
    form->coinSheet = media.LoadSheet("coin");
    form->blockSheet = media.LoadSheet("block");
    form->fontSheet = media.LoadSheet("Font");
    form->backgroundSurface = media.CreateSurface(640, 480);

    // The game reads stage.dat as its built-in set and anything else as a user set.
    form->userStageMode = fs::path(stageFile).filename() != "stage.dat";
    form->userStageFile = stageFile;
    const StageReadResult read = ReadStageFile(stageFile, form->StageBlockTable,
                                               form->StageEntityTable, !form->userStageMode);
    if (!read.ok) {
        err << "zrptool render: " << read.error << "\n";
        return kExitFailed;
    }
    form->stageTotal = read.stageTotal;
    if (*stage < 1 || *stage >= form->stageTotal) {
        err << "zrptool render: " << stageFile << " has no stage " << *stage << " (it holds 1 to "
            << form->stageTotal - 1 << ")\n";
        return kExitFailed;
    }

    // The stage start from its first frame to the hand-over, then the first aiming frame.
    form->stageNo = *stage;
    form->scene = SceneStageStart::kId;
    for (int frame = 0; frame < 1000 && form->scene == SceneStageStart::kId; ++frame) {
        form->stageStart.Frame(*form);
    }
    form->play.Frame(*form);

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
            "    folder or beside zrptool unless --palette names one.\n",
            Render};
}

}  // namespace zarp::zrptool
