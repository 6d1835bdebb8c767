#include "query/EquipmentQuery.h"

#include "query/BoxText.h"
#include "query/Messages.h"
#include "query/NumberText.h"

namespace realm {

namespace {

// The box's number as SQL text; its note joins the query's notes.
QString numberOf(const QString &boxText, const QString &boxName, QStringList &notes)
{
    const auto box = readNumberBox(boxText, boxName);
    if (!box)
        throw InputError(messages::numberOutOfRange(boxName));
    if (!box->note.isEmpty())
        notes << box->note;
    return box->sqlText;
}

QString comparisonPiece(const QString &column, const QString &value, const QString &operatorText,
                        const QString &valueBox, const QString &operatorBox, QStringList &notes)
{
    if (value.isEmpty())
        return {};
    const QString comparison = comparisonOperator(operatorText, operatorBox);
    if (comparison.isEmpty())
        return {};
    return QStringLiteral(" and ") + column + comparison + numberOf(value, valueBox, notes);
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

TypedQuery equipmentQuery(const EquipmentFilters &filters)
{
    SqlStatement statement{EquipmentSelect, {}};
    QStringList notes;
    if (!filters.name.isEmpty()) {
        statement.text += QStringLiteral(" and user_data.char_name like ?");
        statement.parameters << u'%' + trimBlanks(filters.name) + u'%';
    }
    if (!filters.itemId.isEmpty())
        statement.text += QStringLiteral(" and user_item.item_type=") + numberOf(filters.itemId, messages::itemIdBox(), notes);
    statement.text += comparisonPiece(QStringLiteral("user_item.amount"), filters.amount, filters.amountOperator,
                                      messages::amountBox(), messages::amountOperatorBox(), notes);
    statement.text += comparisonPiece(QStringLiteral("user_item.enchant"), filters.enchant, filters.enchantOperator,
                                      messages::enchantBox(), messages::enchantOperatorBox(), notes);
    return {statement, notes.join(messages::noteSeparator())};
}

} // namespace realm
