#pragma once

#include "data/ResultTable.h"

#include <QAbstractTableModel>

#include <memory>

namespace realm::ui {

struct GridColumn {
    QString heading;
    QString field;
    int widthTwips;
};

// The data grid's model: designed columns filled by field name (matched
// without regard to case) from the rows of a recordset; read-only.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QList<GridColumn> columns, QObject *parent = nullptr);

    void bind(std::shared_ptr<const ResultTable> rows);
    void unbind() { bind(nullptr); }
    bool isBound() const { return m_rows != nullptr; }
    const QList<GridColumn> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<GridColumn> m_columns;
    std::shared_ptr<const ResultTable> m_rows;
    QList<int> m_fieldIndex;
};

} // namespace realm::ui
