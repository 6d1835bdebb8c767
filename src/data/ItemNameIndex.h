#pragma once

#include "data/ResultTable.h"

#include <QHash>

#include <memory>
#include <optional>

namespace realm {

// Which name of an item the result list shows: its Chinese name `C`, or its
// English name `E` where the item file has one that is neither Null nor
// empty, else `C`.
enum class ItemNameLanguage { Chinese,
                              English };

// Item id -> name, built once from the preloaded item table. Gives
// the same answer as scanning the table from its first record for
// id='<text>' (the first record in record order wins; a quoted number
// matches the equal numeric id), at a cost that does not grow with the table.
class ItemNameIndex {
public:
    ItemNameIndex() = default;
    explicit ItemNameIndex(std::shared_ptr<const ResultTable> items,
                           ItemNameLanguage language = ItemNameLanguage::Chinese);

    // The name of the first record whose id equals the number the text
    // stands for; nullopt when none does or the name is Null.
    std::optional<QString> nameFor(QStringView itemIdText) const;
    std::optional<QString> nameFor(qint64 itemId) const;

    // Where the item table holds the name nameFor gives.
    struct NameCell {
        const ResultTable &table;
        int row;
        int column;
    };
    std::optional<NameCell> nameCellFor(QStringView itemIdText) const;
    std::optional<NameCell> nameCellFor(qint64 itemId) const;

private:
    std::shared_ptr<const ResultTable> m_items;
    int m_nameColumn = -1;
    int m_englishColumn = -1;
    QHash<qint64, int> m_firstRowOfId;
};

} // namespace realm
