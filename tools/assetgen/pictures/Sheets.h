// The six sprite sheets of the game, built from the sources in assets/pictures/.
#pragma once

#include <string>

#include "tools/assetgen/pictures/Glyphs.h"
#include "tools/assetgen/pictures/Palette.h"
#include "tools/assetgen/pictures/Picture.h"
#include "tools/assetgen/pictures/PixelMap.h"

namespace zarp::picgen {

struct Sources {
    Palette palette;
    PictureSet maps;
    TrueTypeFont font;
};

// Reads palette.txt and every pixel map file of the folder, and opens the TrueType font.
bool LoadSources(const std::string& assetsDir, const std::string& fontPath, Sources* out,
                 std::string* error);

struct Sheets {
    Picture player;  // 32 x 16
    Picture coin;    // 128 x 16
    Picture block;   // 384 x 96
    Picture font;    // 311 x 167
    Picture title;   // 576 x 180
    Picture cwin;    // 480 x 50
};

Sheets BuildSheets(const Sources& src);

Picture BuildPlayerSheet(const Sources& src);
Picture BuildCoinSheet(const Sources& src);
Picture BuildBlockSheet(const Sources& src);
Picture BuildFontSheet(const Sources& src);
Picture BuildTitleSheet(const Sources& src);
Picture BuildCwinSheet(const Sources& src);

// Shared by several sheets: a shaded sphere of radius r centred at (cx, cy), lit from the upper
// left, drawn with the given ramp (dark to light) and a white glint.
void DrawSphere(Picture& pic, const Palette& pal, const std::string& ramp, double cx, double cy,
                double r, bool glint = true);

}  // namespace zarp::picgen
