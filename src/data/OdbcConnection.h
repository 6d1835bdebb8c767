#pragma once

#include "data/Connection.h"
#include "data/ServerAddress.h"
#include "data/Settings.h"

namespace realm {

// The ODBC connection string for the FreeTDS driver, to the host and port of
// `address` (whose port is known). Every value is wrapped in braces, so a
// ";" in it cannot add keywords; a value holding "};" is refused with a
// DataError.
QString odbcConnectionString(const GameServerLogin &login, const ServerAddress &address);
// The address in the login's server text; a DataError when it is none.
ServerAddress serverAddressOf(const GameServerLogin &login);

// The game database on SQL Server, through unixODBC and FreeTDS. Text
// parameters are bound as wide characters so the server receives Unicode
// whatever its collation. A statement that fails on a connection the driver
// finds dead opens the connection again and runs once more, unless it was
// stopped: a stop cancels the statement on the server (SQLCancel) and leaves
// the connection as it is.
class OdbcConnection : public Connection {
public:
    // Throws DataError with the driver's number and text, naming the server,
    // the host and port tried, and the login. An instance's port is asked of
    // the SQL Server Browser first.
    explicit OdbcConnection(GameServerLogin login);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) override;
    QString description() const override;

private:
    struct Handles;
    // Logs in; a stop raised meanwhile ends the wait at once.
    void connect(StopFlag *stop);
    void disconnect();
    bool connectionIsDead() const;
    // Whether a failed statement may be tried once more on a new connection.
    bool worthReconnecting(bool anyRowsHandedOn) const;
    void execute(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop);
    void fetch(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop);

    GameServerLogin m_login;
    std::unique_ptr<Handles> m_handles;
};

} // namespace realm
