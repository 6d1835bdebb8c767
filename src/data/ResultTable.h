#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace realm {

// The rows of one query, held column by column so that a million-row result
// costs a few dozen bytes a row: a kind byte and an 8-byte payload per cell,
// and the texts of a column packed into one UTF-16 pool.
class ResultTable {
public:
    enum class Kind : std::uint8_t { Null,
                                     Integer,
                                     Real,
                                     Text };

    explicit ResultTable(QStringList columnNames);

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return int(m_columns.size()); }
    QString columnName(int column) const { return m_columns[column].name; }
    QStringList columnNames() const;
    // Column names match without regard to letter case; -1 when absent.
    int columnIndex(QStringView name) const;

    Kind kind(int row, int column) const { return m_columns[column].kinds[row]; }
    bool isNull(int row, int column) const { return kind(row, column) == Kind::Null; }
    qint64 integer(int row, int column) const { return m_columns[column].payload[row]; }
    double real(int row, int column) const;
    QStringView textView(int row, int column) const;
    // The cell as the list shows it: whole numbers as decimal digits, other
    // numbers in their shortest form, Null as the empty text.
    QString displayText(int row, int column) const;
    QVariant value(int row, int column) const;

    // Appending: one call per cell, row by row, column by column.
    void appendNull();
    void appendInteger(qint64 value);
    void appendReal(double value);
    void appendText(QStringView text);
    // Appends every row of a table with the same columns.
    void appendRows(const ResultTable &other);

private:
    struct Column {
        QString name;
        std::vector<Kind> kinds;
        std::vector<qint64> payload; // integer, double bits, or text offset << 24 | length
        std::u16string pool;
    };

    Column &nextColumn();

    std::vector<Column> m_columns;
    int m_nextColumn = 0;
    int m_rowCount = 0;
};

// Shortest decimal text of a number with at most 15 significant digits, the
// exponent form (1E+15) from 10^15 up and below 10^-4.
QString formatNumber(double value);

} // namespace realm
