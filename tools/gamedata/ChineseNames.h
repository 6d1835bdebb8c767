#pragma once

#include "Random.h"

#include <string>

namespace gamedata {

// Names as UTF-8 text, built from common parts so that they look and sort
// like real ones (mostly two to four characters, some repeats).
std::string characterName(Random &random);
std::string petName(Random &random);
std::string itemName(Random &random);
std::string itemEnglishName(Random &random);

} // namespace gamedata
