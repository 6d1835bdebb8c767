#pragma once

#include "data/Module1.h"

namespace realm {

// Throws DataError naming `folder` when it is no folder: otherwise the
// first file looked for there would be reported missing instead.
void requireFolder(const QString &folder);

// What both programs open before their first window or search: the shared
// data of the program folder, with item names in `itemNames`. Throws
// DataError naming what failed, the folder itself when it is none.
void openProgramData(Module1 &module, ItemNameLanguage itemNames);

// The item names that go with the interface language.
ItemNameLanguage itemNamesOfInterface();

} // namespace realm
