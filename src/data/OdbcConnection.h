#pragma once

#include "data/Connection.h"

namespace realm {

struct GameServerLogin {
    QString server;
    QString userId;
    QString password;
};

// The ODBC connection string for the FreeTDS driver. Every value is wrapped
// in braces, so a ";" in it cannot add keywords; a value holding "};" is
// refused with a DataError. The server takes the forms operators type:
// host, host,port, host\instance, "." and "(local)".
QString odbcConnectionString(const GameServerLogin &login);

// The game database on SQL Server, through unixODBC and FreeTDS. Text
// parameters are bound as wide characters so the server receives Unicode
// whatever its collation. A statement that fails on a connection the driver
// finds dead opens the connection again and runs once more, unless it was
// stopped: a stop cancels the statement on the server (SQLCancel) and leaves
// the connection as it is.
class OdbcConnection : public Connection {
public:
    // Throws DataError with the driver's number and text, naming the server
    // and the login.
    explicit OdbcConnection(GameServerLogin login);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) override;
    QString description() const override;

private:
    struct Handles;
    void connect();
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
