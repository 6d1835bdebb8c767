#include "data/ResultTable.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace realm {

namespace {

constexpr int TextLengthBits = 24;
constexpr qint64 TextLengthMask = (qint64(1) << TextLengthBits) - 1;

QString exponentForm(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14E", value);
    QString text = QString::fromLatin1(buffer);
    qsizetype e = text.indexOf(u'E');
    QString mantissa = text.first(e);
    if (mantissa.contains(u'.')) {
        while (mantissa.endsWith(u'0'))
            mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
    }
    int exponent = text.sliced(e + 1).toInt();
    return mantissa + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"))
        + QString::number(std::abs(exponent)).rightJustified(2, u'0');
}

QString plainForm(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    // %.15G keeps 15 significant digits; below 1E+15 and from 1E-4 it never
    // uses an exponent, and it drops trailing zeros by itself.
    return QString::fromLatin1(buffer);
}

} // namespace

QString formatNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    // Round to 15 significant digits first, so 999999999999999.9 counts as 1E+15.
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14E", value);
    double magnitude = std::fabs(std::strtod(rounded, nullptr));
    if (magnitude >= 1e15 || magnitude < 1e-4)
        return exponentForm(value);
    return plainForm(value);
}

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
