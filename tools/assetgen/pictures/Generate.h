// Everything the picture generator writes, as named files in memory.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zarp::picgen {

// The names of the six sheets, as the game's resources know them.
inline constexpr const char* kSheetNames[] = {"player", "coin", "block", "Font", "title", "cwin"};

// Fills *files with "<sheet>.bmp" for the six sheets and "palette.dat".
bool GeneratePictures(const std::string& assetsDir, const std::string& fontPath,
                      std::map<std::string, std::vector<uint8_t>>* files, std::string* error);

// Writes the desktop icons, DIR/SIZE/game.png and DIR/SIZE/editor.png (PNG with alpha), for the
// sizes 16, 32, 48, 64, 128 and 256.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
bool WriteIcons(const std::string& assetsDir, const std::string& fontPath, const std::string& dir,
                std::string* error);

// Writes the preview pictures (PNG) into previewDir.
bool WritePreviews(const std::string& assetsDir, const std::string& fontPath,
                   const std::string& previewDir, std::string* error);

}  // namespace zarp::picgen
