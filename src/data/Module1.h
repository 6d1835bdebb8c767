#pragma once

#include "data/BackgroundRunner.h"
#include "data/Connection.h"
#include "data/ItemNameIndex.h"
#include "data/Recordset.h"
#include "data/Settings.h"

#include <memory>
#include <vector>

namespace realm {

// The objects every window and the command line share for the life of the
// process: the two connections, the thread each of them runs its statements
// on, the item lookup's last result and the item-name index built from the
// preloaded item table. Only the item lookup keeps a recordset between
// searches: its grid falls back to that result when a lookup fails.
struct GameServer {
    Settings settings;
    std::shared_ptr<Connection> connection;
};

struct Module1 {
    std::shared_ptr<Connection> itemConn;
    std::shared_ptr<Connection> gameConn;
    // Every configured game server, the base one first (its connection is
    // gameConn); the others connect on their first search.
    std::vector<GameServer> servers;
    // What went wrong with a server while the programs opened, one line a
    // server, for the window's status line: a damaged section, a base
    // server that could not be reached beside others.
    QStringList serverProblems;
    std::shared_ptr<Recordset> rsLookup;
    std::shared_ptr<Recordset> rsItemNames;
    ItemNameIndex itemNames;
    ItemNameLanguage itemNameLanguage = ItemNameLanguage::Chinese; // for the preload
    // Last, so that its threads end before the connections they use go.
    BackgroundRunner runner;
};

QString itemDatabasePath(const QString &programFolder);

// Each throws DataError naming what failed: the item file's path, the
// settings file when it cannot name a server, or the game server and login
// (never the password).
std::shared_ptr<Connection> openItemConnection(const QString &programFolder);
std::shared_ptr<Connection> openGameConnection(const Settings &settings, const QString &programFolder);

// The preload, on the item connection's thread: the whole item table into
// a new recordset, and its index.
void preloadItemNames(Module1 &module);

// The item lookup window's load, on the item connection's thread: a new
// recordset for the lookup, open on item 1 until the first lookup.
void openLookupSlot(Module1 &module);

// Opens a game connection: openGameConnection, or the programs' own opener,
// which finds the password in the keyring or asks for it.
using GameOpener = std::shared_ptr<Connection> (*)(const Settings &, const QString &);

// A game connection that opens on its first statement, on its own thread.
std::shared_ptr<Connection> openGameConnectionLater(const Settings &settings, const QString &programFolder,
                                                    GameOpener openGame = openGameConnection);

// What the programs open before their first window or search, in this
// order: the item connection, the game connection, the preload. The item
// file is opened first, so a missing file stops before the game database is
// contacted.
void openSharedData(Module1 &module, const Settings &settings, const QString &programFolder,
                    GameOpener openGame = openGameConnection);
// The same for every server of `servers` (the base one first). With one
// server it is the above; with more, no server's failure is fatal: each is
// told in serverProblems, and a base server that could not be reached
// tries again on its next search.
void openSharedData(Module1 &module, const std::vector<Settings> &servers, const QString &programFolder,
                    GameOpener openGame = openGameConnection);
// The game part of it alone: gameConn and servers.
void openGameServers(Module1 &module, const std::vector<Settings> &servers, const QString &programFolder,
                     GameOpener openGame = openGameConnection);

} // namespace realm
