#include "data/ItemNameIndex.h"

#include <algorithm>
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
{
    const int idColumn = items->columnIndex(u"id");
    const int nameColumn = items->columnIndex(u"C");
    const int englishColumn = language == ItemNameLanguage::English ? items->columnIndex(u"E") : -1;
    if (idColumn < 0 || nameColumn < 0)
        return;
    QHash<qint64, int> firstRowOfId;
    firstRowOfId.reserve(items->rowCount());
    for (int row = 0; row < items->rowCount(); ++row) {
        if (const auto id = idOf(*items, row, idColumn); id && !firstRowOfId.contains(*id))
            firstRowOfId.insert(*id, row);
    }
    placeNames(*items, firstRowOfId, nameColumn, englishColumn);
}

// The English name where there is one that is neither Null nor empty,
// else the Chinese one; a name that is a number is kept as the list shows it.
ItemNameIndex::NameSpan ItemNameIndex::keepName(const ResultTable &items, int row, int nameColumn, int englishColumn)
{
    ResultTable::Cell name = englishColumn >= 0 ? items.cell(row, englishColumn) : ResultTable::Cell{};
    if (name.kind == ResultTable::Kind::Null || (name.kind == ResultTable::Kind::Text && name.text.isEmpty()))
        name = items.cell(row, nameColumn);
    if (name.kind == ResultTable::Kind::Null)
        return {};
    const QString number = name.kind == ResultTable::Kind::Text ? QString() : ResultTable::displayText(name);
    const QStringView text = name.kind == ResultTable::Kind::Text ? name.text : QStringView(number);
    const NameSpan span{quint32(m_texts.size()), quint32(text.size())};
    m_texts.append(reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()));
    return span;
}

void ItemNameIndex::placeNames(const ResultTable &items, const QHash<qint64, int> &firstRowOfId, int nameColumn, int englishColumn)
{
    if (firstRowOfId.isEmpty())
        return;
    const auto [smallest, largest] = std::minmax_element(firstRowOfId.keyBegin(), firstRowOfId.keyEnd());
    const quint64 span = quint64(*largest) - quint64(*smallest);
    const bool close = span < 4 * quint64(firstRowOfId.size()) + 1024;
    m_smallestId = *smallest;
    if (close)
        m_nameByOffset.assign(std::size_t(span) + 1, NameSpan{});
    for (auto it = firstRowOfId.cbegin(); it != firstRowOfId.cend(); ++it) {
        const NameSpan name = keepName(items, it.value(), nameColumn, englishColumn);
        if (close)
            m_nameByOffset[*offsetOf(it.key())] = name;
        else
            m_nameById.insert(it.key(), name);
    }
}

std::optional<QString> ItemNameIndex::nameFor(QStringView itemIdText) const
{
    const auto name = nameView(itemIdText);
    return name ? std::optional(name->toString()) : std::nullopt;
}

std::optional<QString> ItemNameIndex::nameFor(qint64 itemId) const
{
    const auto name = nameView(itemId);
    return name ? std::optional(name->toString()) : std::nullopt;
}

std::optional<QStringView> ItemNameIndex::nameView(QStringView itemIdText) const
{
    bool ok = false;
    const double number = itemIdText.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const auto id = wholeNumber(number);
    return id ? nameView(*id) : std::nullopt;
}

std::optional<QStringView> ItemNameIndex::nameView(qint64 itemId) const
{
    const NameSpan *const place = placeOf(itemId);
    if (!place || place->length == NoName)
        return std::nullopt;
    return QStringView(m_texts.data() + place->start, qsizetype(place->length));
}

void ItemNameIndex::prefetchPlace(qint64 itemId) const
{
    if (const auto offset = offsetOf(itemId))
        __builtin_prefetch(m_nameByOffset.data() + *offset);
}

void ItemNameIndex::prefetchText(qint64 itemId) const
{
    // A hashed id is not worth a lookup just to prefetch.
    if (const auto offset = offsetOf(itemId); offset && m_nameByOffset[*offset].length != NoName)
        __builtin_prefetch(m_texts.data() + m_nameByOffset[*offset].start);
}

std::optional<std::size_t> ItemNameIndex::offsetOf(qint64 itemId) const
{
    const quint64 offset = quint64(itemId) - quint64(m_smallestId);
    return offset < m_nameByOffset.size() ? std::optional(std::size_t(offset)) : std::nullopt;
}

const ItemNameIndex::NameSpan *ItemNameIndex::placeOf(qint64 itemId) const
{
    if (m_nameByOffset.empty()) {
        const auto found = m_nameById.constFind(itemId);
        return found == m_nameById.constEnd() ? nullptr : &*found;
    }
    const auto offset = offsetOf(itemId);
    return offset ? &m_nameByOffset[*offset] : nullptr;
}

} // namespace realm
