#pragma once

#include "query/ListFormat.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace realm {
struct SearchOutcome;
}

namespace realm::ui {

class RowListModel;

struct ColumnSpec {
    QString heading;
    int widthTwips;
};

// Controls placed at their twips positions inside `form`, named as the
// window's code names them.
QLabel *addLabel(QWidget *form, const QString &name, const QString &caption, QRect twipsGeometry);
// A label whose text wraps onto further lines; its font is made smaller
// where the lines would not fit the designed height.
QLabel *addWrappingLabel(QWidget *form, const QString &name, const QString &caption, QRect twipsGeometry);
QLineEdit *addTextBox(QWidget *form, const QString &name, QRect twipsGeometry);
// A text box whose text is matched as a part of a name, where % and _ are
// wildcards; its placeholder and tooltip say so.
QLineEdit *addNamePatternBox(QWidget *form, const QString &name, QRect twipsGeometry);
QPushButton *addButton(QWidget *form, const QString &name, const QString &caption, QRect twipsGeometry);
// An editable drop-down box with an empty list, which the window fills; the
// edit field takes typing.
QComboBox *addComboBox(QWidget *form, const QString &name, QRect twipsGeometry);
QStringList headingsOf(const QList<ColumnSpec> &columns);
// A report-style list over its own model, whose cells `format` makes: whole
// rows, no grid lines, rows of one fixed height. A table view rather than a
// tree: a tree keeps an entry for every row and lays all of them out again
// whenever rows are added, which a million streamed rows cannot afford.
QTableView *addReportList(QWidget *form, const QString &name, QRect twipsGeometry, const QList<ColumnSpec> &columns,
                          ListFormat format, RowListModel *&model);
// A status line for what the last action did; the full text is in its tooltip.
QLabel *addStatusLine(QWidget *form, QRect twipsGeometry);
void showStatus(QLabel *statusLine, const QString &text);
// How a search ended: `doneFormat` with the row count for a search of one
// server that ran, else the outcome's message; a search that did not run, or was stopped,
// changes nothing.
void showOutcome(QLabel *statusLine, const SearchOutcome &outcome, const QString &doneFormat);
// The status text followed by a search's note, when it has one.
QString withNote(const QString &text, const QString &note);

} // namespace realm::ui
