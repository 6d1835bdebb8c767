#pragma once

#include "data/ResultTable.h"

#include <QHash>

#include <memory>
#include <optional>

namespace realm {

// Item id -> Chinese name, built once from the preloaded item table. Gives
// the same answer as scanning the table from its first record for
// id='<text>' (the first record in record order wins; a quoted number
// matches the equal numeric id), at a cost that does not grow with the table.
class ItemNameIndex {
public:
    ItemNameIndex() = default;
    explicit ItemNameIndex(std::shared_ptr<const ResultTable> items);

    // The `C` of the first record whose id equals the number the text
    // stands for; nullopt when none does or its `C` is Null.
    std::optional<QString> nameFor(QStringView itemIdText) const;
    std::optional<QString> nameFor(qint64 itemId) const;

private:
    std::shared_ptr<const ResultTable> m_items;
    int m_nameColumn = -1;
    QHash<qint64, int> m_firstRowOfId;
};

} // namespace realm
