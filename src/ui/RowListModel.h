#pragma once

#include "data/ResultBatches.h"
#include "query/ListFormat.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>

namespace realm::ui {

// The result list's rows, shown as they arrive from the search channel,
// each cell read from the result's batches when a view asks for it, so a
// large result is held once. Views learn of new rows ten times a second
// rather than with every batch, which is as often as a reader can follow
// and spares the view an update for each of thousands of batches.
class RowListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowListModel(QStringList headers, ListFormat format, QObject *parent = nullptr);

    void clearRows();
    void appendBatch(std::shared_ptr<const ResultTable> batch);
    // A batch of the game server at `server` of the names the server
    // column was given.
    void appendBatchFrom(std::shared_ptr<const ResultTable> batch, std::size_t server);
    // With names (a search that reads several servers), column 0 shows
    // the name of each row's server and the list's own columns follow; an
    // empty list takes the column away. Empties the list.
    void setServerColumn(QStringList serverNames);
    bool hasServerColumn() const { return !m_serverNames.isEmpty(); }
    // The position of the row's server among those names.
    std::size_t serverOf(int row) const;
    // Lets the views see every row received so far.
    void publishRows();
    int receivedRowCount() const { return m_rows.rowCount(); }

    // The cell of one of the list's own columns (the server column not
    // counted) as the list shows it; an unset cell is the empty text.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_headers;
    ListFormat m_format;
    ResultBatches m_rows;
    QStringList m_serverNames;
    // Where the rows of another server start, in row order: the first row
    // and its server.
    std::vector<std::pair<int, std::size_t>> m_serverStarts;
    std::vector<int> m_positions;
    int m_publishedRows = 0;
    QElapsedTimer m_sincePublished;
    QTimer m_publishLater;
};

} // namespace realm::ui
