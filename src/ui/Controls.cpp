#include "ui/Controls.h"

#include "query/Messages.h"
#include "query/Searches.h"
#include "ui/RowListModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace realm::ui {

namespace {
// A report list marks whole rows; the frame a table draws around its
// current cell would single out one cell of the row, so the focus frame
// goes around the whole current row instead, drawn a side per cell.
class WholeRowDelegate : public QStyledItemDelegate {
public:
    explicit WholeRowDelegate(QAbstractItemView *view)
        : QStyledItemDelegate(view), m_view(view) { }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (m_view->hasFocus() && index.row() == m_view->currentIndex().row())
            drawRowFocus(painter, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }

private:
    static void drawRowFocus(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index)
    {
        const QRect cell = option.rect.adjusted(0, 0, -1, -1);
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
        painter->drawLine(cell.topLeft(), cell.topRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        if (index.column() == 0)
            painter->drawLine(cell.topLeft(), cell.bottomLeft());
        if (index.column() == index.model()->columnCount() - 1)
            painter->drawLine(cell.topRight(), cell.bottomRight());
        painter->restore();
    }

    QAbstractItemView *m_view;
};

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

namespace {
bool wrappedTextFits(const QLabel *label)
{
    const QRect room = label->contentsRect();
    const QRect needed = label->fontMetrics().boundingRect(room, Qt::TextWordWrap, label->text());
    return needed.width() <= room.width() && needed.height() <= room.height();
}
} // namespace

QLabel *addWrappingLabel(QWidget *form, const QString &name, const QString &caption, QRect twipsGeometry)
{
    QLabel *label = addLabel(form, name, caption, twipsGeometry);
    label->setWordWrap(true);
    constexpr double SmallestPoints = 6;
    QFont font = label->font();
    while (!wrappedTextFits(label) && font.pointSizeF() > SmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
    }
    return label;
}

QLineEdit *addTextBox(QWidget *form, const QString &name, QRect twipsGeometry)
{
    return place(new QLineEdit(form), name, twipsGeometry);
}

QLineEdit *addNamePatternBox(QWidget *form, const QString &name, QRect twipsGeometry)
{
    QLineEdit *box = addTextBox(form, name, twipsGeometry);
    box->setPlaceholderText(QCoreApplication::translate("realm::ui", "% 和 _ 为通配符"));
    box->setToolTip(QCoreApplication::translate("realm::ui", "名称的一部分：% 代表任意几个字符，_ 代表任意一个字符"));
    return box;
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

QStringList headingsOf(const QList<ColumnSpec> &columns)
{
    QStringList headings;
    for (const ColumnSpec &column : columns)
        headings << column.heading;
    return headings;
}

QTableView *addReportList(QWidget *form, const QString &name, QRect twipsGeometry, const QList<ColumnSpec> &columns,
                          ListFormat format, RowListModel *&model)
{
    auto *view = place(new QTableView(form), name, twipsGeometry);
    model = new RowListModel(headingsOf(columns), std::move(format), view);
    view->setModel(model);
    view->setItemDelegate(new WholeRowDelegate(view));
    view->setShowGrid(false);
    view->setWordWrap(false);
    view->setTabKeyNavigation(false);
    view->setCornerButtonEnabled(false);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    for (int i = 0; i < columns.size(); ++i)
        header->resizeSection(i, twips(columns[i].widthTwips));
    return view;
}

QLabel *addStatusLine(QWidget *form, QRect twipsGeometry)
{
    auto *label = place(new QLabel(form), QStringLiteral("StatusLine"), twipsGeometry);
    // A screen reader reads the whole text from the tooltip, as its description.
    label->setAccessibleName(QCoreApplication::translate("realm::ui", "状态"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void showStatus(QLabel *statusLine, const QString &text)
{
    statusLine->setToolTip(text);
    const QString firstLine = text.section(u'\n', 0, 0);
    statusLine->setText(statusLine->fontMetrics().elidedText(firstLine, Qt::ElideRight, statusLine->width()));
}

QString withNote(const QString &text, const QString &note)
{
    if (note.isEmpty())
        return text;
    return text.isEmpty() ? note : text + messages::noteSeparator() + note;
}

void showOutcome(QLabel *statusLine, const SearchOutcome &outcome, const QString &doneFormat)
{
    switch (outcome.status) {
    case SearchOutcome::Status::NotRun:
    case SearchOutcome::Status::Stopped:
        return;
    case SearchOutcome::Status::Done:
        // A search of several servers tells each server's rows.
        showStatus(statusLine, withNote(outcome.message.isEmpty() ? doneFormat.arg(outcome.rowCount) : outcome.message, outcome.note));
        return;
    default:
        showStatus(statusLine, outcome.message);
    }
}

} // namespace realm::ui
