#include "data/SocketWatchdog.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/stat.h>

#include <QDir>

#include <algorithm>
#include <cstring>

namespace realm {

namespace {

bool sameAddress(const sockaddr_storage &a, const sockaddr_storage &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool readAddresses(int descriptor, sockaddr_storage &local, sockaddr_storage &peer)
{
    socklen_t localLength = sizeof local;
    socklen_t peerLength = sizeof peer;
    int type = 0;
    socklen_t typeLength = sizeof type;
    return getsockopt(descriptor, SOL_SOCKET, SO_TYPE, &type, &typeLength) == 0 && type == SOCK_STREAM
        && getsockname(descriptor, reinterpret_cast<sockaddr *>(&local), &localLength) == 0
        && getpeername(descriptor, reinterpret_cast<sockaddr *>(&peer), &peerLength) == 0;
}

} // namespace

bool SocketIdentity::stillHolds() const
{
    sockaddr_storage nowLocal{};
    sockaddr_storage nowPeer{};
    return isValid() && readAddresses(descriptor, nowLocal, nowPeer) && sameAddress(nowLocal, local) && sameAddress(nowPeer, peer);
}

std::set<int> openSockets()
{
    std::set<int> sockets;
    const QStringList entries = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isNumber = false;
        const int descriptor = entry.toInt(&isNumber);
        struct stat status { };
        if (isNumber && fstat(descriptor, &status) == 0 && S_ISSOCK(status.st_mode))
            sockets.insert(descriptor);
    }
    return sockets;
}

SocketIdentity socketOpenedSince(const std::set<int> &before)
{
    SocketIdentity found;
    for (const int descriptor : openSockets()) {
        SocketIdentity candidate;
        candidate.descriptor = descriptor;
        if (before.contains(descriptor) || !readAddresses(descriptor, candidate.local, candidate.peer))
            continue;
        if (found.isValid())
            return {};
        found = candidate;
    }
    return found;
}

SocketWatchdog::SocketWatchdog()
    : m_thread([this] { watch(); })
{
}

SocketWatchdog::~SocketWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
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
    }
    m_wake.notify_all();
}

bool SocketWatchdog::disarm()
{
    const std::lock_guard lock(m_mutex);
    m_armed = false;
    return m_fired;
}

// A fetch waits until its whole row array has come, so a server that sends
// slowly makes no progress for the fetch loop while it is still answering:
// the limit counts from the last data the socket received.
std::optional<std::chrono::steady_clock::time_point> SocketWatchdog::deadlineAfterLastData() const
{
    if (!m_limit || !m_socket.stillHolds())
        return std::nullopt;
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(m_socket.descriptor, IPPROTO_TCP, TCP_INFO, &info, &size) != 0)
        return std::nullopt;
    const std::chrono::milliseconds quiet(info.tcpi_last_data_recv);
    if (quiet >= *m_limit)
        return std::nullopt;
    return std::chrono::steady_clock::now() + (*m_limit - quiet);
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
            if (m_socket.stillHolds())
                shutdown(m_socket.descriptor, SHUT_RDWR);
            m_fired = true;
            m_armed = false;
        }
    }
}

} // namespace realm
