#include "query/EquipmentQuery.h"

#include "query/BoxText.h"
#include "query/Messages.h"
#include "query/NumberText.h"

namespace realm {

namespace {

QString numberOf(const QString &boxText, const QString &boxName)
{
    const auto text = numberText(boxText);
    if (!text)
        throw InputError(messages::numberOutOfRange(boxName));
    return *text;
}

QString comparisonPiece(const QString &column, const QString &value, const QString &operatorText,
                        const QString &valueBox, const QString &operatorBox)
{
    if (value.isEmpty())
        return {};
    const QString comparison = comparisonOperator(operatorText, operatorBox);
    if (comparison.isEmpty())
        return {};
    return QStringLiteral(" and ") + column + comparison + numberOf(value, valueBox);
}

} // namespace

QString comparisonOperator(const QString &boxText, const QString &boxName)
{
    static const QStringList comparisons = {QStringLiteral("="), QStringLiteral("<"), QStringLiteral(">"),
                                            QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
    const QString trimmed = trimBlanks(boxText);
    if (boxText.isEmpty() || comparisons.contains(trimmed))
        return trimmed;
    throw InputError(messages::notAComparison(boxName, boxText));
}

SqlStatement equipmentQuery(const EquipmentFilters &filters)
{
    SqlStatement statement{EquipmentSelect, {}};
    if (!filters.name.isEmpty()) {
        statement.text += QStringLiteral(" and user_data.char_name like ?");
        statement.parameters << u'%' + trimBlanks(filters.name) + u'%';
    }
    if (!filters.itemId.isEmpty())
        statement.text += QStringLiteral(" and user_item.item_type=") + numberOf(filters.itemId, messages::itemIdBox());
    statement.text += comparisonPiece(QStringLiteral("user_item.amount"), filters.amount, filters.amountOperator,
                                      messages::amountBox(), messages::amountOperatorBox());
    statement.text += comparisonPiece(QStringLiteral("user_item.enchant"), filters.enchant, filters.enchantOperator,
                                      messages::enchantBox(), messages::enchantOperatorBox());
    return statement;
}

QString equipmentNumberNotes(const EquipmentFilters &filters)
{
    QStringList notes;
    if (!filters.itemId.isEmpty())
        notes << numberReadNote(filters.itemId, messages::itemIdBox());
    if (!filters.amount.isEmpty() && !filters.amountOperator.isEmpty())
        notes << numberReadNote(filters.amount, messages::amountBox());
    if (!filters.enchant.isEmpty() && !filters.enchantOperator.isEmpty())
        notes << numberReadNote(filters.enchant, messages::enchantBox());
    notes.removeAll(QString());
    return notes.join(QStringLiteral("；"));
}

} // namespace realm
