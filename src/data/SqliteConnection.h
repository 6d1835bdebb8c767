#pragma once

#include "data/Connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace realm {

// A SQLite database: the embedded game database (a file, opened read-only)
// or the in-memory mirror of the item file. Text compares as on the game
// server (see addServerTextRules).
// A connection is used by one thread at a time, so it skips SQLite's own
// per-call locking; only a stop comes from another thread.
class SqliteConnection : public Connection {
public:
    // Opens an existing file read-only. Throws DataError.
    static std::unique_ptr<SqliteConnection> openFile(const QString &path);
    // A new, empty, writable in-memory database, for a mirror to fill.
    static std::unique_ptr<SqliteConnection> openMemory(const QString &description);

    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) override;
    QString description() const override { return m_description; }

    // Runs statements that return nothing (used only to build a mirror).
    void execute(const QString &sql);
    // After this, every statement that would write fails.
    void makeReadOnly();
    sqlite3 *handle() const { return m_db; }
    // `like` with the game server's patterns, case-insensitive for every
    // letter, and NOCASE (the collation of the name columns) as its
    // case-insensitive collation. A tool that builds an index on those
    // columns gives its connection the same rules, so the index agrees.
    static void addServerTextRules(sqlite3 *db);
    // Throws DataError with SQLite's number `code` and the connection's
    // last message, for calls made on handle() directly.
    [[noreturn]] void fail(int code) const;

private:
    SqliteConnection(sqlite3 *db, QString description);
    using StatementHandle = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)>;
    StatementHandle prepare(const QString &sql, const QStringList &parameters);

    sqlite3 *m_db;
    QString m_description;
};

} // namespace realm
