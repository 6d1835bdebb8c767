#pragma once

#include "data/Connection.h"


namespace realm {

// Gathers a statement's rows into batches and hands each on when it is
// full or old enough, so that rows reach their reader soon after they were
// fetched, also when the engine produces them slowly. The stop flag is
// checked after every row or block of rows.
class RowBatcher {
public:
    RowBatcher(QStringList columns, BatchReceiver &receiver, const StopFlag &stop);

    // The batch that takes the cells of the next row.
    ResultTable &batch() { return *m_batch; }
    // After the last cell of a row, or of a block of rows.
    void rowDone();
    // Hands on what is left; also the first batch of an empty result.
    void finish();
    // Hands on the rows not yet handed on, if there are any (before an error).
    void handOnRows();
    // Whether any batch went on to the receiver.
    bool anyHandedOn() const { return m_handedOn; }

private:
    void handOn();

    QStringList m_columns;
    BatchReceiver &m_receiver;
    const StopFlag &m_stop;
    std::shared_ptr<ResultTable> m_batch;
    qint64 m_startedMilliseconds = 0;
    bool m_handedOn = false;
};

} // namespace realm
