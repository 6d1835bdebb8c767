#pragma once

#include "data/Connection.h"

#include <QVariant>

#include <memory>

namespace realm {

// A client-side recordset: `open` fetches every row of a statement and
// keeps them; its first row is the current one.
class Recordset {
public:
    // Throws when already open or when the statement fails; on failure the
    // recordset stays closed. Each batch also goes to `showTo` as it is
    // fetched, when given.
    void open(const QString &sql, Connection &connection, const QStringList &parameters = {});
    void open(const QString &sql, Connection &connection, const QStringList &parameters, StopFlag &stop,
              BatchReceiver *showTo = nullptr);
    // Throws on a recordset that is not open.
    void close();
    bool isOpen() const { return m_table != nullptr; }

    int recordCount() const;

    // The first row's value of a column, named without regard to case; a
    // null QVariant for Null. Throws when there is no row.
    QVariant field(QStringView name) const;

    // The rows, shared: they outlive a later close of this recordset.
    std::shared_ptr<const ResultTable> table() const;

private:
    const ResultTable &openTable() const;
    int requireColumn(const ResultTable &table, QStringView name) const;

    void requireClosed() const;

    std::shared_ptr<const ResultTable> m_table;
};

} // namespace realm
