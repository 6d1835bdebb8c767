#include "query/AuditResults.h"

#include "data/DataError.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace realm {

namespace {

std::optional<qint64> wholeNumber(const ResultTable &table, int row, int column)
{
    const ResultTable::Cell cell = table.cell(row, column);
    switch (cell.kind) {
    case ResultTable::Kind::Null:
        return std::nullopt;
    case ResultTable::Kind::Integer:
        return cell.integer;
    case ResultTable::Kind::Real:
        if (std::isfinite(cell.real) && std::trunc(cell.real) == cell.real && std::fabs(cell.real) < 9.0e15)
            return qint64(cell.real);
        break;
    case ResultTable::Kind::Text:
        break;
    }
    throw DataError(ErrorNumber::BadArgument, QCoreApplication::translate("realm::Searches", "统计结果的“%1”列不是整数：%2").arg(table.columnName(column), ResultTable::displayText(cell)));
}

std::optional<qint64> added(std::optional<qint64> sum, std::optional<qint64> value)
{
    if (!value)
        return sum;
    return sum.value_or(0) + *value;
}

std::optional<qint64> highest(std::optional<qint64> best, std::optional<qint64> value)
{
    if (!value)
        return best;
    return best ? std::max(*best, *value) : *value;
}

void appendNumber(ResultTable &table, std::optional<qint64> value)
{
    value ? table.appendInteger(*value) : table.appendNull();
}

int requiredColumn(const ResultTable &table, const QString &name)
{
    const int column = table.columnIndex(name);
    if (column < 0)
        throw DataError(ErrorNumber::FieldNotFound, QCoreApplication::translate("realm::Searches", "统计结果缺少“%1”列").arg(name));
    return column;
}

void copyCell(const ResultTable &from, int row, int column, ResultTable &to)
{
    const ResultTable::Cell cell = from.cell(row, column);
    switch (cell.kind) {
    case ResultTable::Kind::Null:
        to.appendNull();
        break;
    case ResultTable::Kind::Integer:
        to.appendInteger(cell.integer);
        break;
    case ResultTable::Kind::Real:
        to.appendReal(cell.real);
        break;
    case ResultTable::Kind::Text:
        to.appendText(cell.text);
        break;
    }
}

} // namespace

void TotalsSum::add(const ResultTable &groups)
{
    const bool byItem = m_grouping == TotalsGrouping::ByItem;
    std::vector<int> columns{requiredColumn(groups, QStringLiteral("item_type")),
                             requiredColumn(groups, QStringLiteral("row_count")),
                             requiredColumn(groups, QStringLiteral("amount"))};
    if (byItem)
        columns.insert(columns.end(), {requiredColumn(groups, QStringLiteral("characters")), requiredColumn(groups, QStringLiteral("max_enchant"))});
    else
        columns.insert(columns.end(), {requiredColumn(groups, QStringLiteral("char_id")), requiredColumn(groups, QStringLiteral("char_name"))});
    for (int row = 0; row < groups.rowCount(); ++row)
        addRow(groups, row, columns);
}

void TotalsSum::addRow(const ResultTable &groups, int row, const std::vector<int> &columns)
{
    const bool byItem = m_grouping == TotalsGrouping::ByItem;
    const Key key{wholeNumber(groups, row, columns[0]), byItem ? std::nullopt : wholeNumber(groups, row, columns[3])};
    auto place = m_placeOf.constFind(key);
    if (place == m_placeOf.constEnd()) {
        place = m_placeOf.insert(key, m_groups.size());
        m_groups.push_back({key, {}, true, 0, 0, std::nullopt, std::nullopt});
        if (!byItem && !groups.isNull(row, columns[4])) {
            m_groups.back().characterName = groups.displayText(row, columns[4]);
            m_groups.back().nameIsNull = false;
        }
    }
    Group &group = m_groups[*place];
    group.rows += wholeNumber(groups, row, columns[1]).value_or(0);
    group.amount = added(group.amount, wholeNumber(groups, row, columns[2]));
    if (byItem) {
        group.characters += wholeNumber(groups, row, columns[3]).value_or(0);
        group.maxEnchant = highest(group.maxEnchant, wholeNumber(groups, row, columns[4]));
    }
}

std::shared_ptr<ResultTable> TotalsSum::sortedTable() const
{
    std::vector<const Group *> order;
    order.reserve(m_groups.size());
    for (const Group &group : m_groups)
        order.push_back(&group);
    // Nulls last; std::optional orders them first.
    const auto descending = [](std::optional<qint64> a, std::optional<qint64> b) { return a.has_value() && (!b || *a > *b); };
    const auto ascending = [](std::optional<qint64> a, std::optional<qint64> b) { return a.has_value() && (!b || *a < *b); };
    std::sort(order.begin(), order.end(), [&](const Group *a, const Group *b) {
        if (a->amount != b->amount)
            return descending(a->amount, b->amount);
        if (a->key.itemType != b->key.itemType)
            return ascending(a->key.itemType, b->key.itemType);
        if (a->characterName != b->characterName)
            return a->characterName < b->characterName;
        return ascending(a->key.characterId, b->key.characterId);
    });
    const bool byItem = m_grouping == TotalsGrouping::ByItem;
    auto table = std::make_shared<ResultTable>(
        byItem ? QStringList{QStringLiteral("item_type"), QStringLiteral("characters"), QStringLiteral("row_count"),
                             QStringLiteral("amount"), QStringLiteral("max_enchant")}
               : QStringList{QStringLiteral("char_name"), QStringLiteral("item_type"), QStringLiteral("row_count"),
                             QStringLiteral("amount")});
    for (const Group *group : order) {
        if (!byItem)
            group->nameIsNull ? table->appendNull() : table->appendText(group->characterName);
        appendNumber(*table, group->key.itemType);
        if (byItem)
            table->appendInteger(group->characters);
        table->appendInteger(group->rows);
        appendNumber(*table, group->amount);
        if (byItem)
            appendNumber(*table, group->maxEnchant);
    }
    return table;
}

std::shared_ptr<ResultTable> mergeDuplicates(const std::vector<std::shared_ptr<const ResultTable>> &results)
{
    struct Place {
        qint64 instance;
        std::size_t result;
        int row;
    };
    std::vector<Place> places;
    for (std::size_t result = 0; result < results.size(); ++result) {
        const ResultTable &rows = *results[result];
        const int instanceColumn = requiredColumn(rows, QStringLiteral("instance_id"));
        for (int row = 0; row < rows.rowCount(); ++row)
            places.push_back({wholeNumber(rows, row, instanceColumn).value_or(0), result, row});
    }
    std::stable_sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.instance < b.instance; });
    const QStringList columns = results.empty() ? QStringList{} : results.front()->columnNames();
    auto merged = std::make_shared<ResultTable>(columns);
    std::size_t keptResult = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place &place = places[i];
        if (i == 0 || place.instance != places[i - 1].instance)
            keptResult = place.result;
        if (place.result != keptResult)
            continue;
        for (int column = 0; column < merged->columnCount(); ++column)
            copyCell(*results[place.result], place.row, column, *merged);
    }
    return merged;
}

} // namespace realm
