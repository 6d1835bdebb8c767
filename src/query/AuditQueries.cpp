#include "query/AuditQueries.h"

#include "query/EquipmentQuery.h"
#include "query/ItemIds.h"

namespace realm {

namespace {

const QString ItemTotals = QStringLiteral(
    "select user_item.item_type,count(distinct user_item.char_id) as characters,count(*) as row_count,"
    "sum(cast(user_item.amount as bigint)) as amount,max(user_item.enchant) as max_enchant ");
const QString CharacterTotals = QStringLiteral(
    "select user_data.char_id,max(user_data.char_name) as char_name,user_item.item_type,count(*) as row_count,"
    "sum(cast(user_item.amount as bigint)) as amount ");
const QString ItemGroups = QStringLiteral(" group by user_item.item_type");
// A character is its char_id; grouping by the name too would compare names
// under their collation for every row.
const QString CharacterGroups = QStringLiteral(" group by user_data.char_id,user_item.item_type");

const QString DuplicatedRows = QStringLiteral(
    "select user_item.item_id as instance_id,user_data.char_name,user_item.item_type,user_item.amount,"
    "user_item.enchant from user_item left join user_data on user_data.char_id=user_item.char_id "
    "where user_item.item_id in (select item_id from user_item group by item_id having count(*)>1)");
const QString ByInstance = QStringLiteral(" order by user_item.item_id");
const QString InstancesOfType = QStringLiteral(
    " and user_item.item_id in (select user_item.item_id from user_item where user_item.item_type");

// The equipment statement's filters: what follows its fixed select text.
QString filtersOf(const SqlStatement &equipment)
{
    return equipment.text.mid(EquipmentSelect.size());
}

} // namespace

SqlStatement totalsQuery(const SqlStatement &equipment, TotalsGrouping grouping)
{
    const bool byItem = grouping == TotalsGrouping::ByItem;
    const QString from = QStringLiteral("from user_data,user_item where user_item.char_id=user_data.char_id ");
    return {(byItem ? ItemTotals : CharacterTotals) + from + filtersOf(equipment) + (byItem ? ItemGroups : CharacterGroups),
            equipment.parameters};
}

qsizetype itemListPlace(const SqlStatement &totals)
{
    return totals.text.lastIndexOf(QStringLiteral(" group by "));
}

SqlStatement duplicatesQuery(const QString &itemIdSql)
{
    QString text = DuplicatedRows;
    if (!itemIdSql.isEmpty())
        text += InstancesOfType + u'=' + itemIdSql + u')';
    return {text + ByInstance, {}};
}

SqlStatement duplicatesOfItems(const SqlStatement &duplicates, std::span<const qint64> itemTypes)
{
    return withIdList(duplicates, itemTypes, InstancesOfType + QStringLiteral(" in "), QStringLiteral(")"),
                      duplicates.text.lastIndexOf(ByInstance));
}

ListFormat totalsFormat(TotalsGrouping grouping, const ItemNameIndex &itemNames)
{
    if (grouping == TotalsGrouping::ByCharacter)
        return ListFormat({{QStringLiteral("char_name")},
                           {QStringLiteral("item_type")},
                           {QStringLiteral("item_type"), CellRule::ItemName},
                           {QStringLiteral("row_count")},
                           {QStringLiteral("amount")}},
                          &itemNames);
    return ListFormat({{QStringLiteral("item_type")},
                       {QStringLiteral("item_type"), CellRule::ItemName},
                       {QStringLiteral("characters")},
                       {QStringLiteral("row_count")},
                       {QStringLiteral("amount")},
                       {QStringLiteral("max_enchant")}},
                      &itemNames);
}

ListFormat duplicatesFormat(const ItemNameIndex &itemNames)
{
    return ListFormat({{QStringLiteral("instance_id")},
                       {QStringLiteral("char_name")},
                       {QStringLiteral("item_type")},
                       {QStringLiteral("item_type"), CellRule::ItemName},
                       {QStringLiteral("amount")},
                       {QStringLiteral("enchant"), CellRule::Enchant}},
                      &itemNames);
}

} // namespace realm
