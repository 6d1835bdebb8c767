#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace realm::test {

// Types `text` into the box as a user would: ASCII as key presses, other
// characters as an input method commits them.
void typeInto(QLineEdit *box, const QString &text);
// Types into the named box of `form` and clicks the named button.
void searchWith(QWidget *form, const QString &boxName, const QString &text, const QString &buttonName);
// The status line after a search, whatever its wording: a success names the
// count, a failure carries the driver's own text.
void expectStatusCount(const QWidget *form, int count);
void expectStatusDriverError(const QWidget *form);

} // namespace realm::test
