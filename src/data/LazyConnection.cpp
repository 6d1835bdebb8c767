#include "data/LazyConnection.h"

namespace realm {

LazyConnection::LazyConnection(Opener open, QString description)
    : m_open(std::move(open)), m_description(std::move(description))
{
}

void LazyConnection::run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    stop.throwIfRaised();
    if (!m_opened)
        m_opened = m_open();
    m_opened->run(sql, parameters, rows, stop);
}

} // namespace realm
