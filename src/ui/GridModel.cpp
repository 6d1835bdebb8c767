#include "ui/GridModel.h"

namespace realm::ui {

GridModel::GridModel(QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{
}

void GridModel::bind(ResultBatches rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    findFields();
    endResetModel();
}

void GridModel::unbind()
{
    beginResetModel();
    m_rows.reset();
    findFields();
    endResetModel();
}

void GridModel::appendBatch(std::shared_ptr<const ResultTable> batch)
{
    if (!m_rows)
        m_rows.emplace();
    const bool first = !m_rows->columns();
    const int count = batch->rowCount();
    if (count > 0)
        beginInsertRows({}, m_rows->rowCount(), m_rows->rowCount() + count - 1);
    m_rows->append(std::move(batch));
    if (first)
        findFields();
    if (count > 0)
        endInsertRows();
}

void GridModel::findFields()
{
    m_fieldIndex.clear();
    const ResultTable *columns = m_rows ? m_rows->columns() : nullptr;
    for (const GridColumn &column : m_columns)
        m_fieldIndex << (columns ? columns->columnIndex(column.field) : -1);
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
    if (field < 0)
        return {};
    const ResultBatches::Place place = m_rows->locate(index.row());
    return place.batch.displayText(place.row, field);
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
