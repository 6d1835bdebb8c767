#pragma once

#include "query/ReportSink.h"

#include <QAbstractTableModel>
#include <QHash>

#include <vector>

namespace realm::ui {

// The rows of a report list (the ListView's ListItems). Each cell is an
// index into a table of distinct texts, so a million rows of repeating
// names and numbers cost a few dozen bytes a row. Rows added since the last
// `publishRows` become visible to views all at once.
class ReportListModel : public QAbstractTableModel, public ReportSink {
    Q_OBJECT
public:
    explicit ReportListModel(QStringList headers, QObject *parent = nullptr);

    void clearRows() override;
    void addRow(const std::optional<QString> &text) override;
    void setSubItem(int index, const QString &text) override;
    void publishRows();

    QString text(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    quint32 intern(const QString &text);

    QStringList m_headers;
    std::vector<quint32> m_cells;
    std::vector<QString> m_texts;
    QHash<QString, quint32> m_textIndex;
    int m_rowCount = 0;
    int m_publishedRows = 0;
};

} // namespace realm::ui
