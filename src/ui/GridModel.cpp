#include "ui/GridModel.h"

namespace realm::ui {

GridModel::GridModel(QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void GridModel::bind(std::shared_ptr<const ResultTable> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_fieldIndex.clear();
    for (const GridColumn &column : m_columns)
        m_fieldIndex << (m_rows ? m_rows->columnIndex(column.field) : -1);
    endResetModel();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->rowCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !m_rows)
        return {};
    const int field = m_fieldIndex[index.column()];
    return field < 0 ? QVariant() : QVariant(m_rows->displayText(index.row(), field));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_columns.size() ? QVariant(m_columns[section].heading) : QVariant();
    return section + 1;
}

} // namespace realm::ui
