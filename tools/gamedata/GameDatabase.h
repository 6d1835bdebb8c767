#pragma once

#include "ItemPlan.h"
#include "Options.h"

namespace gamedata {

// Writes a new game database: user_data, user_item and pet_data, with the
// keys a game server's tables have. Replaces an existing file. Throws
// std::runtime_error naming what failed.
void writeGameDatabase(const Options &options, const ItemPlan &plan);

} // namespace gamedata
