#include "ui/RowListModel.h"

#include "query/SearchChannel.h"

#include <algorithm>

namespace realm::ui {

namespace {

constexpr int PublishMilliseconds = 100;

} // namespace

RowListModel::RowListModel(QStringList headers, ListFormat format, QObject *parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)), m_format(std::move(format))
{
    m_publishLater.setSingleShot(true);
    connect(&m_publishLater, &QTimer::timeout, this, &RowListModel::publishRows);
    m_sincePublished.start();
}

void RowListModel::clearRows()
{
    beginResetModel();
    m_rows = {};
    m_serverStarts.clear();
    m_positions.clear();
    m_publishedRows = 0;
    m_publishLater.stop();
    endResetModel();
}

// The first rows show at once; later ones wait for the next publication.
void RowListModel::appendBatch(std::shared_ptr<const ResultTable> batch)
{
    if (!m_rows.columns())
        m_positions = m_format.positionsIn(*batch);
    m_rows.append(std::move(batch));
    const qint64 since = m_sincePublished.elapsed();
    if (m_publishedRows == 0 || since >= PublishMilliseconds)
        publishRows();
    else if (!m_publishLater.isActive())
        m_publishLater.start(int(PublishMilliseconds - since));
}

void RowListModel::appendBatchFrom(std::shared_ptr<const ResultTable> batch, std::size_t server)
{
    // Kept without the column too: a jump from a row of the one server
    // chosen goes to that server.
    const bool anotherServer = m_serverStarts.empty() || m_serverStarts.back().second != server;
    if (batch->rowCount() > 0 && anotherServer)
        m_serverStarts.emplace_back(m_rows.rowCount(), server);
    appendBatch(std::move(batch));
}

void RowListModel::setServerColumn(QStringList serverNames)
{
    beginResetModel();
    m_serverNames = std::move(serverNames);
    endResetModel();
    clearRows();
}

std::size_t RowListModel::serverOf(int row) const
{
    const auto after = std::ranges::upper_bound(m_serverStarts, row, {}, &std::pair<int, std::size_t>::first);
    return after == m_serverStarts.begin() ? 0 : std::prev(after)->second;
}

void RowListModel::publishRows()
{
    m_publishLater.stop();
    if (m_rows.rowCount() == m_publishedRows)
        return;
    beginInsertRows({}, m_publishedRows, m_rows.rowCount() - 1);
    m_publishedRows = m_rows.rowCount();
    endInsertRows();
    m_sincePublished.restart();
}

QString RowListModel::text(int row, int column) const
{
    const ResultBatches::Place place = m_rows.locate(row);
    return m_format.cell(place.batch, place.row, column, m_positions).value_or(QString());
}

int RowListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_publishedRows;
}

int RowListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size()) + (hasServerColumn() ? 1 : 0);
}

QVariant RowListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    if (!hasServerColumn())
        return text(index.row(), index.column());
    if (index.column() == 0) {
        const std::size_t server = serverOf(index.row());
        return server == AllServers ? allServersName() : m_serverNames.value(qsizetype(server));
    }
    return text(index.row(), index.column() - 1);
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (hasServerColumn() && section == 0)
        return tr("服务器");
    const int column = section - (hasServerColumn() ? 1 : 0);
    if (column < m_headers.size())
        return m_headers[column];
    return {};
}

} // namespace realm::ui
