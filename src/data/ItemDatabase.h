#pragma once

#include "data/SqliteConnection.h"

namespace realm {

// Opens the local item file (Jet 4, `db.mdb`): its table `item` is read once,
// whole and in record order, into an in-memory SQLite database where the
// item SQL then runs. The mirror is read-only once filled.
// Throws DataError naming the file when it is missing, unreadable, not a
// Jet 4 database, or damaged: a table that cannot be read whole never loads.
std::unique_ptr<SqliteConnection> openItemDatabase(const QString &mdbPath);

} // namespace realm
