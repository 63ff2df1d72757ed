#include "tools/assetgen/pictures/Sheets.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "tools/assetgen/pictures/Draw.h"

namespace zarp::picgen {

bool LoadSources(const std::string& assetsDir, const std::string& fontPath, Sources* out,
                 std::string* error) {
    namespace fs = std::filesystem;
    if (!Palette::Load(assetsDir + "/palette.txt", &out->palette, error)) return false;
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(assetsDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name != "palette.txt" && entry.path().extension() == ".txt") {
            files.push_back(entry.path().string());
        }
    }
    if (ec) {
        *error = assetsDir + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());  // a fixed order keeps the output deterministic
    for (const std::string& f : files) {
        if (!LoadPixelMaps(f, out->palette, &out->maps, error)) return false;
    }
    return out->font.Open(fontPath, error);
}

Sheets BuildSheets(const Sources& src) {
    Sheets s;
    s.player = BuildPlayerSheet(src);
    s.coin = BuildCoinSheet(src);
    s.block = BuildBlockSheet(src);
    s.font = BuildFontSheet(src);
    s.title = BuildTitleSheet(src);
    s.cwin = BuildCwinSheet(src);
    return s;
}

void DrawSphere(Picture& pic, const Palette& pal, const std::string& ramp, double cx, double cy,
                double r, bool glint) {
    const auto shades = pal.Ramp(ramp);
    // Light from the upper left and a little towards the viewer.
    const double lx = -0.55, ly = -0.6, lz = 0.58;
    for (auto y = static_cast<int32_t>(std::floor(cy - r)); y <= static_cast<int32_t>(cy + r);
         ++y) {
        for (auto x = static_cast<int32_t>(std::floor(cx - r)); x <= static_cast<int32_t>(cx + r);
             ++x) {
            const double nx = (x + 0.5 - cx) / r;
            const double ny = (y + 0.5 - cy) / r;
            const double d2 = nx * nx + ny * ny;
            if (d2 > 1.0) continue;
            const double nz = std::sqrt(1.0 - d2);
            const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
            // A little light bounced back from below keeps the lower rim from going flat.
            const double rim = std::max(0.0, ny) * 0.18 * (1.0 - nz);
            const double level = std::clamp(0.1 + 0.85 * diffuse + rim, 0.0, 0.999);
            pic.Set(x, y, shades[static_cast<size_t>(level * static_cast<double>(shades.size()))]);
            if (glint) {
                const double hx = nx + 0.38, hy = ny + 0.42;
                if (hx * hx + hy * hy < 0.05) pic.Set(x, y, pal["white"]);
            }
        }
    }
}

}  // namespace zarp::picgen
