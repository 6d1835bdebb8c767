#include "data/odbc/SocketScan.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <QDir>

#include <cstring>

// The process's sockets are the socket descriptors in /proc/self/fd; TCP_INFO
// tells when one last received data.
namespace realm {

namespace {

static_assert(sizeof(sockaddr_storage) == sizeof(SocketIdentity::local));

bool readAddresses(int descriptor, SocketIdentity &socket)
{
    socklen_t localLength = sizeof socket.local;
    socklen_t peerLength = sizeof socket.peer;
    int type = 0;
    socklen_t typeLength = sizeof type;
    return getsockopt(descriptor, SOL_SOCKET, SO_TYPE, &type, &typeLength) == 0 && type == SOCK_STREAM
        && getsockname(descriptor, reinterpret_cast<sockaddr *>(socket.local.data()), &localLength) == 0
        && getpeername(descriptor, reinterpret_cast<sockaddr *>(socket.peer.data()), &peerLength) == 0;
}

// True when the descriptor still holds the same connection.
bool stillHolds(const SocketIdentity &socket)
{
    SocketIdentity now;
    return socket.isValid() && readAddresses(int(socket.handle), now) && now.local == socket.local && now.peer == socket.peer;
}

} // namespace

std::set<std::intptr_t> openSockets()
{
    std::set<std::intptr_t> sockets;
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

SocketIdentity socketOpenedSince(const std::set<std::intptr_t> &before)
{
    SocketIdentity found;
    for (const std::intptr_t descriptor : openSockets()) {
        SocketIdentity candidate;
        candidate.handle = descriptor;
        if (before.contains(descriptor) || !readAddresses(int(descriptor), candidate))
            continue;
        if (found.isValid())
            return {};
        found = candidate;
    }
    return found;
}

std::optional<std::chrono::milliseconds> timeSinceDataArrived(const SocketIdentity &socket)
{
    if (!stillHolds(socket))
        return std::nullopt;
    tcp_info info{};
    socklen_t size = sizeof info;
    if (getsockopt(int(socket.handle), IPPROTO_TCP, TCP_INFO, &info, &size) != 0)
        return std::nullopt;
    return std::chrono::milliseconds(info.tcpi_last_data_recv);
}

void shutDownSocket(const SocketIdentity &socket)
{
    if (stillHolds(socket))
        shutdown(int(socket.handle), SHUT_RDWR);
}

} // namespace realm
