#include "data/odbc/OdbcConnection.h"

#include "data/DataError.h"
#include "data/RowBatcher.h"
#include "data/ServerAddress.h"
#include "data/odbc/BoundColumns.h"
#include "data/odbc/ConnectionString.h"
#include "data/odbc/Diagnostics.h"
#include "data/odbc/DriverChoice.h"
#include "data/odbc/LoginAttempt.h"
#include "data/odbc/RowArrays.h"
#include "data/odbc/ServerTls.h"
#include "data/odbc/SocketWatchdog.h"
#include "data/odbc/Statement.h"

#include <QCoreApplication>

#include <sql.h>
#include <sqlext.h>

#include <chrono>
#include <optional>

namespace realm {

namespace {

constexpr int LoginTimeoutSeconds = 5;
// A login still running this long is given up, whatever the driver manager
// does: the driver's own timeout covers only the network.
constexpr std::chrono::seconds LoginDeadline{LoginTimeoutSeconds + 3};
// How long after the driver's own timeout the watchdog cuts a silent server.
constexpr std::chrono::milliseconds WatchdogGrace{500};
// How long a stopped statement waits for the server to confirm the cancel.
constexpr std::chrono::milliseconds StopGrace{500};

SQLHENV newEnvironment()
{
    const SQLHENV environment = allocateHandle(SQL_HANDLE_ENV, SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    const SQLRETURN rc = SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (SQL_SUCCEEDED(rc))
        return environment;
    const Diagnostic diagnostic = diagnose(SQL_HANDLE_ENV, environment);
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    throw DataError(diagnostic.number, QCoreApplication::translate("realm::OdbcConnection", "ODBC 驱动程序管理器拒绝了 ODBC 3：%1").arg(diagnostic.text));
}

// Throws the driver's reasons when it refuses the attribute `name`.
void setConnectionAttribute(SQLHDBC connection, SQLINTEGER attribute, const char *name, SQLULEN value)
{
    if (SQL_SUCCEEDED(SQLSetConnectAttr(connection, attribute, reinterpret_cast<SQLPOINTER>(value), 0)))
        return;
    const Diagnostic diagnostic = diagnose(SQL_HANDLE_DBC, connection);
    throw DataError(diagnostic.number, QCoreApplication::translate("realm::OdbcConnection", "ODBC 驱动程序拒绝了连接属性 %1：%2").arg(QLatin1StringView(name), diagnostic.text));
}

} // namespace

// The environment is freed with the handles, also when a failed login ends
// the constructor.
struct OdbcConnection::Handles {
    SQLHENV environment = newEnvironment();
    SQLHDBC connection = SQL_NULL_HDBC;
    bool connected = false;

    Handles() = default;
    ~Handles() { SQLFreeHandle(SQL_HANDLE_ENV, environment); }
    Handles(const Handles &) = delete;
    Handles &operator=(const Handles &) = delete;
    // A connection handle, read-only and with the driver's login timeout;
    // freed again when the driver refuses either attribute.
    void allocateConnection()
    {
        connection = allocateHandle(SQL_HANDLE_DBC, SQL_HANDLE_ENV, environment);
        try {
            setConnectionAttribute(connection, SQL_ATTR_LOGIN_TIMEOUT, "SQL_ATTR_LOGIN_TIMEOUT", LoginTimeoutSeconds);
            setConnectionAttribute(connection, SQL_ATTR_ACCESS_MODE, "SQL_ATTR_ACCESS_MODE", SQL_MODE_READ_ONLY);
        } catch (const DataError &) {
            SQLFreeHandle(SQL_HANDLE_DBC, connection);
            connection = SQL_NULL_HDBC;
            throw;
        }
    }
    // A login given up took both handles with it.
    void forgetGivenUpLogin()
    {
        connection = SQL_NULL_HDBC;
        environment = newEnvironment();
    }
    SocketIdentity socket;
    SocketWatchdog watchdog;
};

OdbcConnection::OdbcConnection(GameServerLogin login)
    : m_login(std::move(login)), m_handles(std::make_unique<Handles>())
{
    connect(nullptr);
}

OdbcConnection::~OdbcConnection()
{
    disconnect();
}

QString OdbcConnection::description() const
{
    return QCoreApplication::translate("realm::OdbcConnection", "SQL Server %1（登录名 %2）").arg(m_login.server, m_login.userId);
}

ConnectionSecurity OdbcConnection::security() const
{
    const std::lock_guard lock(m_securityMutex);
    return m_security;
}

void OdbcConnection::checkServerTls(const ServerAddress &address)
{
    ConnectionSecurity security;
    if (m_login.encryption != Encryption::No) {
        const bool required = m_login.encryption == Encryption::Require;
        const ServerTls tls = probeServerTls(address, required, m_login.caFile, std::chrono::seconds(LoginTimeoutSeconds));
        if (required && tls.offer == ServerOffer::NoTls)
            throw DataError(ErrorNumber::NotSecure,
                            QCoreApplication::translate("realm::OdbcConnection", "服务器 %1 不支持加密连接，而设置要求加密（encrypt=require）：没有发送登录。").arg(m_login.server));
        if (const QString problem = certificateProblemText(tls, m_login.server, m_login.caFile); !problem.isEmpty())
            throw DataError(ErrorNumber::NotSecure, problem);
        security = {tls.offer, tls.verdict, m_login.caFile};
    }
    const std::lock_guard lock(m_securityMutex);
    m_security = security;
}

void OdbcConnection::connect(StopFlag *stop)
{
    ServerAddress address = serverAddressOf(m_login);
    if (address.needsBrowser())
        address.port = askBrowserForPort(address, std::chrono::seconds(LoginTimeoutSeconds));
    checkServerTls(address);
    const QString text = odbcConnectionString(m_login, address);
    m_handles->allocateConnection();
    const std::set<std::intptr_t> socketsBefore = openSockets();
    const auto rc = LoginAttempt::start(m_handles->environment, m_handles->connection, text)
                        ->wait(std::chrono::steady_clock::now() + LoginDeadline, stop);
    if (!rc) {
        m_handles->forgetGivenUpLogin();
        if (stop)
            stop->throwIfRaised();
        throw DataError(ErrorNumber::LoginUnfinished,
                        QCoreApplication::translate("realm::OdbcConnection", "%1在 %2 秒内没有完成登录（试过主机 %3 的端口 %4），已放弃这次连接；服务器若已拒绝登录，它的回答没有从 ODBC 驱动程序管理器返回。")
                            .arg(description())
                            .arg(std::chrono::duration_cast<std::chrono::seconds>(LoginDeadline).count())
                            .arg(address.host, QString::number(address.port)));
    }
    if (!SQL_SUCCEEDED(*rc)) {
        const Diagnostic diagnostic = diagnose(SQL_HANDLE_DBC, m_handles->connection);
        SQLFreeHandle(SQL_HANDLE_DBC, m_handles->connection);
        m_handles->connection = SQL_NULL_HDBC;
        throw DataError(diagnostic.number,
                        QCoreApplication::translate("realm::OdbcConnection", "无法连接到 %1，试过主机 %2 的端口 %3：%4")
                            .arg(description(), address.host, QString::number(address.port), diagnostic.text));
    }
    m_handles->connected = true;
    m_handles->socket = socketOpenedSince(socketsBefore, address.host, address.port);
}

void OdbcConnection::disconnect()
{
    if (m_handles->connection == SQL_NULL_HDBC)
        return;
    if (m_handles->connected)
        SQLDisconnect(m_handles->connection);
    SQLFreeHandle(SQL_HANDLE_DBC, m_handles->connection);
    m_handles->connection = SQL_NULL_HDBC;
    m_handles->connected = false;
}

bool OdbcConnection::connectionIsDead() const
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttr(m_handles->connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE;
}

void OdbcConnection::run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    bool anyRowsHandedOn = false;
    if (!m_handles->connected) {
        connect(&stop);
        execute(sql, parameters, rows, stop, anyRowsHandedOn);
        return;
    }
    try {
        execute(sql, parameters, rows, stop, anyRowsHandedOn);
        return;
    } catch (const DataError &error) {
        stop.throwIfRaised();
        // A server that let the timeout pass is not asked twice.
        if (error.number() == ErrorNumber::QueryTimeout) {
            disconnect();
            throw;
        }
        // Rows already handed on are never sent a second time.
        if (!worthReconnecting(anyRowsHandedOn))
            throw;
    }
    disconnect();
    connect(&stop);
    execute(sql, parameters, rows, stop, anyRowsHandedOn);
}

// FreeTDS reports a vanished server as HY000 "Unknown error" first and as
// 08S01 after that, so the state alone cannot tell; ask the driver.
bool OdbcConnection::worthReconnecting(bool anyRowsHandedOn) const
{
    return !anyRowsHandedOn && connectionIsDead();
}

void OdbcConnection::execute(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop, bool &anyRowsHandedOn)
{
    try {
        fetch(sql, parameters, rows, stop, anyRowsHandedOn);
    } catch (const DataError &) {
        // A cancelled statement fails with the driver's "operation cancelled".
        stop.throwIfRaised();
        throw;
    }
}

namespace {

void fetchRows(Statement &statement, const QString &sql, const QStringList &parameters, BatchReceiver &rows,
               StopFlag &stop, SocketWatchdog &watchdog, bool &anyRowsHandedOn)
{
    statement.bindTexts(parameters);
    // A server that does not confirm the cancel soon is cut off.
    const InterruptScope interruptible(stop, [handle = statement.handle(), &watchdog] {
        SQLCancel(handle);
        watchdog.hurry(StopGrace);
    });
    statement.execute(sql);
    const std::vector<ColumnInfo> columns = describeColumns(statement);
    QStringList names;
    for (const ColumnInfo &column : columns)
        names << column.name;
    RowBatcher batcher(names, rows, stop);
    RowArrays arrays(statement, columns);
    try {
        while (arrays.fetch()) {
            watchdog.progress();
            arrays.appendRows(batcher.batch());
            batcher.rowDone();
            arrays.throwIfEndedInError();
        }
        statement.throwIfFurtherResultsFailed();
    } catch (const DataError &) {
        // The rows received stay with the reader; the error follows them.
        batcher.handOnRows();
        anyRowsHandedOn = batcher.anyHandedOn();
        throw;
    }
    batcher.finish();
}

} // namespace

void OdbcConnection::fetch(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop, bool &anyRowsHandedOn)
{
    Statement statement(m_handles->connection, m_login.queryTimeoutSeconds,
                        QCoreApplication::translate("realm::OdbcConnection", "查询超时：%1 在 %2 秒内没有回答。")
                            .arg(description())
                            .arg(m_login.queryTimeoutSeconds));
    SocketWatchdog &watchdog = m_handles->watchdog;
    watchdog.arm(m_handles->socket, m_login.queryTimeoutSeconds > 0 ? std::optional(std::chrono::seconds(m_login.queryTimeoutSeconds) + WatchdogGrace) : std::nullopt);
    try {
        fetchRows(statement, sql, parameters, rows, stop, watchdog, anyRowsHandedOn);
        watchdog.disarm();
    } catch (const DataError &) {
        if (watchdog.disarm())
            throw DataError(ErrorNumber::QueryTimeout, statement.timeoutText());
        throw;
    }
}

namespace {

// FreeTDS's own information type: the TDS version it speaks, as
// major << 16 | minor.
constexpr SQLUSMALLINT FreeTdsTdsVersion = 1300;

QString infoText(SQLHDBC connection, SQLUSMALLINT type)
{
    SQLWCHAR text[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, type, text, sizeof text, &length)))
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text), std::min<qsizetype>(length / 2, 255));
}

QString tdsVersion(SQLHDBC connection)
{
    SQLUINTEGER version = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(connection, FreeTdsTdsVersion, &version, sizeof version, nullptr)))
        return {};
    return QStringLiteral("%1.%2").arg(version >> 16).arg(version & 0xFFFF);
}

} // namespace

ConnectionFacts OdbcConnection::facts(StopFlag &stop)
{
    ConnectionFacts facts = Connection::facts(stop);
    facts.driver = driverName(sqlServerDriver());
    facts.tdsVersion = tdsVersion(m_handles->connection);
    facts.serverVersion = infoText(m_handles->connection, SQL_DBMS_VER);
    const auto collation = query(QStringLiteral("select convert(nvarchar(128), databasepropertyex(db_name(), 'Collation'))"), {}, stop);
    if (collation->rowCount() > 0)
        facts.collation = collation->textView(0, 0).toString();
    return facts;
}

} // namespace realm
