#pragma once

#include "Fixtures.h"

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

namespace realm::test {

// The TDS test server (tests/tdsserver/tdsserver.py) in a child process,
// serving a SQLite file to the real ODBC driver. The port is chosen by the
// system on the first start and kept for a restart, so a client can find
// the server again where it was.
class TdsServerProcess {
public:
    struct Options {
        QString database;
        QString login = QStringLiteral("operator");
        QString password;
        QString collation = QStringLiteral("latin1");
        QString logPath;
        // The first statement holding this text sends a few rows, then
        // hangs until the client cancels it.
        QString stallOn;
        // Where it listens; port 0 lets the system choose.
        QString host = QStringLiteral("127.0.0.1");
        quint16 port = 0;
        // Further tdsserver.py arguments, such as a misbehaviour.
        QStringList arguments;
    };

    explicit TdsServerProcess(Options options);
    ~TdsServerProcess();
    TdsServerProcess(const TdsServerProcess &) = delete;
    TdsServerProcess &operator=(const TdsServerProcess &) = delete;

    // Starts the server and waits for its port line; false (with the reason
    // in `error`) when it did not come up.
    bool start(QString *error = nullptr);
    // Ends it with SIGTERM, which cuts every client connection at once.
    void stop();

    const Options &options() const { return m_options; }
    quint16 port() const { return m_port; }
    // "HOST,PORT", as an operator writes it in db.ini.
    QString serverAddress() const;

    // Every request logged so far, oldest first.
    QList<QJsonObject> requests() const;
    // The statements (batches and procedure calls) logged after the first
    // `skip` log entries.
    QList<QJsonObject> statementsSince(qsizetype skip) const;

private:
    Options m_options;
    QProcess m_process;
    quint16 m_port;
};

// Serves realmdb.sqlite of `folder`, logging to server.log there, and takes
// `password` for the login "operator".
TdsServerProcess::Options standardServerOptions(const FixtureFolder &folder, const QString &password);

// db.ini text for the SQL Server path (no gamedb key).
QString sqlServerIni(const QString &server, const QString &login, const QString &password);
QByteArray encodeGbk(const QString &text);

// A program folder with the standard data, served by a TDS test server that
// logs to server.log there and takes `password` for the login "operator".
struct SqlServerFixture {
    enum class IniEncoding { Utf8,
                             Gbk };

    explicit SqlServerFixture(const QString &password);
    // Starts the server and writes db.ini with its address and the login;
    // false (with the reason in `error`) when the server did not come up.
    bool start(IniEncoding encoding, QString *error);

    FixtureFolder folder;
    TdsServerProcess server;
};

} // namespace realm::test
