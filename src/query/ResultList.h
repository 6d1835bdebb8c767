#pragma once

#include "query/ReportSink.h"

namespace realm {

class ItemNameIndex;
class Recordset;

// The six columns of the main window's result list.
enum ResultColumn { CharNameColumn,
                    ItemIdColumn,
                    ItemNameColumn,
                    AmountColumn,
                    EnchantColumn,
                    PetNameColumn,
                    ResultColumnCount };

// Clears the list and writes one row per result row, in result order: the
// character, the item id, its name from the item table, the amount, "+" and
// the enchant level, the pet's nickname. A Null value or a column the
// result lacks leaves its cell empty; a result that is not open leaves the
// list empty.
void fillResultList(const Recordset &result, const ItemNameIndex &itemNames, ReportSink &list);

} // namespace realm
