// The device object the form holds by value: the 8-bit display with its surfaces and palette,
// the drawing operations, the joystick capabilities and the sound voices.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "game/media/Random.h"
#include "game/media/Resources.h"
#include "game/platform/Platform.h"

namespace zarp {

// left, top, right, bottom; right and bottom exclusive.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// A plain 8-bit pixel buffer. Index 0 is transparent in every keyed copy.
struct Surface {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;  // width * height, row after row
    uint8_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint8_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
using SurfacePtr = std::unique_ptr<Surface>;

// The screen every picture is made for.
inline constexpr int32_t kScreenWidth = platform::kScreenWidth;
inline constexpr int32_t kScreenHeight = platform::kScreenHeight;
inline constexpr Rect kScreenRect{0, 0, kScreenWidth, kScreenHeight};

// The six game actions read with IsPressed.
inline constexpr int32_t ActLeft = 0, ActRight = 1, ActUp = 2, ActDown = 3, ActA = 4, ActB = 5;

inline constexpr int32_t kVoiceSlots = 8;

class MediaDevices {
  public:
    MediaDevices(platform::Platform& platform, Random& random, std::string programFolder);
    ~MediaDevices();
    MediaDevices(const MediaDevices&) = delete;
    MediaDevices& operator=(const MediaDevices&) = delete;

    platform::Platform& platform;

    // Display.
    std::string programFolder;  // with trailing separator
    SurfacePtr primarySurface;
    SurfacePtr backBuffer;
    std::optional<platform::Palette> displayPalette;
    bool fullScreen = false;
    int32_t requestedDepth = 8;
    int32_t desktopDepth = 0;
    bool displayCreated = false;

    // Joystick capabilities, read once at construction (all zero without a joystick).
    platform::JoyCaps joyCaps;

    // Sound.
    bool beepMode = false;
    bool soundReady = false;
    std::array<std::vector<uint8_t>, kVoiceSlots> voiceData;
    std::array<uint32_t, kVoiceSlots> voiceSize{};
    std::array<bool, kVoiceSlots> voiceBuffer{};  // the slot holds a playing or finished buffer
    Random& random;  // the game's generator (picks a slot when all eight play)
    // Effect files already reported as unplayable on stderr (each is named once per run).
    std::set<std::string> reportedEffects;

    // The built-in sheets LoadSheet looks names up in (the program's embedded bitmaps).
    std::span<const EmbeddedResource> sheetResources;

    bool CreateDisplay(bool fullScreenRequest);
    bool LoadPalette(const std::string& fileName);
    SurfacePtr LoadSheet(const std::string& name);
    SurfacePtr CreateSurface(int32_t width, int32_t height);
    void Present();
    void ClearBackBuffer();
    bool SetPaletteRamp(uint32_t fromColour, uint32_t toColour, uint8_t flags, int32_t count,
                        int32_t start);
    void ReleaseDisplay();

    // Drawing into backBuffer (Present shows it).
    void DrawSprite(int32_t x, int32_t y, Rect source, const Surface* sheet);
    void PutPixel(int32_t x, int32_t y, int32_t index);
    void FillRectRgb(Surface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     uint32_t rgb);
    void DrawEllipse(int32_t step, int32_t index, double cx, double cy, double radius, double sx,
                     double sy);

    // The palette pixels are shown through: displayPalette, or all black before one is loaded.
    const platform::Palette& PaletteInForce() const;

    // Input.
    bool IsPressed(int32_t action);

    // Sound effects.
    bool InitSound();
    void PlayEffect(const std::string& fileName, int32_t pan);
    void ReleaseVoice(int32_t slot);
    void ReleaseSound();

  private:
    // Names the effect file and its fault on stderr, once per file name.
    void ReportEffect(const std::string& fileName, const std::string& problem);

    platform::Palette blackPalette_{};
};

// Surface-to-surface copies without clipping against the screen. A source rectangle that
// reaches beyond its picture, or a destination that leaves its target, draws nothing; nothing
// is ever read or written outside a surface.
void BltFast(Surface& target, int32_t x, int32_t y, const Surface& source, Rect sourceRect,
             bool keyed);
void Blt(Surface& target, Rect targetRect, const Surface& source, Rect sourceRect, bool keyed);
void ColorFill(Surface& target, Rect rect, uint8_t value);

// Text in the bitmap font (fontSheet: 13 x 7 cells of 23 x 23 on a 24-pixel pitch).
void DrawText(MediaDevices& media, const Surface* fontSheet, int32_t x, int32_t y,
              const std::string& text);
void DrawTextScaled(MediaDevices& media, const Surface* fontSheet, int32_t x, int32_t y,
                    const std::string& text, double scale);

}  // namespace zarp
