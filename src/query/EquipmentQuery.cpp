#include "query/EquipmentQuery.h"

#include "data/IniFile.h"
#include "query/NumberText.h"

#include <QCoreApplication>

namespace realm {

namespace {

QString numberOf(const QString &boxText, const QString &boxName)
{
    const auto text = numberText(boxText);
    if (!text)
        throw InputError(QCoreApplication::translate("realm::Query", "%1：数值超出可查询的范围。").arg(boxName));
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
    throw InputError(QCoreApplication::translate("realm::Query", "%1：“%2”不是比较符，请用 = < > <= >= <> 之一。").arg(boxName, boxText));
}

SqlStatement equipmentQuery(const EquipmentFilters &filters)
{
    SqlStatement statement{EquipmentSelect, {}};
    if (!filters.name.isEmpty()) {
        statement.text += QStringLiteral(" and user_data.char_name like ?");
        statement.parameters << u'%' + trimBlanks(filters.name) + u'%';
    }
    if (!filters.itemId.isEmpty())
        statement.text += QStringLiteral(" and user_item.item_type=") + numberOf(filters.itemId, QCoreApplication::translate("realm::Query", "装备ID"));
    statement.text += comparisonPiece(QStringLiteral("user_item.amount"), filters.amount, filters.amountOperator,
                                      QCoreApplication::translate("realm::Query", "数量"), QCoreApplication::translate("realm::Query", "数量比较符"));
    statement.text += comparisonPiece(QStringLiteral("user_item.enchant"), filters.enchant, filters.enchantOperator,
                                      QCoreApplication::translate("realm::Query", "+几的属性"), QCoreApplication::translate("realm::Query", "+几的属性比较符"));
    return statement;
}

} // namespace realm
