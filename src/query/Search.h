#pragma once

#include "query/AuditQueries.h"
#include "query/EquipmentQuery.h"

#include <variant>

namespace realm {

// Each search as the user asked for it: what was typed into its boxes, as
// typed. The windows, the command line and the benchmark build these and
// hand them to runSearch, through a SearchChannel.
struct EquipmentSearch {
    EquipmentFilters filters;
};
// The totals of what the equipment search would find, by item or by
// character.
struct TotalsSearch {
    EquipmentFilters filters;
    TotalsGrouping grouping = TotalsGrouping::ByItem;
};
// The item instances held more than once, optionally only those with a row
// of the item typed into the id or name box.
struct DuplicatesSearch {
    QString itemId;
    QString itemName;
};
struct PetSearch {
    QString petName;
};
struct ItemLookup {
    QString idText;
    QString nameText;
};
struct AccountLookup {
    QString characterName;
};
using Search = std::variant<EquipmentSearch, TotalsSearch, DuplicatesSearch, PetSearch, ItemLookup, AccountLookup>;

// Which shared connection a search reads.
enum class SearchSource { GameDatabase,
                          ItemFile };

inline SearchSource sourceOf(const Search &search)
{
    return std::holds_alternative<ItemLookup>(search) ? SearchSource::ItemFile : SearchSource::GameDatabase;
}

} // namespace realm
