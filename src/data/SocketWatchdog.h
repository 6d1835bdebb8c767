#pragma once

#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace realm {

// One connected TCP socket of this process, told apart from a later socket
// that reuses its descriptor by both of its addresses.
struct SocketIdentity {
    int descriptor = -1;
    sockaddr_storage local{};
    sockaddr_storage peer{};

    bool isValid() const { return descriptor >= 0; }
    // True when the descriptor still holds the same connection.
    bool stillHolds() const;
};

// The sockets this process has open.
std::set<int> openSockets();
// The one connected TCP socket opened since `before`; invalid when there is
// none or more than one, so that no other connection is ever taken for it.
SocketIdentity socketOpenedSince(const std::set<int> &before);

// Ends a wait on a server that has gone silent. The driver's own query
// timeout sends the server a cancel and then waits as long again for it to
// be acknowledged, which a silent server never does. Armed with a limit, the
// watchdog shuts the socket down once that long has passed without progress
// and without data received: the driver's read then ends at once with an
// error.
class SocketWatchdog {
public:
    SocketWatchdog();
    ~SocketWatchdog();
    SocketWatchdog(const SocketWatchdog &) = delete;
    SocketWatchdog &operator=(const SocketWatchdog &) = delete;

    // Watches the socket; with a limit, cuts it once that long has passed
    // without progress.
    void arm(const SocketIdentity &socket, std::optional<std::chrono::milliseconds> limit);
    // The server answered: the limit counts from now.
    void progress();
    // Cuts the socket `grace` from now at the latest (a stopped statement).
    void hurry(std::chrono::milliseconds grace);
    // Returns whether the socket was shut down since arm().
    bool disarm();

private:
    void watch();
    // When the limit ends if counted from the last data received, unless
    // that is over already.
    std::optional<std::chrono::steady_clock::time_point> deadlineAfterLastData() const;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    SocketIdentity m_socket;
    std::optional<std::chrono::milliseconds> m_limit;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_armed = false;
    bool m_fired = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace realm
