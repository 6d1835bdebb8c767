#include "ui/RowListModel.h"

namespace realm::ui {

RowListModel::RowListModel(QStringList headers, ListFormat format, QObject *parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_format(std::move(format))
{
}

void RowListModel::clearRows()
{
    beginResetModel();
    m_rows = {};
    m_positions.clear();
    endResetModel();
}

void RowListModel::appendBatch(std::shared_ptr<const ResultTable> batch)
{
    if (!m_rows.columns())
        m_positions = m_format.positionsIn(*batch);
    const int count = batch->rowCount();
    if (count == 0) {
        m_rows.append(std::move(batch));
        return;
    }
    beginInsertRows({}, m_rows.rowCount(), m_rows.rowCount() + count - 1);
    m_rows.append(std::move(batch));
    endInsertRows();
}

QString RowListModel::text(int row, int column) const
{
    const ResultBatches::Place place = m_rows.locate(row);
    return m_format.cell(place.batch, place.row, column, m_positions).value_or(QString());
}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.rowCount();
}

int RowListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return text(index.row(), index.column());
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_headers.size())
        return m_headers[section];
    return {};
}

} // namespace realm::ui
