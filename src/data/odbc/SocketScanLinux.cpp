#include "data/odbc/SocketScan.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <QDir>

#include <cstring>
#include <vector>

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

bool samePeer(const SocketIdentity &socket, const sockaddr *address)
{
    const auto *peer = reinterpret_cast<const sockaddr *>(socket.peer.data());
    if (peer->sa_family != address->sa_family)
        return false;
    if (peer->sa_family == AF_INET) {
        const auto *a = reinterpret_cast<const sockaddr_in *>(peer);
        const auto *b = reinterpret_cast<const sockaddr_in *>(address);
        return a->sin_port == b->sin_port && a->sin_addr.s_addr == b->sin_addr.s_addr;
    }
    const auto *a = reinterpret_cast<const sockaddr_in6 *>(peer);
    const auto *b = reinterpret_cast<const sockaddr_in6 *>(address);
    return peer->sa_family == AF_INET6 && a->sin6_port == b->sin6_port
        && std::memcmp(&a->sin6_addr, &b->sin6_addr, sizeof a->sin6_addr) == 0;
}

// Of several sockets opened at once, by logins on other threads, the one
// whose peer is one of the addresses `host` resolves to on `port`.
SocketIdentity socketTo(const std::vector<SocketIdentity> &candidates, const QString &host, quint16 port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *addresses = nullptr;
    if (getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &addresses) != 0)
        return {};
    SocketIdentity found;
    int matches = 0;
    for (const SocketIdentity &candidate : candidates) {
        for (const addrinfo *address = addresses; address; address = address->ai_next) {
            if (samePeer(candidate, address->ai_addr)) {
                found = candidate;
                ++matches;
                break;
            }
        }
    }
    freeaddrinfo(addresses);
    return matches == 1 ? found : SocketIdentity{};
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

SocketIdentity socketOpenedSince(const std::set<std::intptr_t> &before, const QString &host, quint16 port)
{
    std::vector<SocketIdentity> opened;
    for (const std::intptr_t descriptor : openSockets()) {
        SocketIdentity candidate;
        candidate.handle = descriptor;
        if (!before.contains(descriptor) && readAddresses(int(descriptor), candidate))
            opened.push_back(candidate);
    }
    if (opened.size() == 1)
        return opened.front();
    return socketTo(opened, host, port);
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
