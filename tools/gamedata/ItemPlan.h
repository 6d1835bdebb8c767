#pragma once

#include "Random.h"

#include <cstdint>

namespace gamedata {

// Which item ids the item table holds and which the game rows use. The
// table holds the odd ids 1, 3, 5, ...; the game rows also use even ids,
// which no table holds. The game rows use the first `usedIds` ids of the
// table (0: all of them), so the same usedIds gives the same game rows with
// a small and with a large table, and the share of rows that find their
// name is the same for every table size.
class ItemPlan {
public:
    ItemPlan(std::int64_t tableRows, std::int64_t usedIds);

    std::int64_t tableRows() const { return m_tableRows; }
    // Ids that appear once more, later in the table, with another name.
    std::int64_t duplicateEvery() const { return DuplicateEvery; }
    static std::int64_t tableId(std::int64_t index) { return 2 * index + 1; }

    // An item type for one game row: mostly ids of the table, a few popular
    // ones (coins, potions) much more often, and some ids the table lacks.
    std::int64_t gameItemType(Random &random) const;

private:
    static constexpr std::int64_t DuplicateEvery = 50;
    static constexpr unsigned MissPercent = 10;
    static constexpr unsigned PopularPercent = 25;

    std::int64_t m_tableRows;
    std::int64_t m_distinctIds;
    std::int64_t m_usedIds;
    std::int64_t m_popularIds;
};

} // namespace gamedata
