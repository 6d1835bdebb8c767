#pragma once

#include "query/SqlStatement.h"

namespace realm {

// What the user typed into the main window's equipment filters. A box's
// text is empty when nothing was typed; an operator box with empty text has
// no selection.
struct EquipmentFilters {
    QString name;
    QString itemId;
    QString amount;
    QString amountOperator;
    QString enchant;
    QString enchantOperator;
    // Part of an item's name: the item file's ids for it, the search side
    // (itemIdsNamed); equipmentQuery leaves it to the caller.
    QString itemName;
};

inline const QString EquipmentSelect = QStringLiteral(
    "select user_data.char_name,user_item.item_type,user_item.amount,user_item.enchant from user_data,user_item "
    "where user_item.char_id=user_data.char_id ");

// The equipment query: the fixed select, then the name, item-id, amount and
// enchant pieces for the boxes that are not empty (tested untrimmed). The
// name is a parameter of the `like` pattern, so `%` and `_` stay wildcards
// and a quote is just a character. Throws InputError for an operator that is
// not a comparison or a number beyond the floating-point range. The note
// joins those of the number boxes the query reads.
TypedQuery equipmentQuery(const EquipmentFilters &filters);

// The comparison an operator box holds, blanks around it ignored: one of
// = < > <= >= <>. An empty box gives the empty text (no selection).
// Throws InputError for anything else.
QString comparisonOperator(const QString &boxText, const QString &boxName);

} // namespace realm
