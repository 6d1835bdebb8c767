#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace realm {

struct DatagramAnswer {
    // False when the host's name gave no address.
    bool hostFound = false;
    // The first datagram that came back; empty when none came within the
    // wait, the port was refused or no socket could be opened.
    QByteArray reply;
};

// Sends `query` to UDP port `service` of `host`, again every `askAgainEvery`
// while no answer has come (a lost datagram is not resent by anyone else),
// and waits at most `wait` for one. Each platform supplies it in a file of
// its own.
DatagramAnswer askOverUdp(const QString &host, const char *service, const QByteArray &query,
                          std::chrono::milliseconds wait, std::chrono::milliseconds askAgainEvery);

} // namespace realm
