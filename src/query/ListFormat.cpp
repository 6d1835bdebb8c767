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
    ShownCell found;
    showInto(found, rows, row, column, positions);
    if (!found.isSet)
        return std::nullopt;
    const QString text = ResultTable::displayText(found.value);
    return found.plus ? u'+' + text : text;
}

void ListFormat::showInto(ShownCell &cell, const ResultTable &rows, int row, int column,
                          const std::vector<int> &positions) const
{
    cell.isSet = false;
    cell.plus = false;
    const int field = positions[std::size_t(column)];
    if (field < 0)
        return;
    const CellRule rule = m_fields[column].rule;
    cell.value = rows.cell(row, field);
    if (rule == CellRule::Enchant) {
        cell.isSet = cell.plus = true;
        return;
    }
    if (cell.value.kind == ResultTable::Kind::Null || rule == CellRule::Plain) {
        cell.isSet = cell.value.kind != ResultTable::Kind::Null;
        return;
    }
    if (!m_itemNames)
        return;
    const auto name = cell.value.kind == ResultTable::Kind::Integer ? m_itemNames->nameView(cell.value.integer)
                                                                    : m_itemNames->nameView(ResultTable::displayText(cell.value));
    if (!name)
        return;
    cell.isSet = true;
    cell.value.kind = ResultTable::Kind::Text;
    cell.value.text = *name;
}

void ListFormat::shownRow(const ResultTable &rows, int row, const std::vector<int> &positions, ShownCell *cells) const
{
    for (int column = 0; column < columnCount(); ++column)
        showInto(cells[column], rows, row, column, positions);
}

void ListFormat::prefetchAhead(const ResultTable &rows, int row, const std::vector<int> &positions) const
{
    // Where a name is must have come before its text can be asked for.
    constexpr int PlaceAhead = 16;
    constexpr int TextAhead = 8;
    if (!m_itemNames)
        return;
    const auto idAt = [&rows](int ahead, int field) -> std::optional<qint64> {
        if (ahead >= rows.rowCount())
            return std::nullopt;
        const ResultTable::Cell id = rows.cell(ahead, field);
        return id.kind == ResultTable::Kind::Integer ? std::optional(id.integer) : std::nullopt;
    };
    for (int column = 0; column < columnCount(); ++column) {
        const int field = positions[std::size_t(column)];
        if (m_fields[column].rule != CellRule::ItemName || field < 0)
            continue;
        if (const auto id = idAt(row + PlaceAhead, field))
            m_itemNames->prefetchPlace(*id);
        if (const auto id = idAt(row + TextAhead, field))
            m_itemNames->prefetchText(*id);
    }
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
