#pragma once

#include "data/ResultBatches.h"
#include "query/ListFormat.h"

#include <QAbstractTableModel>

namespace realm::ui {

// A report list (the ListView's ListItems) that shows the rows of a result
// as they arrive, reading each cell from the result's batches when a view
// asks for it, so a large result is held once.
class RowListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowListModel(QStringList headers, ListFormat format, QObject *parent = nullptr);

    void clearRows();
    void appendBatch(std::shared_ptr<const ResultTable> batch);

    // The cell as the list shows it; an unset cell is the empty text.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_headers;
    ListFormat m_format;
    ResultBatches m_rows;
    std::vector<int> m_positions;
};

} // namespace realm::ui
