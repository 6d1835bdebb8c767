#include "query/Messages.h"

namespace realm::messages {

QString numberOutOfRange(const QString &boxName)
{
    return QStringLiteral("%1：数值超出可查询的范围。").arg(boxName);
}

QString notAComparison(const QString &boxName, const QString &boxText)
{
    return QStringLiteral("%1：“%2”不是比较符，请用 = < > <= >= <> 之一。").arg(boxName, boxText);
}

QString noSuchCharacter(const QString &characterName)
{
    return QStringLiteral("没有名为“%1”的角色。").arg(characterName);
}

} // namespace realm::messages
