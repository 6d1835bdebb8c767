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
    const CellSource found = source(rows, row, column, positions);
    if (!found.table)
        return std::nullopt;
    const QString text = found.table->displayText(found.row, found.column);
    return found.plus ? u'+' + text : text;
}

ListFormat::CellSource ListFormat::source(const ResultTable &rows, int row, int column,
                                          const std::vector<int> &positions) const
{
    const int field = positions[std::size_t(column)];
    if (field < 0)
        return {};
    const CellRule rule = m_fields[column].rule;
    if (rule == CellRule::Enchant)
        return {&rows, row, field, true};
    if (rows.isNull(row, field))
        return {};
    if (rule == CellRule::Plain)
        return {&rows, row, field};
    if (!m_itemNames)
        return {};
    const auto name = rows.kind(row, field) == ResultTable::Kind::Integer
        ? m_itemNames->nameCellFor(rows.integer(row, field))
        : m_itemNames->nameCellFor(rows.displayText(row, field));
    return name ? CellSource{&name->table, name->row, name->column} : CellSource{};
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
