// Text pixel maps: the hand-drawn pieces of the sheets.
//
//   # comment
//   key K black          one character stands for one named palette colour
//   picture ball 16 16   then exactly 16 rows of 16 characters
//
// Keys hold for the rest of the file; '.' is not special, give it a key like any other.
#pragma once

#include <map>
#include <string>

#include "tools/assetgen/pictures/Palette.h"
#include "tools/assetgen/pictures/Picture.h"

namespace zarp::picgen {

using PictureSet = std::map<std::string, Picture>;

// Adds the pictures of one file to *out; a message names the file and line of any fault.
bool LoadPixelMaps(const std::string& path, const Palette& palette, PictureSet* out,
                   std::string* error);

// Looks a picture up; a missing one is a fault of the sources (throws).
const Picture& Need(const PictureSet& set, const std::string& name);

}  // namespace zarp::picgen
