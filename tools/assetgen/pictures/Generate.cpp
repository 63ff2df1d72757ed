#include "tools/assetgen/pictures/Generate.h"

#include <stdexcept>

#include "tools/assetgen/pictures/Bmp.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

bool GeneratePictures(const std::string& assetsDir, const std::string& fontPath,
                      std::map<std::string, std::vector<uint8_t>>* files, std::string* error) {
    Sources src;
    if (!LoadSources(assetsDir, fontPath, &src, error)) return false;
    try {
        const Sheets s = BuildSheets(src);
        const Picture* pictures[] = {&s.player, &s.coin, &s.block, &s.font, &s.title, &s.cwin};
        for (size_t i = 0; i < 6; ++i) {
            (*files)[std::string(kSheetNames[i]) + ".bmp"] = EncodeBmp8(*pictures[i], src.palette);
        }
        (*files)["palette.dat"] = EncodePaletteFile(src.palette);
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }
    return true;
}

}  // namespace zarp::picgen
