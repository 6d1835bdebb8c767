#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

namespace realm {

// The rows of one query, held column by column so that a million-row result
// costs a few dozen bytes a row: a kind byte and an 8-byte payload per cell,
// and the texts of a column packed into pools of UTF-16. Storage grows in
// chunks, so nothing it holds is ever copied to make room.
class ResultTable {
public:
    enum class Kind : std::uint8_t { Null,
                                     Integer,
                                     Real,
                                     Text };

    explicit ResultTable(QStringList columnNames);
    ~ResultTable();
    ResultTable(const ResultTable &) = delete;
    ResultTable &operator=(const ResultTable &) = delete;

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return int(m_columns.size()); }
    QString columnName(int column) const { return m_columns[column].name; }
    QStringList columnNames() const;
    // Column names match without regard to letter case; -1 when absent.
    int columnIndex(QStringView name) const;

    Kind kind(int row, int column) const { return cells(row, column).kinds[row & ChunkMask]; }
    bool isNull(int row, int column) const { return kind(row, column) == Kind::Null; }
    qint64 integer(int row, int column) const { return payload(row, column); }
    double real(int row, int column) const;
    QStringView textView(int row, int column) const;

    // A cell read at once: its kind and the value of that kind.
    struct Cell {
        Kind kind = Kind::Null;
        qint64 integer = 0;
        double real = 0;
        QStringView text;
    };
    Cell cell(int row, int column) const
    {
        const CellChunk &chunk = cells(row, column);
        const Kind kind = chunk.kinds[row & ChunkMask];
        const qint64 payload = chunk.payload[row & ChunkMask];
        switch (kind) {
        case Kind::Integer:
            return {kind, payload, 0, {}};
        case Kind::Real:
            return {kind, 0, std::bit_cast<double>(payload), {}};
        case Kind::Text:
            return {kind, 0, 0, textAt(column, payload)};
        case Kind::Null:
            break;
        }
        return {};
    }

    // The cell as the list shows it: whole numbers as decimal digits, other
    // numbers in their shortest form, Null as the empty text.
    QString displayText(int row, int column) const { return displayText(cell(row, column)); }
    static QString displayText(const Cell &cell);
    QVariant value(int row, int column) const;

    // Appending: one call per cell, row by row, column by column.
    void appendNull() { append(Kind::Null, 0); }
    void appendInteger(qint64 value) { append(Kind::Integer, value); }
    void appendReal(double value);
    // Throws DataError for a text longer than a cell holds (16M characters).
    void appendText(QStringView text);
    // The same for a text given as UTF-8, decoded straight into where the
    // table keeps it; bytes that are not UTF-8 become U+FFFD.
    void appendUtf8(QByteArrayView text);
    // Appends every row of a table with the same columns.
    void appendRows(const ResultTable &other);

    // Appending for a source that holds its rows column by column: adds
    // `count` rows of Nulls (between whole rows only) and returns the first;
    // the set calls then fill their cells in any order.
    int addRows(int count);
    void setInteger(int row, int column, qint64 value) { set(row, column, Kind::Integer, value); }
    void setReal(int row, int column, double value) { set(row, column, Kind::Real, std::bit_cast<qint64>(value)); }
    // Throws DataError as appendText does.
    void setText(int row, int column, QStringView text);

private:
    static constexpr int ChunkRows = 256;
    static constexpr int ChunkMask = ChunkRows - 1;

    struct CellChunk {
        Kind kinds[ChunkRows];
        qint64 payload[ChunkRows]; // integer, double bits, or where a text is
    };
    struct TextPool {
        std::unique_ptr<char16_t[]> units;
        std::size_t capacity = 0;
    };
    struct Column {
        QString name;
        std::vector<std::unique_ptr<CellChunk>> chunks;
        std::vector<TextPool> pools;
        std::size_t poolUsed = 0; // units used in the last pool
    };

    const CellChunk &cells(int row, int column) const { return *m_columns[column].chunks[std::size_t(row) / ChunkRows]; }
    qint64 payload(int row, int column) const { return cells(row, column).payload[row & ChunkMask]; }
    QStringView textAt(int column, qint64 place) const;
    void append(Kind kind, qint64 payload)
    {
        Column &column = m_columns[m_nextColumn];
        const std::size_t slot = std::size_t(m_rowCount) & ChunkMask;
        if (slot == 0 && column.chunks.size() * ChunkRows == std::size_t(m_rowCount)) [[unlikely]]
            addChunk(column);
        CellChunk &chunk = *column.chunks.back();
        chunk.kinds[slot] = kind;
        chunk.payload[slot] = payload;
        if (++m_nextColumn == columnCount()) {
            m_nextColumn = 0;
            ++m_rowCount;
        }
    }
    void set(int row, int column, Kind kind, qint64 payload)
    {
        CellChunk &chunk = *m_columns[column].chunks[std::size_t(row) / ChunkRows];
        chunk.kinds[row & ChunkMask] = kind;
        chunk.payload[row & ChunkMask] = payload;
    }
    static void addChunk(Column &column);
    static qint64 storeText(Column &column, QStringView text);
    // Room for `size` units of text in the column's pools; returns where.
    static qint64 placeText(Column &column, std::size_t size);

    std::vector<Column> m_columns;
    int m_nextColumn = 0;
    int m_rowCount = 0;
};

} // namespace realm
