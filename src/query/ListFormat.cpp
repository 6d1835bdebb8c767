#include "query/ListFormat.h"

#include "data/ItemNameIndex.h"

namespace realm {

ListFormat::ListFormat(QList<ListField> fields, const ItemNameIndex *itemNames)
    : m_fields(std::move(fields)), m_itemNames(itemNames)
{
}

std::vector<int> ListFormat::positionsIn(const ResultTable &rows) const
{
    std::vector<int> positions;
    for (const ListField &field : m_fields)
        positions.push_back(rows.columnIndex(field.field));
    return positions;
}

std::optional<QString> ListFormat::cell(const ResultTable &rows, int row, int column,
                                        const std::vector<int> &positions) const
{
    const int field = positions[std::size_t(column)];
    if (field < 0)
        return std::nullopt;
    const CellRule rule = m_fields[column].rule;
    if (rule == CellRule::Enchant)
        return u'+' + rows.displayText(row, field);
    if (rows.isNull(row, field))
        return std::nullopt;
    if (rule == CellRule::Plain)
        return rows.displayText(row, field);
    if (!m_itemNames)
        return std::nullopt;
    if (rows.kind(row, field) == ResultTable::Kind::Integer)
        return m_itemNames->nameFor(rows.integer(row, field));
    return m_itemNames->nameFor(rows.displayText(row, field));
}

ListFormat resultListFormat(const ItemNameIndex &itemNames)
{
    return ListFormat({{QStringLiteral("char_name")},
                       {QStringLiteral("item_type")},
                       {QStringLiteral("item_type"), CellRule::ItemName},
                       {QStringLiteral("amount")},
                       {QStringLiteral("enchant"), CellRule::Enchant},
                       {QStringLiteral("nick_name")}},
                      &itemNames);
}

ListFormat characterListFormat()
{
    return ListFormat({{QStringLiteral("char_name")}, {QStringLiteral("account_name")}});
}

ListFormat itemGridFormat()
{
    return ListFormat({{QStringLiteral("id")}, {QStringLiteral("C")}, {QStringLiteral("E")}});
}

} // namespace realm
