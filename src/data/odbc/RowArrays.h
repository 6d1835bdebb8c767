#pragma once

#include "data/ResultTable.h"
#include "data/odbc/BoundColumns.h"
#include "data/odbc/Statement.h"

#include <chrono>
#include <optional>
#include <vector>

namespace realm {

// The result's columns bound to row arrays, fetched a block at a time. A
// text column without a bound small enough for its buffer makes it fetch a
// row at a time, as only the current row can be read on with SQLGetData.
class RowArrays {
public:
    RowArrays(const Statement &statement, const std::vector<ColumnInfo> &columns);

    // Fetches the next rows; false after the last.
    bool fetch();
    // After the rows of a fetch are appended: throws when the statement
    // ended in an error after them.
    void throwIfEndedInError() const;
    // Appends the rows fetched last, a column at a time.
    void appendRows(ResultTable &table) const;

private:
    void adaptRowsNow(std::chrono::steady_clock::duration waited);
    void setRowsNow(SQLULEN rows);
    static SQLULEN rowsPerFetch(const std::vector<ColumnInfo> &columns);
    void check(SQLRETURN rc) const { m_statement.check(rc); }
    bool keepsRowsBeforeError() const;
    bool cutShortByError() const;

    static constexpr std::chrono::milliseconds QuickFetch{5};
    static constexpr std::chrono::milliseconds SlowFetch{20};

    const Statement &m_statement;
    SQLULEN m_rowsPerFetch; // what the buffers hold
    SQLULEN m_rowsNow = 0; // what a fetch asks for
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
    std::optional<DataError> m_failure;
    BoundColumns m_columns;
};

} // namespace realm
