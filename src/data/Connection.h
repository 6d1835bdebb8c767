#pragma once

#include "data/ConnectionFacts.h"
#include "data/ResultTable.h"
#include "data/StopFlag.h"

#include <QStringList>

#include <memory>

namespace realm {

// Takes the rows of a statement batch by batch, on the thread that runs it.
// Every batch holds the statement's columns; the first comes soon after the
// statement starts (with no rows when the result is empty), and a batch is
// never changed once handed on, so it may be shared with other threads.
class BatchReceiver {
public:
    virtual ~BatchReceiver() = default;
    virtual void receive(std::shared_ptr<const ResultTable> batch) = 0;
};

// A read-only database connection. Statements are SQL text with `?`
// placeholders; each placeholder takes one text parameter, bound as Unicode,
// so typed text never becomes part of the SQL.
class Connection {
public:
    virtual ~Connection() = default;

    // Runs the statement, forward-only, and hands its rows on as they are
    // fetched. Throws DataError with the driver's number and text, and
    // StatementStopped once `stop` is raised; a stopped statement leaves the
    // connection ready for the next.
    virtual void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) = 0;

    // Runs the statement and returns every row at once; each batch also
    // goes to `showTo` as it is fetched, when given.
    std::shared_ptr<const ResultTable> query(const QString &sql, const QStringList &parameters, StopFlag &stop,
                                             BatchReceiver *showTo = nullptr);
    std::shared_ptr<const ResultTable> query(const QString &sql, const QStringList &parameters);

    // What this connection reaches, for error messages; never a password.
    virtual QString description() const = 0;

    // How the connection is protected; a local file is never encrypted.
    virtual ConnectionSecurity security() const { return {}; }
    // The facts a connection check shows, read on the connection's thread:
    // here the round trip of one trivial read, and the rest empty.
    virtual ConnectionFacts facts(StopFlag &stop);
};

} // namespace realm
