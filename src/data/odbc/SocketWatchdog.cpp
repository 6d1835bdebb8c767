#include "data/odbc/SocketWatchdog.h"

#include <algorithm>

namespace realm {

SocketWatchdog::~SocketWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SocketWatchdog::arm(const SocketIdentity &socket, std::optional<std::chrono::milliseconds> limit)
{
    {
        const std::lock_guard lock(m_mutex);
        m_socket = socket;
        m_limit = limit;
        m_deadline = limit ? std::chrono::steady_clock::now() + *limit : std::chrono::steady_clock::time_point::max();
        m_armed = socket.isValid();
        m_fired = false;
        if (m_armed && limit)
            startWatching();
    }
    m_wake.notify_all();
}

void SocketWatchdog::progress()
{
    const std::lock_guard lock(m_mutex);
    if (m_limit)
        m_deadline = std::chrono::steady_clock::now() + *m_limit;
}

void SocketWatchdog::hurry(std::chrono::milliseconds grace)
{
    {
        const std::lock_guard lock(m_mutex);
        m_deadline = std::min(m_deadline, std::chrono::steady_clock::now() + grace);
        m_limit.reset();
        if (m_armed)
            startWatching();
    }
    m_wake.notify_all();
}

bool SocketWatchdog::disarm()
{
    const std::lock_guard lock(m_mutex);
    m_armed = false;
    return m_fired;
}

void SocketWatchdog::startWatching()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { watch(); });
}

// A fetch waits until its whole row array has come, so a server that sends
// slowly makes no progress for the fetch loop while it is still answering:
// the limit counts from the last data the socket received.
std::optional<std::chrono::steady_clock::time_point> SocketWatchdog::deadlineAfterLastData() const
{
    if (!m_limit)
        return std::nullopt;
    const auto quiet = timeSinceDataArrived(m_socket);
    if (!quiet || *quiet >= *m_limit)
        return std::nullopt;
    return std::chrono::steady_clock::now() + (*m_limit - *quiet);
}

void SocketWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_armed) {
            m_wake.wait(lock);
        } else if (std::chrono::steady_clock::now() < m_deadline) {
            m_wake.wait_until(lock, m_deadline);
        } else if (const auto later = deadlineAfterLastData()) {
            m_deadline = *later;
        } else {
            shutDownSocket(m_socket);
            m_fired = true;
            m_armed = false;
        }
    }
}

} // namespace realm
