#pragma once

#include "query/ListFormat.h"
#include "query/SqlStatement.h"

#include <span>

namespace realm {

class ItemNameIndex;

enum class TotalsGrouping { ByItem,
                            ByCharacter };

// The totals of what the equipment statement `equipment` (from
// equipmentQuery) finds, over the same join and filters, grouped by the
// database: by item (item_type, characters, row_count, amount,
// max_enchant) or by character (char_id, char_name, item_type, row_count,
// amount). Amounts are added as bigint, which a sum of int would overflow.
SqlStatement totalsQuery(const SqlStatement &equipment, TotalsGrouping grouping);
// Where a list of item types goes into a totals statement.
qsizetype itemListPlace(const SqlStatement &totals);

// Every user_item row whose item_id (the instance) occurs in more than one
// row, with its holder if it has one, by instance: instance_id, char_name,
// item_type, amount, enchant. `itemIdSql`, when not empty, keeps only the
// instances with a row of that item type.
SqlStatement duplicatesQuery(const QString &itemIdSql);
// The duplicates statement kept to the instances with a row of one of
// `itemTypes`.
SqlStatement duplicatesOfItems(const SqlStatement &duplicates, std::span<const qint64> itemTypes);

// How the lists and the command line show them.
ListFormat totalsFormat(TotalsGrouping grouping, const ItemNameIndex &itemNames);
ListFormat duplicatesFormat(const ItemNameIndex &itemNames);

} // namespace realm
