#include "ui/RowOrderModel.h"

#include <QCollator>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace realm::ui {

namespace {

// The distinct texts of one column and, for each source row, which of them
// it holds: a million rows of repeating names cost one collation key per
// name, not one per row.
struct ColumnCells {
    std::vector<QString> texts;
    std::vector<quint32> textOfRow;
};

ColumnCells readColumn(const QAbstractItemModel &source, int column)
{
    ColumnCells cells;
    QHash<QString, quint32> seen;
    const int rows = source.rowCount();
    cells.textOfRow.reserve(std::size_t(rows));
    for (int row = 0; row < rows; ++row) {
        QString text = source.index(row, column).data().toString();
        auto found = seen.constFind(text);
        if (found == seen.cend()) {
            found = seen.insert(text, quint32(cells.texts.size()));
            cells.texts.push_back(std::move(text));
        }
        cells.textOfRow.push_back(*found);
    }
    return cells;
}

enum class Group { Number,
                   Text,
                   Empty };

struct SortValue {
    Group group = Group::Empty;
    double number = 0;
};

SortValue sortValue(const QString &text, ColumnKind kind)
{
    if (kind == ColumnKind::Text)
        return {text.isEmpty() ? Group::Empty : Group::Text};
    const QStringView digits = QStringView(text).startsWith(u'+') ? QStringView(text).mid(1) : QStringView(text);
    if (digits.isEmpty())
        return {Group::Empty};
    bool isNumber = false;
    const double number = digits.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(number))
        return {Group::Text};
    return {Group::Number, number};
}

// Ranks of the distinct texts in ascending order; texts that compare equal
// share a rank. Empty texts rank above all others.
std::vector<quint32> rankTexts(const std::vector<QString> &texts, ColumnKind kind, quint32 &emptyRank)
{
    const QCollator collator;
    std::vector<SortValue> values;
    std::vector<QCollatorSortKey> keys;
    values.reserve(texts.size());
    keys.reserve(texts.size());
    for (const QString &text : texts) {
        values.push_back(sortValue(text, kind));
        keys.push_back(collator.sortKey(values.back().group == Group::Text ? text : QString()));
    }
    const auto compare = [&](quint32 a, quint32 b) {
        if (values[a].group != values[b].group)
            return values[a].group < values[b].group ? -1 : 1;
        if (values[a].group == Group::Number && values[a].number != values[b].number)
            return values[a].number < values[b].number ? -1 : 1;
        return keys[a].compare(keys[b]);
    };
    std::vector<quint32> byValue(texts.size());
    std::iota(byValue.begin(), byValue.end(), 0U);
    std::sort(byValue.begin(), byValue.end(), [&](quint32 a, quint32 b) { return compare(a, b) < 0; });

    std::vector<quint32> ranks(texts.size());
    quint32 rank = 0;
    emptyRank = 0;
    for (std::size_t i = 0; i < byValue.size(); ++i) {
        if (i > 0 && compare(byValue[i - 1], byValue[i]) != 0)
            ++rank;
        ranks[byValue[i]] = rank;
        if (values[byValue[i]].group == Group::Empty)
            emptyRank = rank;
        else
            emptyRank = rank + 1;
    }
    return ranks;
}

// A counting sort of the rows by their keys: linear, and stable, so rows
// with equal keys keep the order of `rows`.
std::vector<int> orderByKeys(const std::vector<int> &rows, const std::vector<quint32> &keyOfRow, quint32 maxKey)
{
    std::vector<std::size_t> start(std::size_t(maxKey) + 2, 0);
    for (const int row : rows)
        ++start[keyOfRow[std::size_t(row)] + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> ordered(rows.size());
    for (const int row : rows)
        ordered[start[keyOfRow[std::size_t(row)]]++] = row;
    return ordered;
}

} // namespace

RowOrderModel::RowOrderModel(QAbstractItemModel *source, QList<ColumnKind> kinds, QObject *parent)
    : QAbstractTableModel(parent), m_source(source), m_kinds(std::move(kinds))
{
    connectSource();
}

void RowOrderModel::connectSource()
{
    connect(m_source, &QAbstractItemModel::modelAboutToBeReset, this, &RowOrderModel::beginSourceReset);
    connect(m_source, &QAbstractItemModel::modelReset, this, &RowOrderModel::endSourceReset);
    connect(m_source, &QAbstractItemModel::layoutAboutToBeChanged, this, &RowOrderModel::beginSourceReset);
    connect(m_source, &QAbstractItemModel::layoutChanged, this, &RowOrderModel::endSourceReset);
    connect(m_source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &RowOrderModel::beginSourceReset);
    connect(m_source, &QAbstractItemModel::rowsRemoved, this, &RowOrderModel::endSourceReset);
    connect(m_source, &QAbstractItemModel::rowsAboutToBeMoved, this, &RowOrderModel::beginSourceReset);
    connect(m_source, &QAbstractItemModel::rowsMoved, this, &RowOrderModel::endSourceReset);
    connect(m_source, &QAbstractItemModel::rowsAboutToBeInserted, this, &RowOrderModel::beginSourceInsert);
    connect(m_source, &QAbstractItemModel::rowsInserted, this, &RowOrderModel::endSourceInsert);
    connect(m_source, &QAbstractItemModel::dataChanged, this, &RowOrderModel::forwardDataChanged);
    connect(m_source, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
}

// Columns the source shows before the designed ones (a server's name)
// sort as text.
ColumnKind RowOrderModel::kindOf(int column) const
{
    const int leading = std::max(0, columnCount() - int(m_kinds.size()));
    return column < leading ? ColumnKind::Text : m_kinds.value(column - leading, ColumnKind::Text);
}

void RowOrderModel::sort(int column, Qt::SortOrder order)
{
    if (!m_source || column < 0 || column >= columnCount())
        return;
    const ColumnCells cells = readColumn(*m_source, column);
    quint32 emptyRank = 0;
    const std::vector<quint32> ranks = rankTexts(cells.texts, kindOf(column), emptyRank);
    std::vector<quint32> keyOfRow(cells.textOfRow.size());
    for (std::size_t row = 0; row < keyOfRow.size(); ++row) {
        const quint32 rank = ranks[cells.textOfRow[row]];
        const bool reversed = order == Qt::DescendingOrder && rank < emptyRank;
        keyOfRow[row] = reversed ? emptyRank - 1 - rank : rank;
    }
    std::vector<int> viewOrder(keyOfRow.size());
    for (std::size_t row = 0; row < viewOrder.size(); ++row)
        viewOrder[row] = sourceRow(int(row));

    beginResetModel();
    m_order = orderByKeys(viewOrder, keyOfRow, emptyRank);
    endResetModel();
    setSortColumn(column, order);
}

void RowOrderModel::setSortColumn(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    emit sortChanged(column, order);
}

void RowOrderModel::beginSourceReset()
{
    beginResetModel();
}

void RowOrderModel::endSourceReset()
{
    m_order.clear();
    endResetModel();
    if (m_sortColumn >= 0)
        setSortColumn(-1, Qt::AscendingOrder);
}

void RowOrderModel::beginSourceInsert(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    m_inserting = true;
    if (m_order.empty())
        beginInsertRows({}, first, last);
    else
        beginInsertRows({}, rowCount(), rowCount() + last - first);
}

void RowOrderModel::endSourceInsert(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid() || !m_inserting)
        return;
    m_inserting = false;
    if (!m_order.empty()) {
        const int count = last - first + 1;
        for (int &row : m_order) {
            if (row >= first)
                row += count;
        }
        for (int row = first; row <= last; ++row)
            m_order.push_back(row);
    }
    endInsertRows();
    if (m_sortColumn >= 0)
        setSortColumn(-1, Qt::AscendingOrder);
}

void RowOrderModel::forwardDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    if (rowCount() == 0)
        return;
    if (m_order.empty())
        emit dataChanged(index(topLeft.row(), topLeft.column()), index(bottomRight.row(), bottomRight.column()), roles);
    else
        emit dataChanged(index(0, topLeft.column()), index(rowCount() - 1, bottomRight.column()), roles);
}

int RowOrderModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_source)
        return 0;
    return m_order.empty() ? m_source->rowCount() : int(m_order.size());
}

int RowOrderModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->columnCount();
}

QVariant RowOrderModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_source)
        return {};
    return m_source->index(sourceRow(index.row()), index.column()).data(role);
}

QVariant RowOrderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_source)
        return {};
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    // What a screen reader says for a row (the row numbers are hidden) and
    // for a heading.
    if (orientation == Qt::Vertical && role == Qt::AccessibleTextRole)
        return tr("第 %1 行").arg(section + 1);
    if (orientation == Qt::Horizontal && role == Qt::AccessibleTextRole)
        return m_source->headerData(section, orientation, Qt::DisplayRole);
    return m_source->headerData(section, orientation, role);
}

} // namespace realm::ui
