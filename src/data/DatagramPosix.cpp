#include "data/Datagram.h"

#include <cerrno>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace realm {

namespace {

struct AddressList {
    addrinfo *first = nullptr;
    ~AddressList() { freeaddrinfo(first); }
};

class Descriptor {
public:
    explicit Descriptor(int descriptor)
        : m_descriptor(descriptor) { }
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            close(m_descriptor);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// Asks until an answer comes, the socket is refused or the wait is over.
QByteArray ask(int socket, const QByteArray &query, std::chrono::milliseconds wait, std::chrono::milliseconds askAgainEvery)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto nextAsk = std::chrono::steady_clock::now();
    QByteArray answer(65535, Qt::Uninitialized);
    for (auto now = nextAsk; now < deadline; now = std::chrono::steady_clock::now()) {
        if (now >= nextAsk) {
            send(socket, query.constData(), std::size_t(query.size()), 0);
            nextAsk = now + askAgainEvery;
        }
        const auto until = std::min(nextAsk, deadline);
        pollfd ready{socket, POLLIN, 0};
        const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        if (poll(&ready, 1, int(std::max<qint64>(milliseconds, 1))) <= 0)
            continue;
        const ssize_t received = recv(socket, answer.data(), std::size_t(answer.size()), 0);
        if (received > 0)
            return answer.first(received);
        if (received < 0 && errno == ECONNREFUSED)
            return {};
    }
    return {};
}

} // namespace

DatagramAnswer askOverUdp(const QString &host, const char *service, const QByteArray &query,
                          std::chrono::milliseconds wait, std::chrono::milliseconds askAgainEvery)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    AddressList addresses;
    if (getaddrinfo(host.toUtf8().constData(), service, &hints, &addresses.first) != 0 || !addresses.first)
        return {};
    const addrinfo *target = addresses.first;
    const Descriptor socket(::socket(target->ai_family, target->ai_socktype | SOCK_CLOEXEC, target->ai_protocol));
    if (socket.get() < 0 || ::connect(socket.get(), target->ai_addr, target->ai_addrlen) != 0)
        return {true, {}};
    return {true, ask(socket.get(), query, wait, askAgainEvery)};
}

} // namespace realm
