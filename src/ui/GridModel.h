#pragma once

#include "data/ResultBatches.h"

#include <QAbstractTableModel>

#include <optional>

namespace realm::ui {

struct GridColumn {
    QString heading;
    QString field;
    int widthTwips;
};

// The data grid's model: designed columns filled by field name (matched
// without regard to case) from the rows of a result, shown as its batches
// arrive; read-only.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QList<GridColumn> columns, QObject *parent = nullptr);

    // Starts showing a new result, with no rows yet.
    void clearRows() { bind(ResultBatches()); }
    void appendBatch(std::shared_ptr<const ResultTable> batch);
    // Shows these rows in place of the current ones.
    void bind(ResultBatches rows);
    // Shows nothing, as before the first result.
    void unbind();
    const ResultBatches &rows() const { return *m_rows; }
    bool isBound() const { return m_rows.has_value(); }
    const QList<GridColumn> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void findFields();

    QList<GridColumn> m_columns;
    std::optional<ResultBatches> m_rows;
    QList<int> m_fieldIndex;
};

} // namespace realm::ui
