#pragma once

#include "data/Connection.h"

#include <QVariant>

#include <memory>

namespace realm {

// A client-side recordset: `open` fetches every row of a statement, and the
// moves, reads and finds then work on those rows in memory.
class Recordset {
public:
    // Throws when already open or when the statement fails; on failure the
    // recordset stays closed.
    void open(const QString &sql, Connection &connection, const QStringList &parameters = {});
    // Throws on a recordset that is not open.
    void close();
    bool isOpen() const { return m_table != nullptr; }

    void moveFirst();
    void moveNext();
    bool eof() const;
    int recordCount() const;
    int position() const { return m_position; }

    // The current row's value of a column, named without regard to case;
    // a null QVariant for Null.
    QVariant field(QStringView name) const;

    // Searches forward from the current row for `column=value` or
    // `column='value'`; a quoted number matches the equal number. Stops on
    // the first match, else at EOF.
    void find(const QString &criterion);

    // The rows, shared: they outlive a later close of this recordset.
    std::shared_ptr<const ResultTable> table() const;

private:
    const ResultTable &openTable() const;
    int requireColumn(const ResultTable &table, QStringView name) const;

    std::shared_ptr<const ResultTable> m_table;
    int m_position = 0;
};

} // namespace realm
