#pragma once

#include <QString>

#include <chrono>
#include <variant>

namespace realm {

// SQL Server's port when an address names none.
inline constexpr quint16 DefaultSqlServerPort = 1433;

// Where a game server listens, read from the forms operators write in
// "serverip": host, host,port, host\instance, "." and "(local)" for this
// machine, and an IPv6 address in brackets ([::1], [::1],port,
// [::1]\instance). An optional "tcp:" in front is allowed.
struct ServerAddress {
    QString host; // as the driver resolves it: an IPv6 address without brackets
    quint16 port = 0; // 0 until an instance's port is known
    QString instance; // empty unless the address names one without a port

    bool needsBrowser() const { return port == 0; }
    // "host,port" or "host\instance", as an operator reads it back.
    QString text() const;
};

// The address, or why the text is none (a sentence listing the forms
// that work).
std::variant<ServerAddress, QString> parseServerAddress(const QString &text);

// Asks the SQL Server Browser on the address's host (UDP port 1434) for the
// TCP port of its instance. Throws DataError when the browser does not
// answer within `wait`, answers without a TCP port, or cannot be asked.
quint16 askBrowserForPort(const ServerAddress &address, std::chrono::milliseconds wait);

} // namespace realm
