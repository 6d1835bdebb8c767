#pragma once

#include "data/Module1.h"

namespace realm {

// What both programs open before their first window or search: the shared
// data of the program folder, with item names in `itemNames`. Throws
// DataError naming what failed.
void openProgramData(Module1 &module, ItemNameLanguage itemNames);

// The item names that go with the interface language.
ItemNameLanguage itemNamesOfInterface();

} // namespace realm
