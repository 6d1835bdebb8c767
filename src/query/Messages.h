#pragma once

#include <QString>

namespace realm::messages {

// The texts the searches give the user, in the interface language, in one
// place: the windows show them in their status lines and the command line
// on standard error. Functions, so each is translated when it is shown.

// The names of the main window's boxes, as the texts name them.
QString itemIdBox();
QString amountBox();
QString amountOperatorBox();
QString enchantBox();
QString enchantOperatorBox();

// Nothing to search for.
QString enterPetName();
QString enterItemIdOrName();
QString enterCharacterName();

QString numberOutOfRange(const QString &boxName);
QString notAComparison(const QString &boxName, const QString &boxText);
QString noSuchCharacter(const QString &characterName);
QString noAccount(const QString &characterName);
// An item-name box whose text no entry of the item file holds.
QString noItemNamed(const QString &nameText);
// A box whose text holds more than the number that was read from it.
QString numberReadAs(const QString &boxName, const QString &boxText, const QString &number);

} // namespace realm::messages
