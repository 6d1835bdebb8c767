#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace realm::test {

// Types into the named box of `form` and clicks the named button.
void searchWith(QWidget *form, const QString &boxName, const QString &text, const QString &buttonName);
// The status line after a search, whatever its wording: a success names the
// count, a failure carries the driver's own text.
void expectStatusCount(const QWidget *form, int count);
void expectStatusDriverError(const QWidget *form);

} // namespace realm::test
