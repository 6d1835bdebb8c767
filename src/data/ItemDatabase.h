#pragma once

#include "data/SqliteConnection.h"

namespace realm {

// Opens the local item file (Jet 4, `db.mdb`): its table `item` is read once
// with libmdb, in record order, into an in-memory SQLite database where the
// item SQL then runs. The mirror is read-only once filled.
// Throws DataError naming the file when it is missing or unreadable.
std::unique_ptr<SqliteConnection> openItemDatabase(const QString &mdbPath);

} // namespace realm
