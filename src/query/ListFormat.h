#pragma once

#include "data/ResultTable.h"

#include <QList>

#include <optional>
#include <vector>

namespace realm {

class ItemNameIndex;

// How a cell of a list is made from a field of the result row.
enum class CellRule {
    Plain, // the value as the list shows it
    ItemName, // the name of the item whose id the field holds
    Enchant, // "+" and the value, also for Null
};

struct ListField {
    QString field;
    CellRule rule = CellRule::Plain;
};

// How a list (or the command line) shows the rows of a result: one column
// for each field, found by name without regard to case.
class ListFormat {
public:
    explicit ListFormat(QList<ListField> fields, const ItemNameIndex *itemNames = nullptr);

    int columnCount() const { return int(m_fields.size()); }
    // Where each column's field is in the results of one statement (-1:
    // absent); every batch of a statement has the same columns.
    std::vector<int> positionsIn(const ResultTable &rows) const;
    // The cell's text; nullopt where the list leaves a cell unset: a Null
    // value, a field the result lacks, an item that has no name.
    std::optional<QString> cell(const ResultTable &rows, int row, int column, const std::vector<int> &positions) const;

    // The same cell without making text of it: the value it shows, from the
    // result or the item table, and whether "+" goes before it.
    struct ShownCell {
        bool isSet = false; // false: the cell is unset
        bool plus = false;
        ResultTable::Cell value;
    };
    // Every cell of a row, into `cells` (columnCount() of them).
    void shownRow(const ResultTable &rows, int row, const std::vector<int> &positions, ShownCell *cells) const;
    // Asks for the item names of rows some way ahead of the row being
    // shown, so that showing them does not wait on memory; call it for each
    // row in order before shownRow.
    void prefetchAhead(const ResultTable &rows, int row, const std::vector<int> &positions) const;

private:
    // Writes the cell into `cell` in place: a copy of it just written
    // would wait for the writes to land.
    void showInto(ShownCell &cell, const ResultTable &rows, int row, int column, const std::vector<int> &positions) const;

    QList<ListField> m_fields;
    const ItemNameIndex *m_itemNames;
};

// The main window's six columns: the character, the item id, its name from
// the item table, the amount, "+" and the enchant level, the pet's nickname.
ListFormat resultListFormat(const ItemNameIndex &itemNames);
// The account lookup's two columns: the character and the account.
ListFormat characterListFormat();
// The item lookup grid's designed columns.
ListFormat itemGridFormat();

} // namespace realm
