#include "ui/ReportListModel.h"

namespace realm::ui {

ReportListModel::ReportListModel(QStringList headers, QObject *parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers))
{
    clearRows();
}

void ReportListModel::clearRows()
{
    beginResetModel();
    m_cells = {};
    m_texts = {QString()};
    m_textIndex = {{QString(), 0}};
    m_rowCount = 0;
    m_publishedRows = 0;
    endResetModel();
}

void ReportListModel::addRow(const std::optional<QString> &text)
{
    m_cells.resize(m_cells.size() + std::size_t(m_headers.size()), 0);
    ++m_rowCount;
    if (text)
        setSubItem(0, *text);
}

void ReportListModel::setSubItem(int index, const QString &text)
{
    if (m_rowCount == 0 || index < 0 || index >= m_headers.size())
        return;
    m_cells[std::size_t(m_rowCount - 1) * std::size_t(m_headers.size()) + std::size_t(index)] = intern(text);
    if (m_rowCount <= m_publishedRows) {
        const QModelIndex changed = this->index(m_rowCount - 1, index);
        emit dataChanged(changed, changed);
    }
}

void ReportListModel::publishRows()
{
    if (m_rowCount == m_publishedRows)
        return;
    beginInsertRows({}, m_publishedRows, m_rowCount - 1);
    m_publishedRows = m_rowCount;
    endInsertRows();
}

quint32 ReportListModel::intern(const QString &text)
{
    auto found = m_textIndex.constFind(text);
    if (found != m_textIndex.cend())
        return *found;
    const auto index = quint32(m_texts.size());
    m_texts.push_back(text);
    m_textIndex.insert(text, index);
    return index;
}

QString ReportListModel::text(int row, int column) const
{
    return m_texts[m_cells[std::size_t(row) * std::size_t(m_headers.size()) + std::size_t(column)]];
}

int ReportListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_publishedRows;
}

int ReportListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ReportListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return text(index.row(), index.column());
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_headers.size())
        return m_headers[section];
    return {};
}

} // namespace realm::ui
