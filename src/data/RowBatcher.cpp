#include "data/RowBatcher.h"

#include <ctime>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace realm {

namespace {

constexpr int FullBatchRows = 4096;
// Short enough for a list to grow visibly while a slow server sends rows.
constexpr qint64 OldBatchMilliseconds = 40;

// The coarse clock gives the time of the last tick without reading the
// hardware clock: a row costs a few nanoseconds instead of tens, and a
// batch's age needs no finer grain than a tick. Windows keeps its tick count
// the same way.
qint64 coarseMilliseconds()
{
#ifdef Q_OS_WIN
    return qint64(GetTickCount64());
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
#endif
}

} // namespace

RowBatcher::RowBatcher(QStringList columns, BatchReceiver &receiver, const StopFlag &stop)
    : m_columns(std::move(columns)), m_receiver(receiver), m_stop(stop),
      m_batch(std::make_shared<ResultTable>(m_columns)), m_startedMilliseconds(coarseMilliseconds())
{
}

void RowBatcher::rowDone()
{
    m_stop.throwIfRaised();
    if (m_batch->rowCount() >= FullBatchRows || coarseMilliseconds() - m_startedMilliseconds >= OldBatchMilliseconds)
        handOn();
}

void RowBatcher::finish()
{
    if (m_batch->rowCount() > 0 || !m_handedOn)
        handOn();
}

void RowBatcher::handOnRows()
{
    if (m_batch->rowCount() > 0)
        handOn();
}

void RowBatcher::handOn()
{
    m_handedOn = true;
    m_receiver.receive(std::exchange(m_batch, std::make_shared<ResultTable>(m_columns)));
    m_startedMilliseconds = coarseMilliseconds();
}

} // namespace realm
