#include "ui/Controls.h"

#include "query/Searches.h"
#include "ui/RowListModel.h"

#include <QHeaderView>

namespace realm::ui {

namespace {
template <class Widget>
Widget *place(Widget *widget, const QString &name, QRect geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}
} // namespace

QLabel *addLabel(QWidget *form, const QString &name, const QString &caption, QRect twipsGeometry)
{
    return place(new QLabel(caption, form), name, twipsGeometry);
}

QLineEdit *addTextBox(QWidget *form, const QString &name, QRect twipsGeometry)
{
    return place(new QLineEdit(form), name, twipsGeometry);
}

QPushButton *addButton(QWidget *form, const QString &name, const QString &caption, QRect twipsGeometry)
{
    auto *button = place(new QPushButton(caption, form), name, twipsGeometry);
    // Enter in a text box must not press any button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QComboBox *addComboBox(QWidget *form, const QString &name, QRect twipsGeometry)
{
    auto *box = place(new QComboBox(form), name, twipsGeometry);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QTreeView *addReportList(QWidget *form, const QString &name, QRect twipsGeometry, const QList<ColumnSpec> &columns,
                         ListFormat format, RowListModel *&model)
{
    QStringList headings;
    for (const ColumnSpec &column : columns)
        headings << column.heading;
    auto *view = place(new QTreeView(form), name, twipsGeometry);
    model = new RowListModel(headings, std::move(format), view);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(false);
    for (int i = 0; i < columns.size(); ++i)
        view->header()->resizeSection(i, twips(columns[i].widthTwips));
    return view;
}

QLabel *addStatusLine(QWidget *form, QRect twipsGeometry)
{
    auto *label = place(new QLabel(form), QStringLiteral("StatusLine"), twipsGeometry);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void showStatus(QLabel *statusLine, const QString &text)
{
    statusLine->setToolTip(text);
    const QString firstLine = text.section(u'\n', 0, 0);
    statusLine->setText(statusLine->fontMetrics().elidedText(firstLine, Qt::ElideRight, statusLine->width()));
}

void showOutcome(QLabel *statusLine, const SearchOutcome &outcome, const QString &doneFormat)
{
    switch (outcome.status) {
    case SearchOutcome::Status::NotRun:
    case SearchOutcome::Status::Stopped:
        return;
    case SearchOutcome::Status::Done:
        showStatus(statusLine, doneFormat.arg(outcome.rowCount));
        return;
    default:
        showStatus(statusLine, outcome.message);
    }
}

} // namespace realm::ui
