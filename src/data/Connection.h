#pragma once

#include "data/ResultTable.h"

#include <QStringList>

#include <memory>

namespace realm {

// A read-only database connection. Statements are SQL text with `?`
// placeholders; each placeholder takes one text parameter, bound as Unicode,
// so typed text never becomes part of the SQL.
class Connection {
public:
    virtual ~Connection() = default;

    // Runs the statement and fetches every row, forward-only.
    // Throws DataError with the driver's number and text.
    virtual std::shared_ptr<const ResultTable> query(const QString &sql, const QStringList &parameters) = 0;

    // What this connection reaches, for error messages; never a password.
    virtual QString description() const = 0;
};

} // namespace realm
