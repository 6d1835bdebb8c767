#include "ui/Worksheet.h"

#include "ui/Controls.h"
#include "ui/UserSettings.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>

#include <algorithm>

namespace realm::ui {

namespace {

const QString ExportFolderKey = QStringLiteral("export/folder");

// The texts of the helpers here; the worksheet's own use its class's tr.
QString tr(const char *text)
{
    return QCoreApplication::translate("realm::ui", text);
}

QString csvFilter()
{
    return tr("CSV 文件 (*.csv)");
}

QString tabFilter()
{
    return tr("制表符分隔文本 (*.txt *.tsv)");
}

QString xlsxFilter()
{
    return tr("Excel 工作簿 (*.xlsx)");
}

QString suffixFor(const QString &filter)
{
    if (filter == tabFilter())
        return QStringLiteral("txt");
    if (filter == xlsxFilter())
        return QStringLiteral("xlsx");
    return QStringLiteral("csv");
}

void appendLine(QString &text, const QAbstractItemModel &model, int row)
{
    for (int column = 0; column < model.columnCount(); ++column) {
        if (column > 0)
            text += u'\t';
        const QString cell = row < 0 ? model.headerData(column, Qt::Horizontal).toString()
                                     : model.index(row, column).data().toString();
        appendField(text, cell, Delimiter::Tab);
    }
    text += u'\n';
}

// The file's own suffix decides; a name without a known one takes the
// chosen type's.
ExportFormat formatFor(const QString &path, const QString &filter)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return ExportFormat::Csv;
    if (suffix == u"xlsx")
        return ExportFormat::Xlsx;
    if (suffix == u"txt" || suffix == u"tsv")
        return ExportFormat::TabText;
    if (filter == tabFilter())
        return ExportFormat::TabText;
    return filter == xlsxFilter() ? ExportFormat::Xlsx : ExportFormat::Csv;
}

QString describe(const ExportOutcome &outcome, const QString &path)
{
    switch (outcome.status) {
    case ExportOutcome::Status::Written:
        return tr("已导出 %1 行到 %2").arg(outcome.rowCount).arg(QDir::toNativeSeparators(path));
    case ExportOutcome::Status::Stopped:
        return tr("导出已停止，未写入文件");
    default:
        return outcome.message;
    }
}

QString exportFolder()
{
    const auto settings = openUserSettings();
    const QString saved = settings ? settings->value(ExportFolderKey).toString() : QString();
    if (!saved.isEmpty() && QFileInfo(saved).isDir())
        return saved;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

Worksheet::Worksheet(QAbstractItemView *view, QHeaderView *header, QAbstractItemModel *rows,
                     const QList<ColumnKind> &kinds, const QString &fileStem)
    : QObject(view), m_view(view), m_header(header), m_order(new RowOrderModel(rows, kinds, this)), m_fileStem(fileStem)
{
    setUpView();
    setUpActions();
}

void Worksheet::setUpView()
{
    // A new model resets the header; the designed widths stay.
    QList<int> widths;
    for (int section = 0; section < m_header->count(); ++section)
        widths << m_header->sectionSize(section);
    m_view->setModel(m_order);
    for (int section = 0; section < widths.size(); ++section)
        m_header->resizeSection(section, widths[section]);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_header->setSectionsClickable(true);
    m_header->setSortIndicatorShown(true);
    showSortIndicator(-1, Qt::AscendingOrder);
    connect(m_header, &QHeaderView::sectionClicked, this, &Worksheet::sortByClickedColumn);
    connect(m_order, &RowOrderModel::sortChanged, this, &Worksheet::showSortIndicator);
    connect(m_view, &QWidget::customContextMenuRequested, this, &Worksheet::showMenu);
    m_view->installEventFilter(this);
    // A list frames its whole focused row: every cell of it must be drawn anew.
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, m_view->viewport(),
            qOverload<>(&QWidget::update));
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit rowDoubleClicked(m_order->sourceRow(index.row())); });
}

QAction *Worksheet::addAction(const QString &text, const QKeySequence &shortcut, void (Worksheet::*run)())
{
    auto *action = new QAction(text, m_view);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, run);
    m_view->addAction(action);
    return action;
}

void Worksheet::setUpActions()
{
    m_copy = addAction(tr("复制"), {}, &Worksheet::copyRows);
    m_copyWithHeader = addAction(tr("连同标题复制"), QKeySequence::Copy, &Worksheet::copyRowsWithHeader);
    m_selectAll = addAction(tr("全选"), QKeySequence::SelectAll, &Worksheet::selectAll);
    m_export = addAction(tr("导出…"), QKeySequence::Save, &Worksheet::exportWithDialog);
    // Ctrl+S saves the list from anywhere in its window.
    m_export->setShortcutContext(Qt::WindowShortcut);
}

bool Worksheet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(*static_cast<QKeyEvent *>(event));
    case QEvent::ContextMenu:
        return static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard && showMenuAtCurrentRow();
    case QEvent::FocusIn:
        // Something must carry the focus frame, though nothing is selected.
        if (!m_view->currentIndex().isValid() && m_order->rowCount() > 0)
            m_view->selectionModel()->setCurrentIndex(m_order->index(0, 0), QItemSelectionModel::NoUpdate);
        m_view->viewport()->update();
        return false;
    case QEvent::FocusOut:
        m_view->viewport()->update();
        return false;
    default:
        return false;
    }
}

bool Worksheet::keyPressed(const QKeyEvent &key)
{
    // The view copies its current cell on Ctrl+C when it gets the key
    // before the shortcut does.
    if (key.matches(QKeySequence::Copy)) {
        copyRowsWithHeader();
        return true;
    }
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!enter || key.modifiers() != Qt::NoModifier || !m_view->currentIndex().isValid())
        return false;
    emit rowDoubleClicked(m_order->sourceRow(m_view->currentIndex().row()));
    return true;
}

// The Menu key opens the menu for the row that has the focus.
bool Worksheet::showMenuAtCurrentRow()
{
    const QModelIndex current = m_view->currentIndex();
    const QRect row = current.isValid() ? m_view->visualRect(current) : QRect();
    showMenu(row.isValid() ? row.center() : QPoint(0, 0));
    return true;
}

void Worksheet::addRowAction(const QString &text, std::function<void(int)> run)
{
    m_rowActions.append({text, std::move(run)});
}

void Worksheet::sortByClickedColumn(int column)
{
    const bool reverse = column == m_order->sortColumn() && m_order->sortOrder() == Qt::AscendingOrder;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_order->sort(column, reverse ? Qt::DescendingOrder : Qt::AscendingOrder);
    QApplication::restoreOverrideCursor();
}

void Worksheet::showSortIndicator(int column, Qt::SortOrder order)
{
    m_header->setSortIndicator(column, order);
}

void Worksheet::showMenu(const QPoint &position)
{
    QMenu *menu = buildMenu(m_view->indexAt(position));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_view->viewport()->mapToGlobal(position));
}

QMenu *Worksheet::buildMenu(const QModelIndex &clicked)
{
    m_menuCell = clicked;
    auto *menu = new QMenu(m_view);
    for (const RowAction &rowAction : std::as_const(m_rowActions)) {
        const int row = clicked.isValid() ? m_order->sourceRow(clicked.row()) : -1;
        QAction *action = menu->addAction(rowAction.text, this, [run = rowAction.run, row] { run(row); });
        action->setEnabled(row >= 0);
    }
    if (!m_rowActions.isEmpty())
        menu->addSeparator();
    const bool anySelected = m_view->selectionModel()->hasSelection();
    menu->addAction(m_copy);
    m_copy->setEnabled(anySelected);
    menu->addAction(m_copyWithHeader);
    menu->addAction(tr("复制单元格"), this, &Worksheet::copyCell)->setEnabled(clicked.isValid());
    menu->addSeparator();
    menu->addAction(m_selectAll);
    menu->addAction(m_export);
    return menu;
}

std::vector<int> Worksheet::selectedRows() const
{
    std::vector<int> rows;
    const QItemSelection selection = m_view->selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QString Worksheet::selectedText(bool withHeader) const
{
    QString text;
    if (withHeader)
        appendLine(text, *m_order, -1);
    for (const int row : selectedRows())
        appendLine(text, *m_order, row);
    return text;
}

void Worksheet::copyRows()
{
    const QString text = selectedText(false);
    if (text.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(text);
    reportCopied();
}

void Worksheet::copyRowsWithHeader()
{
    QGuiApplication::clipboard()->setText(selectedText(true));
    reportCopied();
}

void Worksheet::reportCopied()
{
    if (m_statusLine)
        showStatus(m_statusLine, tr("已复制 %1 行").arg(selectedRows().size()));
}

void Worksheet::copyCell()
{
    if (m_menuCell.isValid())
        QGuiApplication::clipboard()->setText(m_menuCell.data().toString());
}

void Worksheet::selectAll()
{
    m_view->selectAll();
}

void Worksheet::exportWithDialog()
{
    auto *dialog = new QFileDialog(m_view->window(), tr("导出"), exportFolder());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters({csvFilter(), tabFilter(), xlsxFilter()});
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->selectFile(m_fileStem + QStringLiteral(".csv"));
    // A name typed or proposed keeps its stem and takes the chosen type's
    // suffix, which decides the format.
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString &filter) {
        dialog->setDefaultSuffix(suffixFor(filter));
        const QString stem = QFileInfo(dialog->selectedFiles().value(0)).completeBaseName();
        if (!stem.isEmpty())
            dialog->selectFile(stem + u'.' + suffixFor(filter));
    });
    connect(dialog, &QFileDialog::fileSelected, this, [this, dialog](const QString &path) {
        if (const auto settings = openUserSettings())
            settings->setValue(ExportFolderKey, QFileInfo(path).absolutePath());
        exportFile(path, formatFor(path, dialog->selectedNameFilter()));
    });
    dialog->open();
}

void Worksheet::exportFile(const QString &path, ExportFormat format)
{
    const ExportOutcome outcome = exportTo(path, format);
    if (outcome.status == ExportOutcome::Status::Failed) {
        auto *box = new QMessageBox(QMessageBox::Warning, tr("导出失败"), outcome.message, QMessageBox::Ok,
                                    m_view->window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    if (m_statusLine)
        showStatus(m_statusLine, describe(outcome, path));
    emit exportFinished(outcome, path);
}

ExportOutcome Worksheet::exportTo(const QString &path, ExportFormat format)
{
    QProgressDialog progress(tr("正在导出 %1 行…").arg(m_order->rowCount()), tr("停止"), 0, m_order->rowCount(),
                             m_view->window());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    return exportRows(*m_order, format, path, [&progress](int rows) {
        progress.setValue(rows);
        return !progress.wasCanceled();
    });
}

} // namespace realm::ui
