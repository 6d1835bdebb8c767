#include "data/OdbcConnection.h"

#include "data/DataError.h"
#include "data/RowBatcher.h"

#include <sql.h>
#include <sqlext.h>

#include <vector>

namespace realm {

namespace {

constexpr int LoginTimeoutSeconds = 5;
constexpr SQLULEN WideParameterSize = 4000;

// The FreeTDS driver reads a braced value up to the first "}" that is
// followed by ";" or the end, and takes everything inside literally (it does
// not undo doubled braces). So braces protect every value except one holding
// "};", which would end it early and let the rest be read as keywords.
QString braced(const QString &value, const QString &what)
{
    if (value.contains(QStringLiteral("};")))
        throw DataError(ErrorNumber::BadArgument,
                        QStringLiteral("The %1 contains \"};\", which the SQL Server driver cannot take.").arg(what));
    return u'{' + value + u'}';
}

struct ServerAddress {
    QString host;
    QString port;
};

ServerAddress parseServer(const QString &server)
{
    ServerAddress address{server, {}};
    QString host = server;
    if (host.startsWith(QStringLiteral("tcp:"), Qt::CaseInsensitive))
        host = host.sliced(4);
    if (qsizetype comma = host.lastIndexOf(u','); comma >= 0) {
        address.port = host.sliced(comma + 1).trimmed();
        host = host.first(comma).trimmed();
    }
    QString instance;
    if (qsizetype slash = host.indexOf(u'\\'); slash >= 0) {
        instance = host.sliced(slash);
        host = host.first(slash);
    }
    if (host == u"." || host.compare(u"(local)", Qt::CaseInsensitive) == 0)
        host = QStringLiteral("127.0.0.1");
    address.host = host + instance;
    return address;
}

struct Diagnostic {
    long number = 0;
    QString text;
};

Diagnostic diagnose(SQLSMALLINT handleType, SQLHANDLE handle)
{
    Diagnostic diagnostic;
    QStringList texts;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, state, &native, message, 1024, &length)))
            break;
        if (record == 1)
            diagnostic.number = native;
        texts << QString::fromUtf16(reinterpret_cast<const char16_t *>(message), std::min<SQLSMALLINT>(length, 1023));
    }
    diagnostic.text = texts.join(u'\n');
    return diagnostic;
}

} // namespace

QString odbcConnectionString(const GameServerLogin &login)
{
    const ServerAddress address = parseServer(login.server);
    QString text = QStringLiteral("DRIVER={FreeTDS};SERVER=%1;").arg(braced(address.host, QStringLiteral("server")));
    if (!address.port.isEmpty())
        text += QStringLiteral("PORT=%1;").arg(braced(address.port, QStringLiteral("port")));
    text += QStringLiteral("DATABASE={realmdb};UID=%1;PWD=%2;TDS_Version=7.4;ClientCharset=UTF-8;")
                .arg(braced(login.userId, QStringLiteral("login")), braced(login.password, QStringLiteral("password")));
    return text;
}

struct OdbcConnection::Handles {
    SQLHENV environment = SQL_NULL_HENV;
    SQLHDBC connection = SQL_NULL_HDBC;
    bool connected = false;
};

OdbcConnection::OdbcConnection(GameServerLogin login)
    : m_login(std::move(login)), m_handles(std::make_unique<Handles>())
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_handles->environment);
    SQLSetEnvAttr(m_handles->environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    connect();
}

OdbcConnection::~OdbcConnection()
{
    disconnect();
    SQLFreeHandle(SQL_HANDLE_ENV, m_handles->environment);
}

QString OdbcConnection::description() const
{
    return QStringLiteral("SQL Server %1 as %2").arg(m_login.server, m_login.userId);
}

void OdbcConnection::connect()
{
    SQLAllocHandle(SQL_HANDLE_DBC, m_handles->environment, &m_handles->connection);
    SQLSetConnectAttr(m_handles->connection, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(SQLULEN(LoginTimeoutSeconds)), 0);
    SQLSetConnectAttr(m_handles->connection, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    const QString text = odbcConnectionString(m_login);
    const SQLRETURN rc = SQLDriverConnectW(m_handles->connection, nullptr,
                                           const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(text.utf16())),
                                           SQLSMALLINT(text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const Diagnostic diagnostic = diagnose(SQL_HANDLE_DBC, m_handles->connection);
        SQLFreeHandle(SQL_HANDLE_DBC, m_handles->connection);
        m_handles->connection = SQL_NULL_HDBC;
        throw DataError(diagnostic.number,
                        QStringLiteral("Cannot connect to %1: %2").arg(description(), diagnostic.text));
    }
    m_handles->connected = true;
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

namespace {

class Statement {
public:
    explicit Statement(SQLHDBC connection) { SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle); }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, m_handle); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    SQLHSTMT handle() const { return m_handle; }
    void check(SQLRETURN rc) const
    {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
            return;
        const Diagnostic diagnostic = diagnose(SQL_HANDLE_STMT, m_handle);
        throw DataError(diagnostic.number, diagnostic.text);
    }

private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

struct ColumnInfo {
    QString name;
    SQLSMALLINT type;
};

std::vector<ColumnInfo> describeColumns(const Statement &statement)
{
    SQLSMALLINT count = 0;
    statement.check(SQLNumResultCols(statement.handle(), &count));
    std::vector<ColumnInfo> columns(count);
    for (SQLSMALLINT i = 0; i < count; ++i) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        statement.check(SQLDescribeColW(statement.handle(), SQLUSMALLINT(i + 1), name, 256, &nameLength,
                                        &columns[i].type, &size, &digits, &nullable));
        columns[i].name = QString::fromUtf16(reinterpret_cast<const char16_t *>(name), std::min<SQLSMALLINT>(nameLength, 255));
    }
    return columns;
}

bool isWholeNumber(SQLSMALLINT type)
{
    return type == SQL_INTEGER || type == SQL_SMALLINT || type == SQL_TINYINT || type == SQL_BIGINT || type == SQL_BIT;
}

bool isRealNumber(SQLSMALLINT type)
{
    return type == SQL_REAL || type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_DECIMAL || type == SQL_NUMERIC;
}

void appendWideText(ResultTable &table, const Statement &statement, SQLUSMALLINT column)
{
    std::u16string text;
    SQLWCHAR chunk[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.handle(), column, SQL_C_WCHAR, chunk, sizeof chunk, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        statement.check(rc);
        if (indicator == SQL_NULL_DATA) {
            table.appendNull();
            return;
        }
        const std::size_t capacity = sizeof chunk / sizeof(SQLWCHAR) - 1;
        const std::size_t got = indicator == SQL_NO_TOTAL || std::size_t(indicator) / sizeof(SQLWCHAR) > capacity
            ? capacity
            : std::size_t(indicator) / sizeof(SQLWCHAR);
        text.append(reinterpret_cast<const char16_t *>(chunk), got);
        if (rc == SQL_SUCCESS)
            break;
    }
    table.appendText(QStringView(text.data(), qsizetype(text.size())));
}

void appendCell(ResultTable &table, const Statement &statement, SQLUSMALLINT column, SQLSMALLINT type)
{
    SQLLEN indicator = 0;
    if (isWholeNumber(type)) {
        SQLBIGINT value = 0;
        statement.check(SQLGetData(statement.handle(), column, SQL_C_SBIGINT, &value, 0, &indicator));
        indicator == SQL_NULL_DATA ? table.appendNull() : table.appendInteger(value);
    } else if (isRealNumber(type)) {
        double value = 0;
        statement.check(SQLGetData(statement.handle(), column, SQL_C_DOUBLE, &value, 0, &indicator));
        indicator == SQL_NULL_DATA ? table.appendNull() : table.appendReal(value);
    } else {
        appendWideText(table, statement, column);
    }
}

} // namespace

bool OdbcConnection::connectionIsDead() const
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttr(m_handles->connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE;
}

namespace {

// Notes whether any batch went on, so that a statement that failed after
// its first rows is never run a second time into the same receiver.
class CountingReceiver : public BatchReceiver {
public:
    explicit CountingReceiver(BatchReceiver &inner)
        : m_inner(inner) { }
    void receive(std::shared_ptr<const ResultTable> batch) override
    {
        m_handedOn = true;
        m_inner.receive(std::move(batch));
    }
    bool handedOn() const { return m_handedOn; }

private:
    BatchReceiver &m_inner;
    bool m_handedOn = false;
};

} // namespace

void OdbcConnection::run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    if (!m_handles->connected) {
        connect();
        execute(sql, parameters, rows, stop);
        return;
    }
    CountingReceiver counted(rows);
    try {
        execute(sql, parameters, counted, stop);
        return;
    } catch (const DataError &) {
        stop.throwIfRaised();
        if (!worthReconnecting(counted.handedOn()))
            throw;
    }
    disconnect();
    connect();
    execute(sql, parameters, rows, stop);
}

// FreeTDS reports a vanished server as HY000 "Unknown error" first and as
// 08S01 after that, so the state alone cannot tell; ask the driver.
bool OdbcConnection::worthReconnecting(bool anyRowsHandedOn) const
{
    return !anyRowsHandedOn && connectionIsDead();
}

void OdbcConnection::execute(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    try {
        fetch(sql, parameters, rows, stop);
    } catch (const DataError &) {
        // A cancelled statement fails with the driver's "operation cancelled".
        stop.throwIfRaised();
        throw;
    }
}

void OdbcConnection::fetch(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    Statement statement(m_handles->connection);
    std::vector<SQLLEN> lengths(parameters.size());
    for (int i = 0; i < parameters.size(); ++i) {
        lengths[i] = SQLLEN(parameters[i].size() * 2);
        statement.check(SQLBindParameter(statement.handle(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                                         SQL_WVARCHAR, std::max<SQLULEN>(WideParameterSize, parameters[i].size()), 0,
                                         const_cast<ushort *>(parameters[i].utf16()), lengths[i], &lengths[i]));
    }
    const InterruptScope interruptible(stop, [handle = statement.handle()] { SQLCancel(handle); });
    statement.check(SQLExecDirectW(statement.handle(),
                                   const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(sql.utf16())),
                                   SQLINTEGER(sql.size())));
    const std::vector<ColumnInfo> columns = describeColumns(statement);
    QStringList names;
    for (const ColumnInfo &column : columns)
        names << column.name;
    RowBatcher batcher(names, rows, stop);
    SQLRETURN rc;
    while ((rc = SQLFetch(statement.handle())) != SQL_NO_DATA) {
        statement.check(rc);
        for (std::size_t i = 0; i < columns.size(); ++i)
            appendCell(batcher.batch(), statement, SQLUSMALLINT(i + 1), columns[i].type);
        batcher.rowDone();
    }
    batcher.finish();
}

} // namespace realm
