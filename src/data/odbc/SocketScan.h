#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>

#include <QString>

// What the socket watchdog needs to know of the process's sockets; each
// platform supplies these in a file of its own.
namespace realm {

// One connected TCP socket of this process, told apart from a later socket
// that reuses its handle by both of its addresses (as the platform stores
// them).
struct SocketIdentity {
    std::intptr_t handle = -1;
    alignas(std::max_align_t) std::array<std::byte, 128> local{};
    alignas(std::max_align_t) std::array<std::byte, 128> peer{};

    bool isValid() const { return handle >= 0; }
};

// The sockets this process has open.
std::set<std::intptr_t> openSockets();
// The one connected TCP socket opened since `before`; when other
// connections logged in meanwhile, the one of them whose peer is `host` on
// `port`. Invalid when there is none or more than one, so that no other
// connection is ever taken for it.
SocketIdentity socketOpenedSince(const std::set<std::intptr_t> &before, const QString &host, quint16 port);
// How long the socket has received no data; nothing when that cannot be
// told or the handle no longer holds the same connection.
std::optional<std::chrono::milliseconds> timeSinceDataArrived(const SocketIdentity &socket);
// Shuts the socket down both ways, if its handle still holds the same
// connection: a read waiting on it ends at once with an error.
void shutDownSocket(const SocketIdentity &socket);

} // namespace realm
