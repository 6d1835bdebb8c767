#pragma once

#include "data/ResultTable.h"

#include <QHash>

#include <memory>
#include <optional>
#include <string>
#include <vector>

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

    // The text of the name nameFor gives, held by the index; nullopt where
    // nameFor gives nullopt.
    std::optional<QStringView> nameView(QStringView itemIdText) const;
    std::optional<QStringView> nameView(qint64 itemId) const;

    // Start loading from memory what a later nameView(itemId) reads, so a
    // list that looks up ids in random order waits on memory less: first
    // where the name is, some rows ahead, then the name's text, fewer rows
    // ahead, once where it is has come. Changes nothing.
    void prefetchPlace(qint64 itemId) const;
    void prefetchText(qint64 itemId) const;

private:
    // Where a name is in m_texts; Length 0xFFFFFFFF: no name.
    struct NameSpan {
        quint32 start = 0;
        quint32 length = NoName;
    };
    static constexpr quint32 NoName = 0xFFFFFFFF;

    // Where the id's entry is in m_nameByOffset; nullopt when it has none
    // there (also when the ids are hashed).
    std::optional<std::size_t> offsetOf(qint64 itemId) const;
    const NameSpan *placeOf(qint64 itemId) const;
    NameSpan keepName(const ResultTable &items, int row, int nameColumn, int englishColumn);
    void placeNames(const ResultTable &items, const QHash<qint64, int> &firstRowOfId, int nameColumn, int englishColumn);

    // The names as the list shows them, one after another: a lookup then
    // touches little memory, however large the item table.
    std::u16string m_texts;
    // Each id's name: by the id's distance from the smallest id where the
    // ids lie close together, as item ids do, else by hashing.
    qint64 m_smallestId = 0;
    std::vector<NameSpan> m_nameByOffset;
    QHash<qint64, NameSpan> m_nameById;
};

} // namespace realm
