#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include <vector>

namespace realm::ui {

// How a column's cells compare when the rows are sorted by it.
enum class ColumnKind {
    // By the locale's collation.
    Text,
    // As numbers, a leading "+" ignored; cells that are no number follow the
    // numbers, by collation.
    Number,
};

// The rows of a source model in the order the user chose: an index of
// source rows, never a copy of their cells. Without a sort the rows stand in
// the source's order. Empty cells sort last in both directions, and rows
// with equal keys keep their source order. Rows the source appends while
// the rows are sorted come after the sorted ones, in source order, and the
// order then counts as unsorted.
class RowOrderModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowOrderModel(QAbstractItemModel *source, QList<ColumnKind> kinds, QObject *parent = nullptr);

    QAbstractItemModel *sourceModel() const { return m_source; }
    int sourceRow(int row) const { return m_order.empty() ? row : m_order[std::size_t(row)]; }
    // -1 while the rows stand in source order (or are no longer all sorted).
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The column the rows are sorted by changed; -1: none.
    void sortChanged(int column, Qt::SortOrder order);

private:
    void connectSource();
    void beginSourceReset();
    void endSourceReset();
    void beginSourceInsert(const QModelIndex &parent, int first, int last);
    void endSourceInsert(const QModelIndex &parent, int first, int last);
    void forwardDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);
    void setSortColumn(int column, Qt::SortOrder order);

    ColumnKind kindOf(int column) const;

    QPointer<QAbstractItemModel> m_source;
    QList<ColumnKind> m_kinds;
    std::vector<int> m_order;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_inserting = false;
};

} // namespace realm::ui
