#pragma once

#include "data/ResultTable.h"
#include "data/odbc/Statement.h"

#include <sql.h>

#include <string>
#include <vector>

namespace realm {

// A result column as the driver describes it.
struct ColumnInfo {
    QString name;
    SQLSMALLINT type;
    SQLULEN size; // characters of a text, 0 when the driver gives no bound
};

// The columns of the statement's result.
std::vector<ColumnInfo> describeColumns(const Statement &statement);

// One result column bound to buffers for a whole row array. Whole numbers
// come as 64-bit integers, other numbers a double holds exactly as doubles,
// the rest as wide text.
class BoundColumn {
public:
    BoundColumn(const ColumnInfo &info, SQLULEN rows);

    // Whether every value of the column fits its buffer; a text that may
    // not is read on with SQLGetData, which only the current row allows.
    static bool takesValuesWhole(const ColumnInfo &info);
    // The bytes a row of the column takes in its buffers.
    static std::size_t rowBytes(const ColumnInfo &info);

    void bind(const Statement &statement, SQLUSMALLINT number) const;
    // Sets the column's cells of `rows` rows from `firstRow` on (Nulls are
    // there already); `statement` reads the rest of a text the buffer could
    // not hold, when the row is the only one fetched.
    void copyInto(ResultTable &table, int firstRow, int column, SQLULEN rows, const Statement *statement, SQLUSMALLINT number) const;

private:
    enum class CellType { Whole,
                          Real,
                          Text };
    // A part of a text the driver wrote: `length` bytes were left of the
    // text when it did (SQL_NO_TOTAL: unknown), `capacity` units fit.
    struct TextPart {
        const char16_t *units;
        std::size_t capacity;
        SQLLEN length;
    };

    static CellType cellTypeOf(const ColumnInfo &info);
    QStringView text(const char16_t *bound, SQLLEN indicator, const Statement *statement, SQLUSMALLINT number) const;
    static std::u16string readLongText(const char16_t *bound, std::size_t capacity, SQLLEN wholeLength,
                                       const Statement &statement, SQLUSMALLINT number);
    static std::size_t unitsWritten(const TextPart &part, SQLLEN restLength);

    QString m_name;
    CellType m_type;
    std::size_t m_stride = 0;
    std::vector<qint64> m_values;
    std::vector<SQLLEN> m_indicators;
    mutable std::u16string m_longText;
};

// The bound columns of one result, in the result's order.
class BoundColumns {
public:
    BoundColumns(const Statement &statement, const std::vector<ColumnInfo> &columns, SQLULEN rows);

    // Appends `rows` fetched rows, a column at a time; `readsOn` as in
    // BoundColumn::copyInto.
    void appendRows(ResultTable &table, SQLULEN rows, const Statement *readsOn) const;

private:
    std::vector<BoundColumn> m_columns;
};

} // namespace realm
