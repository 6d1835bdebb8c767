#pragma once

#include "cli/TableWriters.h"
#include "query/ReportSink.h"

namespace realm::cli {

// The searches' report list for the command line: a row is written as soon
// as the next one starts (its sub-items are complete by then), so the output
// side holds one row at a time. The search's result table still holds every
// row before the first is written. A cell the search leaves unset has no value.
class RowStream : public ReportSink {
public:
    explicit RowStream(TableWriter &writer);

    // Rows already written cannot be taken back; the searches clear the
    // list only before their first row.
    void clearRows() override;
    void addRow(const std::optional<QString> &text) override;
    void setSubItem(int index, const QString &text) override;

    // Writes the row still being filled, if any.
    void writePendingRow();

private:
    TableWriter &m_writer;
    Cells m_row;
    bool m_hasPendingRow = false;
};

} // namespace realm::cli
