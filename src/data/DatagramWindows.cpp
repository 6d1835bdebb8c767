#include "data/Datagram.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

// Winsock's side: the same exchange as on POSIX systems, with Winsock's
// handles and calls. A refused UDP port shows as WSAECONNRESET here.
namespace realm {

namespace {

// Winsock wants one WSAStartup per process before any other call; the
// process keeps it to its end.
bool winsockStarted()
{
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

struct AddressList {
    addrinfoW *first = nullptr;
    ~AddressList() { FreeAddrInfoW(first); }
};

class Socket {
public:
    explicit Socket(SOCKET handle)
        : m_handle(handle) { }
    ~Socket()
    {
        if (m_handle != INVALID_SOCKET)
            closesocket(m_handle);
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;
    SOCKET get() const { return m_handle; }

private:
    SOCKET m_handle;
};

QByteArray ask(SOCKET socket, const QByteArray &query, std::chrono::milliseconds wait, std::chrono::milliseconds askAgainEvery)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto nextAsk = std::chrono::steady_clock::now();
    QByteArray answer(65535, Qt::Uninitialized);
    for (auto now = nextAsk; now < deadline; now = std::chrono::steady_clock::now()) {
        if (now >= nextAsk) {
            send(socket, query.constData(), int(query.size()), 0);
            nextAsk = now + askAgainEvery;
        }
        const auto until = std::min(nextAsk, deadline);
        WSAPOLLFD ready{socket, POLLRDNORM, 0};
        const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        if (WSAPoll(&ready, 1, int(std::max<qint64>(milliseconds, 1))) <= 0)
            continue;
        const int received = recv(socket, answer.data(), int(answer.size()), 0);
        if (received > 0)
            return answer.first(received);
        if (received < 0 && WSAGetLastError() == WSAECONNRESET)
            return {};
    }
    return {};
}

} // namespace

DatagramAnswer askOverUdp(const QString &host, const char *service, const QByteArray &query,
                          std::chrono::milliseconds wait, std::chrono::milliseconds askAgainEvery)
{
    if (!winsockStarted())
        return {true, {}};
    addrinfoW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    AddressList addresses;
    const QString port = QString::fromLatin1(service);
    if (GetAddrInfoW(reinterpret_cast<const wchar_t *>(host.utf16()), reinterpret_cast<const wchar_t *>(port.utf16()),
                     &hints, &addresses.first)
            != 0
        || !addresses.first)
        return {};
    const addrinfoW *target = addresses.first;
    const Socket socket(WSASocketW(target->ai_family, target->ai_socktype, target->ai_protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT));
    if (socket.get() == INVALID_SOCKET || ::connect(socket.get(), target->ai_addr, int(target->ai_addrlen)) != 0)
        return {true, {}};
    return {true, ask(socket.get(), query, wait, askAgainEvery)};
}

} // namespace realm
