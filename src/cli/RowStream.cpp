#include "cli/RowStream.h"

#include <algorithm>

namespace realm::cli {

RowStream::RowStream(TableWriter &writer)
    : m_writer(writer), m_row(writer.columns().size())
{
}

void RowStream::clearRows()
{
    m_hasPendingRow = false;
}

void RowStream::addRow(const std::optional<QString> &text)
{
    writePendingRow();
    std::fill(m_row.begin(), m_row.end(), std::nullopt);
    m_row[0] = text;
    m_hasPendingRow = true;
}

// Like the window's list, a sub-item beyond the columns, or one set before
// any row was added, goes nowhere.
void RowStream::setSubItem(int index, const QString &text)
{
    if (m_hasPendingRow && index >= 0 && std::size_t(index) < m_row.size())
        m_row[std::size_t(index)] = text;
}

void RowStream::writePendingRow()
{
    if (!m_hasPendingRow)
        return;
    m_writer.writeRow(m_row);
    m_hasPendingRow = false;
}

} // namespace realm::cli
