#pragma once

#include "query/AuditQueries.h"

#include <QRect>

class QTableView;
class QWidget;

namespace realm::ui {

class RowListModel;
class Worksheet;

// One list of the main window's list area: its view, its rows and the
// worksheet over them. The result list and the audit lists share the
// area; one of them shows at a time.
struct ListPane {
    QTableView *view = nullptr;
    RowListModel *rows = nullptr;
    Worksheet *sheet = nullptr;
};

// The totals list of a grouping and the duplicated-items list, placed where
// the result list is, hidden until used, each a worksheet as that list is.
ListPane addTotalsList(QWidget *form, QRect twipsGeometry, TotalsGrouping grouping, const ItemNameIndex &itemNames);
ListPane addDuplicatesList(QWidget *form, QRect twipsGeometry, const ItemNameIndex &itemNames);

} // namespace realm::ui
