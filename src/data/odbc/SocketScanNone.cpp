#include "data/odbc/SocketScan.h"

// Where the process's sockets cannot be listed, the watchdog finds no socket
// for a connection and never cuts one: a query timeout then relies on the
// driver alone, which waits for a silent server to acknowledge its cancel,
// and a stopped statement on SQLCancel alone.
namespace realm {

std::set<std::intptr_t> openSockets()
{
    return {};
}

SocketIdentity socketOpenedSince(const std::set<std::intptr_t> &, const QString &, quint16)
{
    return {};
}

std::optional<std::chrono::milliseconds> timeSinceDataArrived(const SocketIdentity &)
{
    return std::nullopt;
}

void shutDownSocket(const SocketIdentity &)
{
}

} // namespace realm
