// The display half of MediaDevices: screen set-up, surfaces, palette, present and release.
#include "game/media/MediaDevices.h"

#include <algorithm>
#include <cstring>

#include "game/media/FileBytes.h"
#include "game/media/Texts.h"

namespace zarp {

namespace {

constexpr int32_t kDisplayDepth = 8;
// Neither side of a surface may exceed this; the sheets and screens are far smaller.
constexpr int32_t kMaxSurfaceSide = 8192;
// palette.dat: file header, information header, 256 colour-table entries.
constexpr size_t kPaletteFileHeader = 14;
constexpr size_t kPaletteInfoHeader = 40;
constexpr size_t kPaletteTableBytes = 1024;
constexpr size_t kPaletteBytesRead = kPaletteFileHeader + kPaletteInfoHeader + kPaletteTableBytes;

// The three keys of each action, tried in order.
namespace vk = platform::vk;
constexpr std::array<std::array<int, 3>, 6> KeyTable{{
    {vk::Numpad4, vk::Left, vk::OemPlus},
    {vk::Numpad6, vk::Right, vk::Oem6},
    {vk::Numpad8, vk::Up, vk::Oem3},
    {vk::Numpad2, vk::Down, vk::Oem2},
    {vk::Space, vk::Letter('Z'), vk::Letter('Z')},
    {vk::Return, vk::Letter('X'), vk::Letter('X')},
}};

}  // namespace

MediaDevices::MediaDevices(platform::Platform& platform, Random& random, std::string programFolder)
    : platform(platform),
      programFolder(std::move(programFolder)),
      random(random),
      sheetResources(EmbeddedResources()) {
    // Without a joystick the call fails and the limits stay zero, which is what IsPressed expects.
    platform.joystick.GetCaps(joyCaps);
}

MediaDevices::~MediaDevices() {
    ReleaseDisplay();
    ReleaseSound();
}

bool MediaDevices::CreateDisplay(bool fullScreenRequest) {
    fullScreen = fullScreenRequest;
    requestedDepth = kDisplayDepth;

    // The desktop's depth is measured, and a window on a desktop of another depth may become
    // full screen, before the screen is opened, so that it opens in the mode finally chosen.
    desktopDepth = platform.screen.DesktopDepth();
    if (!fullScreen && desktopDepth != kDisplayDepth) {
        platform::Answer answer = platform.dialogs.MessageBox(
            text::kAnswerMe, text::kFullScreenPlease,
            platform::Buttons::YesNo, platform::Icon::Question);
        if (answer == platform::Answer::Yes) fullScreen = true;
    }
    if (!platform.screen.Open(fullScreen)) return false;
    if (fullScreen) desktopDepth = requestedDepth;

    primarySurface = CreateSurface(platform::kScreenWidth, platform::kScreenHeight);
    backBuffer = CreateSurface(platform::kScreenWidth, platform::kScreenHeight);
    if (!primarySurface || !backBuffer) return false;
    displayCreated = true;
    return true;
}

SurfacePtr MediaDevices::CreateSurface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
        return nullptr;
    }
    auto surface = std::make_unique<Surface>();
    surface->width = width;
    surface->height = height;
    surface->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    return surface;
}

const platform::Palette& MediaDevices::PaletteInForce() const {
    return displayPalette ? *displayPalette : blackPalette_;
}

void MediaDevices::Present() {
    if (!primarySurface || !backBuffer) return;
    // The whole back buffer goes to the whole screen: the picture is always 640 x 480 at the
    // origin, whatever the window around it looks like.
    if (primarySurface->pixels.size() == backBuffer->pixels.size()) {
        std::memcpy(primarySurface->pixels.data(), backBuffer->pixels.data(),
                    backBuffer->pixels.size());
    }
    if (primarySurface->width != platform::kScreenWidth ||
        primarySurface->height != platform::kScreenHeight) {
        return;
    }
    platform.screen.Show(primarySurface->pixels.data(), PaletteInForce());
}

void MediaDevices::ClearBackBuffer() {
    if (backBuffer) std::fill(backBuffer->pixels.begin(), backBuffer->pixels.end(), uint8_t{0});
}

bool MediaDevices::LoadPalette(const std::string& fileName) {
    // A display that is not 8-bit has no palette to set.
    if (requestedDepth != kDisplayDepth || desktopDepth != kDisplayDepth) return true;

    // A folder or an unreadable file counts as one that cannot be opened.
    std::vector<uint8_t> read;
    if (ReadFilePrefix(fileName, kPaletteBytesRead, read) != FileRead::Ok) return false;
    // Only the headers and the colour table matter; whatever a short file lacks reads as zero.
    std::array<uint8_t, kPaletteBytesRead> bytes{};
    std::copy(read.begin(), read.end(), bytes.begin());
    std::span<const uint8_t> view(bytes);

    const uint32_t headerSize = Le32(view, kPaletteFileHeader);
    const uint16_t bitCount = Le16(view, kPaletteFileHeader + 14);
    const uint32_t coloursUsed = Le32(view, kPaletteFileHeader + 32);
    uint32_t valid = 0;
    if (headerSize == kPaletteInfoHeader && bitCount <= 8) {
        valid = coloursUsed != 0 ? coloursUsed : (1u << bitCount);
        valid = std::min<uint32_t>(valid, 256);
    }

    platform::Palette palette{};
    const size_t table = kPaletteFileHeader + kPaletteInfoHeader;
    for (uint32_t i = 0; i < palette.size(); ++i) {
        const uint8_t* entry = bytes.data() + table + size_t{4} * i;
        // The file stores blue, green, red; the valid entries are turned round, the rest pass
        // on as stored.
        if (i < valid) {
            palette[i] = {entry[2], entry[1], entry[0], entry[3]};
        } else {
            palette[i] = {entry[0], entry[1], entry[2], entry[3]};
        }
    }
    displayPalette = palette;
    return true;
}

bool MediaDevices::SetPaletteRamp(uint32_t fromColour, uint32_t toColour, uint8_t flags,
                                  int32_t count, int32_t start) {
    if (!displayPalette) return false;
    // The palette holds 256 entries; a write past either end is refused as a whole.
    if (count < 0 || start < 0 || start > 256 || count > 256 - start) return false;

    std::array<float, 3> value{};
    std::array<float, 3> step{};
    for (int c = 0; c < 3; ++c) {
        const int32_t from = static_cast<int32_t>((fromColour >> (8 * c)) & 0xFF);
        const int32_t to = static_cast<int32_t>((toColour >> (8 * c)) & 0xFF);
        value[c] = static_cast<float>(from);
        step[c] = static_cast<float>(to - from) / static_cast<float>(count);
    }
    for (int32_t i = 0; i < count; ++i) {
        platform::PaletteEntry& entry =
            (*displayPalette)[static_cast<size_t>(start) + static_cast<size_t>(i)];
        entry.red = static_cast<uint8_t>(static_cast<int>(value[0]));
        entry.green = static_cast<uint8_t>(static_cast<int>(value[1]));
        entry.blue = static_cast<uint8_t>(static_cast<int>(value[2]));
        entry.flags = flags;
        for (int c = 0; c < 3; ++c)
            value[c] += step[c];
    }
    return true;
}

void MediaDevices::ReleaseDisplay() {
    backBuffer.reset();
    primarySurface.reset();
    displayPalette.reset();
    displayCreated = false;
}

bool MediaDevices::IsPressed(int32_t action) {
    if (action < 0 || action >= static_cast<int32_t>(KeyTable.size())) return false;

    platform::JoyInfo info;
    if (platform.joystick.GetPos(info)) {
        // Unsigned centres and thresholds: an axis range far from zero reports no direction.
        const uint32_t cx = (joyCaps.wXmin + joyCaps.wXmax) / 2;
        const uint32_t cy = (joyCaps.wYmin + joyCaps.wYmax) / 2;
        bool pressed = false;
        switch (action) {
            case ActLeft:
                pressed = info.x < cx - cx / 2;
                break;
            case ActRight:
                pressed = info.x > cx + cx / 2;
                break;
            case ActUp:
                pressed = info.y < cy - cy / 2;
                break;
            case ActDown:
                pressed = info.y > cy + cy / 2;
                break;
            case ActA:
                pressed = info.buttons == 1 || info.buttons == 4;
                break;
            case ActB:
                pressed = info.buttons == 2 || info.buttons == 8;
                break;
            default:
                break;
        }
        if (pressed) return true;
    }
    for (int key : KeyTable[static_cast<size_t>(action)]) {
        if (platform.keyboard.AsyncKeyState(key)) return true;
    }
    return false;
}

}  // namespace zarp
