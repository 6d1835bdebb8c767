#pragma once

#include <QString>
#include <QStringList>

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

// Between the parts of a status line: the count, its notes.
QString noteSeparator();

// A search that read several servers, each server's end behind its name:
// its row count, or what went wrong (timeout, cannot connect, login
// refused, other error), joined into one status line.
QString serverRows(const QString &serverName, int rowCount);
QString serverFailed(const QString &serverName, long errorNumber);
QString serverStopped(const QString &serverName);
QString serverEnds(const QStringList &ends);

} // namespace realm::messages
