#pragma once

#include "data/ResultTable.h"

#include <memory>
#include <vector>

namespace realm {

// The rows of one result held as the batches they came in, shared with
// whoever else holds them rather than copied.
class ResultBatches {
public:
    void append(std::shared_ptr<const ResultTable> batch);

    int rowCount() const { return m_rowCount; }
    // The first batch, which names the columns; null before any came.
    const ResultTable *columns() const { return m_first.get(); }

    struct Place {
        const ResultTable &batch;
        int row;
    };
    // Where row `row` (0 <= row < rowCount) is held.
    Place locate(int row) const;

private:
    std::shared_ptr<const ResultTable> m_first;
    std::vector<std::shared_ptr<const ResultTable>> m_batches; // those with rows
    std::vector<int> m_starts; // the first row of each
    int m_rowCount = 0;
};

} // namespace realm
