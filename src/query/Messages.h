#pragma once

#include <QString>

namespace realm::messages {

// The texts the searches give the user, in the windows' language, in one
// place: the windows show them in their status lines and the command line
// on standard error.

// The names of the main window's boxes, as the texts name them.
inline const QString ItemIdBox = QStringLiteral("装备ID");
inline const QString AmountBox = QStringLiteral("数量");
inline const QString AmountOperatorBox = QStringLiteral("数量比较符");
inline const QString EnchantBox = QStringLiteral("+几的属性");
inline const QString EnchantOperatorBox = QStringLiteral("+几的属性比较符");

// Nothing to search for.
inline const QString EnterPetName = QStringLiteral("请输入宠物名称。");
inline const QString EnterItemIdOrName = QStringLiteral("请输入装备ID或装备名称。");
inline const QString EnterCharacterName = QStringLiteral("请输入角色名称。");

QString numberOutOfRange(const QString &boxName);
QString notAComparison(const QString &boxName, const QString &boxText);
QString noSuchCharacter(const QString &characterName);

} // namespace realm::messages
