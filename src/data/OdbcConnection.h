#pragma once

#include "data/Connection.h"

namespace realm {

struct GameServerLogin {
    QString server;
    QString userId;
    QString password;
    // How long one statement may wait for the server; 0 waits without end.
    int queryTimeoutSeconds = 300;
};

// The ODBC connection string for the FreeTDS driver. Every value is wrapped
// in braces, so a ";" in it cannot add keywords; a value holding "};" is
// refused with a DataError. The server takes the forms operators type:
// host, host,port, host\instance, "." and "(local)".
QString odbcConnectionString(const GameServerLogin &login);

// The game database on SQL Server, through unixODBC and FreeTDS. Text
// parameters are bound as wide characters so the server receives Unicode
// whatever its collation. A statement that fails on a connection the driver
// finds dead opens the connection again and runs once more.
class OdbcConnection : public Connection {
public:
    // Throws DataError with the driver's number and text, naming the server
    // and the login.
    explicit OdbcConnection(GameServerLogin login);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    std::shared_ptr<const ResultTable> query(const QString &sql, const QStringList &parameters) override;
    QString description() const override;

private:
    struct Handles;
    void connect();
    void disconnect();
    bool connectionIsDead() const;
    std::shared_ptr<const ResultTable> run(const QString &sql, const QStringList &parameters);

    GameServerLogin m_login;
    std::unique_ptr<Handles> m_handles;
};

} // namespace realm
