#pragma once

#include "ui/RowOrderModel.h"
#include "ui/TableExport.h"

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>

class QAbstractItemView;
class QAction;
class QHeaderView;
class QKeyEvent;
class QLabel;
class QMenu;

namespace realm::ui {

// Turns a list or grid into a worksheet: header clicks sort (through a
// RowOrderModel between the rows and the view), whole rows are selected
// with Shift, Ctrl and Ctrl+A, Ctrl+C copies them as tab-separated text
// with a header line, Ctrl+S exports every row to a file, and a context
// menu (the Menu key: for the focused row) offers all of that plus the
// window's own row actions. Enter on a row does what a double-click does.
class Worksheet : public QObject {
    Q_OBJECT
public:
    // `rows` is the model the window fills; the view shows it through the
    // worksheet's order. `fileStem` names the file an export proposes.
    Worksheet(QAbstractItemView *view, QHeaderView *header, QAbstractItemModel *rows, const QList<ColumnKind> &kinds,
              const QString &fileStem);

    RowOrderModel &order() const { return *m_order; }

    // An entry of the context menu for the row under the mouse, above the
    // standard ones; `run` gets that row's number in the window's model.
    void addRowAction(const QString &text, std::function<void(int)> run);
    // Where a finished export is reported.
    void reportTo(QLabel *statusLine) { m_statusLine = statusLine; }

    // The selected rows in view order as tab-separated lines; with
    // `withHeader`, the captions first. No selection and no header: empty.
    QString selectedText(bool withHeader) const;
    // Asks for a file, then exports with a progress window that can stop it.
    void exportWithDialog();
    // Exports every row of the view to `path`, without asking.
    ExportOutcome exportTo(const QString &path, ExportFormat format);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A double-click on a row; the row's number in the window's model.
    void rowDoubleClicked(int row);
    void exportFinished(const realm::ui::ExportOutcome &outcome, const QString &path);

private:
    void setUpView();
    void setUpActions();
    QAction *addAction(const QString &text, const QKeySequence &shortcut, void (Worksheet::*run)());
    void sortByClickedColumn(int column);
    void showSortIndicator(int column, Qt::SortOrder order);
    bool keyPressed(const QKeyEvent &key);
    bool showMenuAtCurrentRow();
    void showMenu(const QPoint &position);
    QMenu *buildMenu(const QModelIndex &clicked);
    void copyRows();
    void copyRowsWithHeader();
    void reportCopied();
    void copyCell();
    void selectAll();
    void exportFile(const QString &path, ExportFormat format);
    std::vector<int> selectedRows() const;

    struct RowAction {
        QString text;
        std::function<void(int)> run;
    };

    QAbstractItemView *m_view;
    QHeaderView *m_header;
    RowOrderModel *m_order;
    QString m_fileStem;
    QList<RowAction> m_rowActions;
    QAction *m_copy = nullptr;
    QAction *m_copyWithHeader = nullptr;
    QAction *m_selectAll = nullptr;
    QAction *m_export = nullptr;
    QPersistentModelIndex m_menuCell;
    QLabel *m_statusLine = nullptr;
};

} // namespace realm::ui
