#pragma once

#include "data/odbc/SocketScan.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace realm {

// Ends a wait on a server that has gone silent. The driver's own query
// timeout sends the server a cancel and then waits as long again for it to
// be acknowledged, which a silent server never does. Armed with a limit, the
// watchdog shuts the socket down once that long has passed without progress
// and without data received: the driver's read then ends at once with an
// error. Its thread starts the first time it has something to watch: a
// statement with a limit, or a stopped one.
class SocketWatchdog {
public:
    SocketWatchdog() = default;
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
    // The caller holds the mutex.
    void startWatching();
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
