#include "data/ResultTable.h"

#include "data/DataError.h"
#include "data/NumberFormat.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace realm {

namespace {

// Where a text is: its pool (bits 40 up), its start in the pool (16 bits)
// and its length (24 bits).
constexpr int TextLengthBits = 24;
constexpr int TextStartBits = 16;
constexpr qint64 TextLengthMask = (qint64(1) << TextLengthBits) - 1;
constexpr qint64 TextStartMask = (qint64(1) << TextStartBits) - 1;
// Pools start small, for the many results of a few rows, and double up to
// the largest start the payload can name; a longer text gets a pool of its own.
constexpr std::size_t FirstPoolUnits = 256;
constexpr std::size_t LargestPoolUnits = std::size_t(TextStartMask) + 1;

std::size_t startOf(qint64 place)
{
    return std::size_t((quint64(place) >> TextLengthBits) & TextStartMask);
}

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

ResultTable::~ResultTable() = default;

double ResultTable::real(int row, int column) const
{
    return std::bit_cast<double>(payload(row, column));
}

QStringView ResultTable::textView(int row, int column) const
{
    return textAt(column, payload(row, column));
}

QStringView ResultTable::textAt(int column, qint64 place) const
{
    const quint64 bits = quint64(place);
    const TextPool &pool = m_columns[column].pools[bits >> (TextLengthBits + TextStartBits)];
    return QStringView(pool.units.get() + startOf(place), qsizetype(bits & TextLengthMask));
}

QString ResultTable::displayText(const Cell &cell)
{
    switch (cell.kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(cell.integer);
    case Kind::Real:
        return formatNumber(cell.real);
    case Kind::Text:
        return cell.text.toString();
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

void ResultTable::appendReal(double value)
{
    append(Kind::Real, std::bit_cast<qint64>(value));
}

void ResultTable::addChunk(Column &column)
{
    column.chunks.push_back(std::make_unique_for_overwrite<CellChunk>());
}

qint64 ResultTable::placeText(Column &column, std::size_t size)
{
    const std::size_t room = column.pools.empty() ? 0 : column.pools.back().capacity - column.poolUsed;
    if (size > room || column.pools.empty()) {
        const std::size_t grown = column.pools.empty() ? FirstPoolUnits : std::min(column.pools.back().capacity * 2, LargestPoolUnits);
        const std::size_t capacity = std::max(grown, size);
        column.pools.push_back({std::make_unique_for_overwrite<char16_t[]>(capacity), capacity});
        column.poolUsed = 0;
    }
    const std::size_t start = column.poolUsed;
    column.poolUsed += size;
    return qint64((quint64(column.pools.size() - 1) << (TextLengthBits + TextStartBits)) | (quint64(start) << TextLengthBits) | size);
}

qint64 ResultTable::storeText(Column &column, QStringView text)
{
    if (text.size() > TextLengthMask)
        throw DataError(ErrorNumber::Overflow, QCoreApplication::translate("realm::ResultTable", "%1 个字符的文本值超过了结果能容纳的长度（%2）。").arg(text.size()).arg(TextLengthMask));
    const qint64 place = placeText(column, std::size_t(text.size()));
    std::copy_n(reinterpret_cast<const char16_t *>(text.utf16()), text.size(), column.pools.back().units.get() + startOf(place));
    return place;
}

void ResultTable::appendText(QStringView text)
{
    append(Kind::Text, storeText(m_columns[m_nextColumn], text));
}

void ResultTable::appendUtf8(QByteArrayView text)
{
    // A text never has more UTF-16 units than UTF-8 bytes, so the bytes'
    // count is room enough; what the decoding leaves unused is given back.
    if (text.size() > TextLengthMask) {
        appendText(QString::fromUtf8(text));
        return;
    }
    Column &column = m_columns[m_nextColumn];
    const qint64 room = placeText(column, std::size_t(text.size()));
    auto *const start = reinterpret_cast<QChar *>(column.pools.back().units.get() + startOf(room));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const auto length = qint64(decoder.appendToBuffer(start, text) - start);
    column.poolUsed -= std::size_t(text.size() - length);
    append(Kind::Text, (room & ~TextLengthMask) | length);
}

int ResultTable::addRows(int count)
{
    const int first = m_rowCount;
    m_rowCount += count;
    for (Column &column : m_columns) {
        while (column.chunks.size() * ChunkRows < std::size_t(m_rowCount))
            addChunk(column);
        for (int row = first; row < m_rowCount; ++row) {
            CellChunk &chunk = *column.chunks[std::size_t(row) / ChunkRows];
            chunk.kinds[row & ChunkMask] = Kind::Null;
            chunk.payload[row & ChunkMask] = 0;
        }
    }
    return first;
}

void ResultTable::setText(int row, int column, QStringView text)
{
    set(row, column, Kind::Text, storeText(m_columns[column], text));
}

void ResultTable::appendRows(const ResultTable &other)
{
    for (int row = 0; row < other.rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            if (column >= other.columnCount()) {
                appendNull();
                continue;
            }
            switch (other.kind(row, column)) {
            case Kind::Text:
                appendText(other.textView(row, column));
                break;
            case Kind::Null:
            case Kind::Integer:
            case Kind::Real:
                append(other.kind(row, column), other.payload(row, column));
                break;
            }
        }
    }
}

} // namespace realm
