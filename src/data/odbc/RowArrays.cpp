#include "data/odbc/RowArrays.h"

#include "data/odbc/Diagnostics.h"

#include <sqlext.h>

#include <algorithm>

namespace realm {

namespace {

// Rows a fetch brings at most: enough that the per-call work of the driver
// manager no longer counts.
constexpr SQLULEN MostRowsPerFetch = 1000;
// What the bound buffers of a statement may take together.
constexpr std::size_t FetchBufferBytes = std::size_t(2) << 20;

} // namespace

RowArrays::RowArrays(const Statement &statement, const std::vector<ColumnInfo> &columns)
    : m_statement(statement), m_rowsPerFetch(rowsPerFetch(columns)), m_status(m_rowsPerFetch),
      m_columns(statement, columns, m_rowsPerFetch)
{
    setRowsNow(1);
    check(SQLSetStmtAttr(statement.handle(), SQL_ATTR_ROW_STATUS_PTR, m_status.data(), 0));
    check(SQLSetStmtAttr(statement.handle(), SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0));
}

bool RowArrays::fetch()
{
    m_fetched = 0;
    const auto start = std::chrono::steady_clock::now();
    const SQLRETURN rc = SQLFetchScroll(m_statement.handle(), SQL_FETCH_NEXT, 0);
    if (rc == SQL_NO_DATA)
        return false;
    if (rc == SQL_ERROR && !keepsRowsBeforeError())
        m_statement.fail();
    for (SQLULEN row = 0; row < m_fetched; ++row) {
        if (m_status[row] == SQL_ROW_ERROR)
            m_statement.fail();
    }
    if (rc == SQL_ERROR || (rc == SQL_SUCCESS_WITH_INFO && cutShortByError()))
        m_failure = m_statement.failure();
    adaptRowsNow(std::chrono::steady_clock::now() - start);
    return true;
}

void RowArrays::throwIfEndedInError() const
{
    if (m_failure)
        throw *m_failure;
}

void RowArrays::appendRows(ResultTable &table) const
{
    m_columns.appendRows(table, m_fetched, m_rowsPerFetch == 1 ? &m_statement : nullptr);
}

// A fetch waits until its array is full: the array starts at one row and
// doubles while the server keeps up, and halves when a fetch waits, so
// the rows of a slow server still reach their reader soon after it sends
// them.
void RowArrays::adaptRowsNow(std::chrono::steady_clock::duration waited)
{
    if (waited < QuickFetch && m_fetched == m_rowsNow)
        setRowsNow(std::min(m_rowsNow * 2, m_rowsPerFetch));
    else if (waited > SlowFetch)
        setRowsNow(std::max<SQLULEN>(m_rowsNow / 2, 1));
}

void RowArrays::setRowsNow(SQLULEN rows)
{
    if (rows == m_rowsNow)
        return;
    check(SQLSetStmtAttr(m_statement.handle(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0));
    m_rowsNow = rows;
}

SQLULEN RowArrays::rowsPerFetch(const std::vector<ColumnInfo> &columns)
{
    std::size_t rowBytes = sizeof(SQLUSMALLINT);
    for (const ColumnInfo &column : columns) {
        if (!BoundColumn::takesValuesWhole(column))
            return 1;
        rowBytes += BoundColumn::rowBytes(column);
    }
    return std::clamp<SQLULEN>(FetchBufferBytes / rowBytes, 1, MostRowsPerFetch);
}

// A fetch that fails part-way (the server stopped answering, say) still
// counts the whole rows it received; they are bound whole unless rows
// come one at a time, when a text may still be waiting to be read on.
bool RowArrays::keepsRowsBeforeError() const
{
    if (m_fetched == 0 || m_rowsPerFetch == 1)
        return false;
    return std::all_of(m_status.begin(), m_status.begin() + qsizetype(m_fetched),
                       [](SQLUSMALLINT status) { return status == SQL_ROW_SUCCESS; });
}

// The driver returns the rows before a server error with "success with
// information": the error's record, or none at all when the server only
// flagged its end as failed. A cut text's warning is information alone.
bool RowArrays::cutShortByError() const
{
    const std::vector<QString> states = diagnose(SQL_HANDLE_STMT, m_statement.handle()).states;
    if (states.empty())
        return m_fetched < m_rowsNow;
    return std::any_of(states.begin(), states.end(), [](const QString &state) { return !state.startsWith(u"01"); });
}

} // namespace realm
