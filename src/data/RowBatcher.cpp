#include "data/RowBatcher.h"

namespace realm {

namespace {

constexpr int FullBatchRows = 4096;
// Short enough for a list to grow visibly while a slow server sends rows.
constexpr qint64 OldBatchMilliseconds = 40;

} // namespace

RowBatcher::RowBatcher(QStringList columns, BatchReceiver &receiver, const StopFlag &stop)
    : m_columns(std::move(columns)), m_receiver(receiver), m_stop(stop),
      m_batch(std::make_shared<ResultTable>(m_columns))
{
    m_age.start();
}

void RowBatcher::rowDone()
{
    m_stop.throwIfRaised();
    if (m_batch->rowCount() >= FullBatchRows || m_age.elapsed() >= OldBatchMilliseconds)
        handOn();
}

void RowBatcher::finish()
{
    if (m_batch->rowCount() > 0 || !m_handedOn)
        handOn();
}

void RowBatcher::handOn()
{
    m_receiver.receive(std::exchange(m_batch, std::make_shared<ResultTable>(m_columns)));
    m_handedOn = true;
    m_age.restart();
}

} // namespace realm
