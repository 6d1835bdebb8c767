#include "data/LazyConnection.h"

namespace realm {

LazyConnection::LazyConnection(Opener open, QString description)
    : m_open(std::move(open)), m_description(std::move(description))
{
}

std::shared_ptr<Connection> LazyConnection::opened(StopFlag &stop)
{
    stop.throwIfRaised();
    {
        const std::lock_guard lock(m_openedLock);
        if (m_opened)
            return m_opened;
    }
    // Opened outside the lock: a login may take long, or ask for a password.
    std::shared_ptr<Connection> connection = m_open();
    const std::lock_guard lock(m_openedLock);
    m_opened = std::move(connection);
    return m_opened;
}

void LazyConnection::run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    opened(stop)->run(sql, parameters, rows, stop);
}

ConnectionSecurity LazyConnection::security() const
{
    const std::lock_guard lock(m_openedLock);
    return m_opened ? m_opened->security() : ConnectionSecurity{};
}

ConnectionFacts LazyConnection::facts(StopFlag &stop)
{
    return opened(stop)->facts(stop);
}

} // namespace realm
