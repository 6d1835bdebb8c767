#include "data/odbc/BoundColumns.h"

#include <QCoreApplication>
#include <sqlext.h>

#include <algorithm>

namespace realm {

namespace {

bool isWholeNumber(SQLSMALLINT type)
{
    return type == SQL_INTEGER || type == SQL_SMALLINT || type == SQL_TINYINT || type == SQL_BIGINT || type == SQL_BIT;
}

bool isRealNumber(SQLSMALLINT type)
{
    return type == SQL_REAL || type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_DECIMAL || type == SQL_NUMERIC;
}

// Character columns declared up to this size are bound whole; others get a
// buffer of PartlyBoundText characters and the rest is read with SQLGetData.
constexpr SQLULEN LongestBoundText = 4000;
constexpr SQLULEN PartlyBoundText = 255;
constexpr std::size_t TextChunkUnits = 2048;

bool isCharacterText(SQLSMALLINT type)
{
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_WCHAR || type == SQL_WVARCHAR;
}

// A double holds every decimal number of up to 15 digits exactly; wider
// decimal and numeric columns come as their digits, never rounded.
constexpr SQLULEN DigitsADoubleHolds = 15;

bool isWideDecimal(const ColumnInfo &column)
{
    return (column.type == SQL_DECIMAL || column.type == SQL_NUMERIC)
        && (column.size == 0 || column.size > DigitsADoubleHolds);
}

bool boundAsNumber(const ColumnInfo &column)
{
    return isWholeNumber(column.type) || (isRealNumber(column.type) && !isWideDecimal(column));
}

// The characters of a buffer that takes the column's texts whole, 0 when
// none does: a text column's declared size (the size counts characters, and
// no character takes more than one UTF-16 unit per byte or character the
// server stores), a wide decimal's digits with its sign and point.
SQLULEN wholeTextUnits(const ColumnInfo &column)
{
    if (column.size == 0 || column.size > LongestBoundText)
        return 0;
    if (isWideDecimal(column))
        return column.size + 2;
    return isCharacterText(column.type) ? column.size : 0;
}

bool fitsItsBuffer(const ColumnInfo &column)
{
    return wholeTextUnits(column) > 0;
}

SQLULEN boundTextUnits(const ColumnInfo &column)
{
    return fitsItsBuffer(column) ? wholeTextUnits(column) : PartlyBoundText;
}

} // namespace

std::vector<ColumnInfo> describeColumns(const Statement &statement)
{
    SQLSMALLINT count = 0;
    statement.check(SQLNumResultCols(statement.handle(), &count));
    std::vector<ColumnInfo> columns(count);
    for (SQLSMALLINT i = 0; i < count; ++i) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        statement.check(SQLDescribeColW(statement.handle(), SQLUSMALLINT(i + 1), name, 256, &nameLength,
                                        &columns[i].type, &columns[i].size, &digits, &nullable));
        columns[i].name = QString::fromUtf16(reinterpret_cast<const char16_t *>(name), std::min<SQLSMALLINT>(nameLength, 255));
    }
    return columns;
}

BoundColumn::BoundColumn(const ColumnInfo &info, SQLULEN rows)
    : m_name(info.name), m_type(cellTypeOf(info)), m_indicators(rows)
{
    m_stride = m_type == CellType::Text ? (boundTextUnits(info) + 1) * sizeof(SQLWCHAR) : sizeof(qint64);
    m_values.resize((m_stride * rows + sizeof(qint64) - 1) / sizeof(qint64));
}

bool BoundColumn::takesValuesWhole(const ColumnInfo &info)
{
    return boundAsNumber(info) || fitsItsBuffer(info);
}

std::size_t BoundColumn::rowBytes(const ColumnInfo &info)
{
    const bool text = cellTypeOf(info) == CellType::Text;
    return sizeof(SQLLEN) + (text ? (boundTextUnits(info) + 1) * sizeof(SQLWCHAR) : sizeof(qint64));
}

void BoundColumn::bind(const Statement &statement, SQLUSMALLINT number) const
{
    static constexpr SQLSMALLINT CTypes[] = {SQL_C_SBIGINT, SQL_C_DOUBLE, SQL_C_WCHAR};
    statement.check(SQLBindCol(statement.handle(), number, CTypes[int(m_type)], const_cast<qint64 *>(m_values.data()),
                               SQLLEN(m_stride), const_cast<SQLLEN *>(m_indicators.data())));
}

void BoundColumn::copyInto(ResultTable &table, int firstRow, int column, SQLULEN rows, const Statement *statement, SQLUSMALLINT number) const
{
    for (SQLULEN row = 0; row < rows; ++row) {
        const SQLLEN indicator = m_indicators[row];
        if (indicator == SQL_NULL_DATA)
            continue;
        const auto *value = reinterpret_cast<const std::byte *>(m_values.data()) + row * m_stride;
        const int at = firstRow + int(row);
        switch (m_type) {
        case CellType::Whole:
            table.setInteger(at, column, *reinterpret_cast<const qint64 *>(value));
            break;
        case CellType::Real:
            table.setReal(at, column, *reinterpret_cast<const double *>(value));
            break;
        case CellType::Text:
            table.setText(at, column, text(reinterpret_cast<const char16_t *>(value), indicator, statement, number));
            break;
        }
    }
}

BoundColumn::CellType BoundColumn::cellTypeOf(const ColumnInfo &info)
{
    if (isWholeNumber(info.type))
        return CellType::Whole;
    return boundAsNumber(info) ? CellType::Real : CellType::Text;
}

// The whole text: the bound part, or with the rest read on. The long
// text is kept until the next one.
QStringView BoundColumn::text(const char16_t *bound, SQLLEN indicator, const Statement *statement, SQLUSMALLINT number) const
{
    const std::size_t capacity = m_stride / sizeof(SQLWCHAR) - 1;
    if (indicator != SQL_NO_TOTAL && std::size_t(indicator) / sizeof(SQLWCHAR) <= capacity)
        return QStringView(bound, qsizetype(std::size_t(indicator) / sizeof(SQLWCHAR)));
    if (!statement)
        throw DataError(ErrorNumber::Overflow,
                        QCoreApplication::translate("realm::BoundColumns", "服务器给列 %1 发来的文本长于它声明的 %2 个字符。").arg(m_name).arg(capacity));
    m_longText = readLongText(bound, capacity, indicator, *statement, number);
    return QStringView(m_longText.data(), qsizetype(m_longText.size()));
}

// The driver goes on where the bound buffer ended. How many units a cut
// part holds is what the next part's length leaves of its own: a pair
// of surrogates that did not fit is not counted. Should the driver start
// over instead (the rest as long as the whole), the bound part is dropped.
std::u16string BoundColumn::readLongText(const char16_t *bound, std::size_t capacity, SQLLEN wholeLength,
                                         const Statement &statement, SQLUSMALLINT number)
{
    std::u16string text;
    SQLWCHAR chunks[2][TextChunkUnits];
    TextPart pending{bound, capacity, wholeLength};
    for (int turn = 0;; turn ^= 1) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.handle(), number, SQL_C_WCHAR, chunks[turn], sizeof chunks[turn], &indicator);
        if (rc != SQL_NO_DATA)
            statement.check(rc);
        text.append(pending.units, unitsWritten(pending, rc == SQL_NO_DATA ? 0 : indicator));
        const auto *units = reinterpret_cast<const char16_t *>(chunks[turn]);
        if (rc == SQL_NO_DATA)
            return text;
        if (rc == SQL_SUCCESS) {
            text.append(units, unitsWritten({units, TextChunkUnits - 1, indicator}, 0));
            return text;
        }
        pending = {units, TextChunkUnits - 1, indicator};
    }
}

std::size_t BoundColumn::unitsWritten(const TextPart &part, SQLLEN restLength)
{
    if (part.length != SQL_NO_TOTAL && restLength != SQL_NO_TOTAL && restLength >= 0 && restLength <= part.length)
        return std::min(part.capacity, std::size_t(part.length - restLength) / sizeof(SQLWCHAR));
    return std::size_t(std::find(part.units, part.units + part.capacity, u'\0') - part.units);
}


BoundColumns::BoundColumns(const Statement &statement, const std::vector<ColumnInfo> &columns, SQLULEN rows)
{
    m_columns.reserve(columns.size());
    for (const ColumnInfo &column : columns) {
        m_columns.emplace_back(column, rows);
        m_columns.back().bind(statement, SQLUSMALLINT(m_columns.size()));
    }
}

void BoundColumns::appendRows(ResultTable &table, SQLULEN rows, const Statement *readsOn) const
{
    const int first = table.addRows(int(rows));
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        m_columns[i].copyInto(table, first, int(i), rows, readsOn, SQLUSMALLINT(i + 1));
}

} // namespace realm
