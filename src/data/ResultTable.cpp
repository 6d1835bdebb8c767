#include "data/ResultTable.h"

#include "data/NumberFormat.h"

#include <bit>
#include <stdexcept>

namespace realm {

namespace {

constexpr int TextLengthBits = 24;
constexpr qint64 TextLengthMask = (qint64(1) << TextLengthBits) - 1;

} // namespace

ResultTable::ResultTable(QStringList columnNames)
{
    m_columns.resize(columnNames.size());
    for (qsizetype i = 0; i < columnNames.size(); ++i)
        m_columns[i].name = columnNames[i];
}

QStringList ResultTable::columnNames() const
{
    QStringList names;
    for (const Column &column : m_columns)
        names << column.name;
    return names;
}

int ResultTable::columnIndex(QStringView name) const
{
    for (int i = 0; i < columnCount(); ++i) {
        if (name.compare(m_columns[i].name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

double ResultTable::real(int row, int column) const
{
    return std::bit_cast<double>(m_columns[column].payload[row]);
}

QStringView ResultTable::textView(int row, int column) const
{
    const Column &c = m_columns[column];
    const qint64 packed = c.payload[row];
    return QStringView(c.pool.data() + (packed >> TextLengthBits), packed & TextLengthMask);
}

QString ResultTable::displayText(int row, int column) const
{
    switch (kind(row, column)) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(integer(row, column));
    case Kind::Real:
        return formatNumber(real(row, column));
    case Kind::Text:
        return textView(row, column).toString();
    }
    return {};
}

QVariant ResultTable::value(int row, int column) const
{
    switch (kind(row, column)) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return integer(row, column);
    case Kind::Real:
        return real(row, column);
    case Kind::Text:
        return textView(row, column).toString();
    }
    return {};
}

ResultTable::Column &ResultTable::nextColumn()
{
    Column &column = m_columns[m_nextColumn];
    if (++m_nextColumn == columnCount()) {
        m_nextColumn = 0;
        ++m_rowCount;
    }
    return column;
}

void ResultTable::appendNull()
{
    Column &c = nextColumn();
    c.kinds.push_back(Kind::Null);
    c.payload.push_back(0);
}

void ResultTable::appendInteger(qint64 value)
{
    Column &c = nextColumn();
    c.kinds.push_back(Kind::Integer);
    c.payload.push_back(value);
}

void ResultTable::appendReal(double value)
{
    Column &c = nextColumn();
    c.kinds.push_back(Kind::Real);
    c.payload.push_back(std::bit_cast<qint64>(value));
}

void ResultTable::appendText(QStringView text)
{
    if (text.size() > TextLengthMask)
        throw std::length_error("text cell longer than 16M characters");
    Column &c = nextColumn();
    c.kinds.push_back(Kind::Text);
    c.payload.push_back(qint64(c.pool.size()) << TextLengthBits | text.size());
    c.pool.append(reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()));
}

void ResultTable::appendRows(const ResultTable &other)
{
    for (std::size_t i = 0; i < m_columns.size() && i < other.m_columns.size(); ++i) {
        Column &to = m_columns[i];
        const Column &from = other.m_columns[i];
        const qint64 poolShift = qint64(to.pool.size()) << TextLengthBits;
        to.kinds.insert(to.kinds.end(), from.kinds.begin(), from.kinds.end());
        for (std::size_t row = 0; row < from.payload.size(); ++row)
            to.payload.push_back(from.kinds[row] == Kind::Text ? from.payload[row] + poolShift : from.payload[row]);
        to.pool += from.pool;
    }
    m_rowCount += other.m_rowCount;
}

} // namespace realm
