#pragma once

#include "data/Connection.h"
#include "data/ItemNameIndex.h"
#include "data/Recordset.h"
#include "data/Settings.h"

#include <memory>

namespace realm {

// The objects every window shares for the life of the process: the two
// connections, the five recordset slots and the item-name index built from
// the preloaded item table.
struct Module1 {
    std::shared_ptr<Connection> itemConn;
    std::shared_ptr<Connection> gameConn;
    std::shared_ptr<Recordset> rsEquip;
    std::shared_ptr<Recordset> rsPet;
    std::shared_ptr<Recordset> rsLookup;
    std::shared_ptr<Recordset> rsItemNames;
    std::shared_ptr<Recordset> rsChars;
    ItemNameIndex itemNames;
};

enum class Slot { Equip,
                  Pet,
                  Lookup,
                  ItemNames,
                  Chars };

// Gives a slot a new, closed recordset, releasing the one it held: the one
// way every window, the command line and the benchmark make their slots.
Recordset &renewSlot(Module1 &module, Slot slot);

QString itemDatabasePath(const QString &programFolder);

// Each throws DataError naming what failed: the item file's path, or the
// game server and login (never the password).
std::shared_ptr<Connection> openItemConnection(const QString &programFolder);
std::shared_ptr<Connection> openGameConnection(const Settings &settings, const QString &programFolder);

// The preload: the whole item table into a new recordset, and its index.
void preloadItemNames(Module1 &module);

// The data side of the main window's load, in its order: the item
// connection, the game connection, the three slots, the preload. The item
// file is opened first, so a missing file stops before the game database is
// contacted.
void openSharedData(Module1 &module, const Settings &settings, const QString &programFolder);

} // namespace realm
