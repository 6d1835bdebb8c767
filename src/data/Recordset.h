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
    // Also hands each batch to `showTo` as it is fetched, when given.
    void open(const QString &sql, Connection &connection, const QStringList &parameters, StopFlag &stop,
              BatchReceiver *showTo = nullptr);
    // Forward-only: the rows go to `rows` as they are fetched and are not
    // kept here; the recordset is then open at its end and counts them.
    // Throws like `open`, and StatementStopped when stopped (then closed).
    void openForwardOnly(const QString &sql, Connection &connection, const QStringList &parameters,
                         BatchReceiver &rows, StopFlag &stop);
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

    void requireClosed() const;

    std::shared_ptr<const ResultTable> m_table;
    int m_position = 0;
    int m_passedRows = 0; // rows a forward-only open handed on
};

} // namespace realm
