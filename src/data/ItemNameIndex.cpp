#include "data/ItemNameIndex.h"

#include <cmath>

namespace realm {

namespace {

std::optional<qint64> wholeNumber(double value)
{
    if (!std::isfinite(value) || std::trunc(value) != value || std::fabs(value) > 9.0e15)
        return std::nullopt;
    return qint64(value);
}

std::optional<qint64> idOf(const ResultTable &table, int row, int column)
{
    switch (table.kind(row, column)) {
    case ResultTable::Kind::Integer:
        return table.integer(row, column);
    case ResultTable::Kind::Real:
        return wholeNumber(table.real(row, column));
    default:
        return std::nullopt;
    }
}

} // namespace

ItemNameIndex::ItemNameIndex(std::shared_ptr<const ResultTable> items, ItemNameLanguage language)
    : m_items(std::move(items))
{
    const int idColumn = m_items->columnIndex(u"id");
    m_nameColumn = m_items->columnIndex(u"C");
    if (language == ItemNameLanguage::English)
        m_englishColumn = m_items->columnIndex(u"E");
    if (idColumn < 0 || m_nameColumn < 0)
        return;
    m_firstRowOfId.reserve(m_items->rowCount());
    for (int row = 0; row < m_items->rowCount(); ++row) {
        if (const auto id = idOf(*m_items, row, idColumn))
            if (!m_firstRowOfId.contains(*id))
                m_firstRowOfId.insert(*id, row);
    }
}

std::optional<QString> ItemNameIndex::nameFor(QStringView itemIdText) const
{
    const auto cell = nameCellFor(itemIdText);
    return cell ? std::optional(cell->table.displayText(cell->row, cell->column)) : std::nullopt;
}

std::optional<QString> ItemNameIndex::nameFor(qint64 itemId) const
{
    const auto cell = nameCellFor(itemId);
    return cell ? std::optional(cell->table.displayText(cell->row, cell->column)) : std::nullopt;
}

std::optional<ItemNameIndex::NameCell> ItemNameIndex::nameCellFor(QStringView itemIdText) const
{
    bool ok = false;
    const double number = itemIdText.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const auto id = wholeNumber(number);
    if (!id)
        return std::nullopt;
    return nameCellFor(*id);
}

std::optional<ItemNameIndex::NameCell> ItemNameIndex::nameCellFor(qint64 itemId) const
{
    const auto found = m_firstRowOfId.constFind(itemId);
    if (found == m_firstRowOfId.cend())
        return std::nullopt;
    const ResultTable &items = *m_items;
    if (m_englishColumn >= 0 && !items.isNull(*found, m_englishColumn)
        && (items.kind(*found, m_englishColumn) != ResultTable::Kind::Text || !items.textView(*found, m_englishColumn).isEmpty()))
        return NameCell{items, *found, m_englishColumn};
    if (items.isNull(*found, m_nameColumn))
        return std::nullopt;
    return NameCell{items, *found, m_nameColumn};
}

} // namespace realm
