#pragma once

#include "data/ResultTable.h"
#include "query/AuditQueries.h"

#include <QHash>

#include <memory>
#include <optional>
#include <vector>

namespace realm {

// The groups of totals results added up into one: the one place where the
// totals of several requests (slices of item ids; later, servers) become
// one list. Counts and amounts add, enchants take the highest. Adding the
// distinct-character counts is exact only because no group spans two
// requests: slices partition the item ids, so an item's group, and a
// character's group of one item, is counted by one request alone.
class TotalsSum {
public:
    explicit TotalsSum(TotalsGrouping grouping)
        : m_grouping(grouping) { }

    // Throws DataError for a count or amount that is not a whole number.
    void add(const ResultTable &groups);
    // The groups by amount, highest first, then by item id, then by
    // character name: item_type, characters, row_count, amount,
    // max_enchant by item; char_name, item_type, row_count, amount by
    // character.
    std::shared_ptr<ResultTable> sortedTable() const;

private:
    struct Key {
        std::optional<qint64> itemType;
        std::optional<qint64> characterId;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.itemType.value_or(-1), key.itemType.has_value(), key.characterId.value_or(-1));
    }
    struct Group {
        Key key;
        QString characterName;
        bool nameIsNull = true;
        qint64 characters = 0;
        qint64 rows = 0;
        std::optional<qint64> amount;
        std::optional<qint64> maxEnchant;
    };
    void addRow(const ResultTable &groups, int row, const std::vector<int> &columns);

    TotalsGrouping m_grouping;
    QHash<Key, std::size_t> m_placeOf;
    std::vector<Group> m_groups;
};

// The rows of several duplicates results as one, by instance id: an
// instance that two requests both found keeps the rows of the first.
std::shared_ptr<ResultTable> mergeDuplicates(const std::vector<std::shared_ptr<const ResultTable>> &results);

} // namespace realm
