#pragma once

#include "data/Connection.h"
#include "data/ServerAddress.h"
#include "data/Settings.h"

#include <mutex>

namespace realm {

// The game database on SQL Server, through unixODBC and FreeTDS. Text
// parameters are bound as wide characters so the server receives Unicode
// whatever its collation. A statement that fails on a connection the driver
// finds dead opens the connection again and runs once more, unless it was
// stopped: a stop cancels the statement on the server (SQLCancel) and leaves
// the connection as it is. Before each login the program looks at the
// server's encryption and certificate itself (see ServerTls.h), so that a
// refusal names its reason.
//
// Threads:
// - Every statement of a connection runs on the one thread that calls run()
//   (the caller's BackgroundRunner lane), which also waits there for a new
//   login after the connection died. The driver's handles are not shared
//   between threads: callers must not use one connection from two threads.
// - Each login runs on a detached thread of its own while the caller waits
//   for it until a deadline (the driver's login timeout and a few seconds
//   more) or a stop, since a driver manager may never return from a login.
//   A login given up keeps its thread, at the lowest priority, until the
//   driver manager returns; that thread then frees the handles it took.
// - The socket watchdog's thread watches the connection's socket while a
//   statement runs, to cut off a server that went silent past the query
//   timeout or does not confirm a stop soon. It starts the first time a
//   statement has a query timeout or is stopped, and only when the
//   connection's socket was found; it ends with the connection.
class OdbcConnection : public Connection {
public:
    // Throws DataError with the driver's number and text, naming the server,
    // the host and port tried, and the login. The login's server is read as
    // a ServerAddress; an instance's port is asked of the SQL Server Browser
    // first.
    explicit OdbcConnection(GameServerLogin login);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) override;
    QString description() const override;
    ConnectionSecurity security() const override;
    // Adds the TDS version the driver speaks, the server's version and the
    // catalog's collation.
    ConnectionFacts facts(StopFlag &stop) override;

private:
    struct Handles;
    // Logs in; a stop raised meanwhile ends the wait at once.
    void connect(StopFlag *stop);
    // Before the login: refuses a server that will not encrypt when
    // encryption is required, and one whose certificate fails verification.
    void checkServerTls(const ServerAddress &address);
    void disconnect();
    bool connectionIsDead() const;
    // Whether a failed statement may be tried once more on a new connection.
    bool worthReconnecting(bool anyRowsHandedOn) const;
    // Runs the statement; `anyRowsHandedOn` tells, also when it throws,
    // whether rows already went on to `rows`.
    void execute(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop, bool &anyRowsHandedOn);
    void fetch(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop, bool &anyRowsHandedOn);

    GameServerLogin m_login;
    std::unique_ptr<Handles> m_handles;
    // Written by the thread that logs in, read by the windows.
    mutable std::mutex m_securityMutex;
    ConnectionSecurity m_security;
};

} // namespace realm
