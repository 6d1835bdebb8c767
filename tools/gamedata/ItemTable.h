#pragma once

#include "ItemPlan.h"
#include "Options.h"

namespace gamedata {

// Writes the item table as jet4writer's TSV input (header "id\tC\tE"): the
// plan's ids in order, with a repeated id now and then under another name
// (the first stays the one that counts), and English names that are Null,
// empty or hold characters that need escapes. Throws std::runtime_error.
void writeItemTable(const Options &options, const ItemPlan &plan);

} // namespace gamedata
