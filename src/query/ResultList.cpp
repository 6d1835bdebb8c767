#include "query/ResultList.h"

#include "data/ItemNameIndex.h"
#include "data/Recordset.h"

namespace realm {

namespace {

struct ResultColumns {
    int charName;
    int itemType;
    int amount;
    int enchant;
    int nickName;

    explicit ResultColumns(const ResultTable &table)
        : charName(table.columnIndex(u"char_name")), itemType(table.columnIndex(u"item_type")),
          amount(table.columnIndex(u"amount")), enchant(table.columnIndex(u"enchant")),
          nickName(table.columnIndex(u"nick_name"))
    {
    }
};

bool hasValue(const ResultTable &table, int row, int column)
{
    return column >= 0 && !table.isNull(row, column);
}

void writeIfPresent(const ResultTable &table, int row, int column, int subItem, ReportSink &list)
{
    if (hasValue(table, row, column))
        list.setSubItem(subItem, table.displayText(row, column));
}

std::optional<QString> itemName(const ResultTable &table, int row, int column, const ItemNameIndex &itemNames)
{
    if (!hasValue(table, row, column))
        return std::nullopt;
    if (table.kind(row, column) == ResultTable::Kind::Integer)
        return itemNames.nameFor(table.integer(row, column));
    return itemNames.nameFor(table.displayText(row, column));
}

void writeRow(const ResultTable &table, int row, const ResultColumns &columns, const ItemNameIndex &itemNames,
              ReportSink &list)
{
    list.addRow(hasValue(table, row, columns.charName) ? std::optional(table.displayText(row, columns.charName))
                                                       : std::nullopt);
    writeIfPresent(table, row, columns.itemType, ItemIdColumn, list);
    if (const auto name = itemName(table, row, columns.itemType, itemNames))
        list.setSubItem(ItemNameColumn, *name);
    writeIfPresent(table, row, columns.amount, AmountColumn, list);
    if (columns.enchant >= 0)
        list.setSubItem(EnchantColumn, u'+' + table.displayText(row, columns.enchant));
    writeIfPresent(table, row, columns.nickName, PetNameColumn, list);
}

} // namespace

void fillResultList(const Recordset &result, const ItemNameIndex &itemNames, ReportSink &list)
{
    list.clearRows();
    if (!result.isOpen())
        return;
    const auto table = result.table();
    const ResultColumns columns(*table);
    for (int row = 0; row < table->rowCount(); ++row)
        writeRow(*table, row, columns, itemNames, list);
}

} // namespace realm
