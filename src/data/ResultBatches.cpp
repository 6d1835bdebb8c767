#include "data/ResultBatches.h"

#include <algorithm>

namespace realm {

void ResultBatches::append(std::shared_ptr<const ResultTable> batch)
{
    if (!m_first)
        m_first = batch;
    if (batch->rowCount() == 0)
        return;
    m_starts.push_back(m_rowCount);
    m_rowCount += batch->rowCount();
    m_batches.push_back(std::move(batch));
}

ResultBatches::Place ResultBatches::locate(int row) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), row);
    const auto index = std::size_t(after - m_starts.begin()) - 1;
    return {*m_batches[index], row - m_starts[index]};
}

} // namespace realm
