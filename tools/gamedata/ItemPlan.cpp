#include "ItemPlan.h"

#include <algorithm>

namespace gamedata {

ItemPlan::ItemPlan(std::int64_t tableRows, std::int64_t usedIds)
    : m_tableRows(tableRows), m_distinctIds(std::max<std::int64_t>(1, tableRows - tableRows / DuplicateEvery)),
      m_usedIds(usedIds > 0 ? std::min(usedIds, m_distinctIds) : m_distinctIds),
      m_popularIds(std::max<std::int64_t>(1, m_usedIds / 100))
{
}

std::int64_t ItemPlan::gameItemType(Random &random) const
{
    if (random.percent(MissPercent))
        return tableId(std::int64_t(random.below(std::uint64_t(m_usedIds)))) + 1;
    if (random.percent(PopularPercent))
        return tableId(std::int64_t(random.below(std::uint64_t(m_popularIds))));
    return tableId(std::int64_t(random.below(std::uint64_t(m_usedIds))));
}

} // namespace gamedata
