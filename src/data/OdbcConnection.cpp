#include "data/OdbcConnection.h"

#include "data/DataError.h"
#include "data/LoginAttempt.h"
#include "data/RowBatcher.h"
#include "data/ServerAddress.h"
#include "data/SocketWatchdog.h"

#include <QCoreApplication>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace realm {

namespace {

constexpr int LoginTimeoutSeconds = 5;
// A login still running this long is given up, whatever the driver manager
// does: the driver's own timeout covers only the network.
constexpr std::chrono::seconds LoginDeadline{LoginTimeoutSeconds + 3};
constexpr SQLULEN WideParameterSize = 4000;
// How long after the driver's own timeout the watchdog cuts a silent server.
constexpr std::chrono::milliseconds WatchdogGrace{500};
// How long a stopped statement waits for the server to confirm the cancel.
constexpr std::chrono::milliseconds StopGrace{500};

// The FreeTDS driver reads a braced value up to the first "}" that is
// followed by ";" or the end, and takes everything inside literally (it does
// not undo doubled braces). So braces protect every value except one holding
// "};", which would end it early and let the rest be read as keywords.
QString braced(const QString &value, const QString &what)
{
    if (value.contains(QStringLiteral("};")))
        throw DataError(ErrorNumber::BadArgument,
                        QCoreApplication::translate("realm::OdbcConnection", "%1中含有“};”，SQL Server 驱动程序无法接受。").arg(what));
    return u'{' + value + u'}';
}

struct Diagnostic {
    long number = 0;
    QString state;
    QString text;
    std::vector<QString> states; // of every record, first to last
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
        diagnostic.states.push_back(QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5));
        if (record == 1) {
            diagnostic.number = native;
            diagnostic.state = diagnostic.states.front();
        }
        texts << QString::fromUtf16(reinterpret_cast<const char16_t *>(message), std::min<SQLSMALLINT>(length, 1023));
    }
    diagnostic.text = texts.join(u'\n');
    return diagnostic;
}

// A handle of `type` under `parent` (of `parentType`); the reasons for a
// failure are recorded on the parent, when there is one.
SQLHANDLE allocateHandle(SQLSMALLINT type, SQLSMALLINT parentType, SQLHANDLE parent)
{
    SQLHANDLE handle = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle);
    if (SQL_SUCCEEDED(rc))
        return handle;
    Diagnostic diagnostic = parent == SQL_NULL_HANDLE ? Diagnostic{} : diagnose(parentType, parent);
    if (diagnostic.number == 0)
        diagnostic.number = rc;
    throw DataError(diagnostic.number, QCoreApplication::translate("realm::OdbcConnection", "ODBC 驱动程序管理器无法分配句柄：%1").arg(diagnostic.text));
}

} // namespace

QString odbcConnectionString(const GameServerLogin &login, const ServerAddress &address)
{
    // The driver finds no port of its own (it would try port 0), so the
    // string always names one.
    QString text = QStringLiteral("DRIVER={FreeTDS};SERVER=%1;PORT=%2;")
                       .arg(braced(address.host, QCoreApplication::translate("realm::OdbcConnection", "服务器")))
                       .arg(address.port);
    // The largest packets the server allows: a large result then costs the
    // driver an eighth of the reads and packet headers of the default size.
    text += QStringLiteral("DATABASE={realmdb};UID=%1;PWD=%2;TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767;")
                .arg(braced(login.userId, QCoreApplication::translate("realm::OdbcConnection", "登录名")), braced(login.password, QCoreApplication::translate("realm::OdbcConnection", "密码")));
    return text;
}

ServerAddress serverAddressOf(const GameServerLogin &login)
{
    auto parsed = parseServerAddress(login.server);
    if (const auto *problem = std::get_if<QString>(&parsed))
        throw DataError(ErrorNumber::BadArgument, *problem);
    return std::get<ServerAddress>(std::move(parsed));
}

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

void OdbcConnection::connect(StopFlag *stop)
{
    ServerAddress address = serverAddressOf(m_login);
    if (address.needsBrowser())
        address.port = askBrowserForPort(address, std::chrono::seconds(LoginTimeoutSeconds));
    const QString text = odbcConnectionString(m_login, address);
    m_handles->connection = allocateHandle(SQL_HANDLE_DBC, SQL_HANDLE_ENV, m_handles->environment);
    SQLSetConnectAttr(m_handles->connection, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(SQLULEN(LoginTimeoutSeconds)), 0);
    SQLSetConnectAttr(m_handles->connection, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    const std::set<int> socketsBefore = openSockets();
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
    m_handles->socket = socketOpenedSince(socketsBefore);
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

// The driver's state for an expired query timeout.
const QString TimeoutExpiredState = QStringLiteral("HYT00");

class Statement {
public:
    // A statement that waits at most `timeoutSeconds` for the server (0: no
    // limit); its expiry is reported as `timeoutText`.
    Statement(SQLHDBC connection, int timeoutSeconds, QString timeoutText)
        : m_handle(allocateHandle(SQL_HANDLE_STMT, SQL_HANDLE_DBC, connection)), m_timeoutText(std::move(timeoutText))
    {
        check(SQLSetStmtAttr(m_handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0));
    }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, m_handle); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    SQLHSTMT handle() const { return m_handle; }
    void check(SQLRETURN rc) const
    {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
            return;
        fail();
    }
    // Throws the statement's diagnostic.
    [[noreturn]] void fail() const { throw failure(); }
    // The statement's diagnostic as an error.
    DataError failure() const
    {
        const Diagnostic diagnostic = diagnose(SQL_HANDLE_STMT, m_handle);
        if (diagnostic.state == TimeoutExpiredState)
            return DataError(ErrorNumber::QueryTimeout, m_timeoutText);
        if (diagnostic.text.isEmpty())
            return DataError(diagnostic.number, QCoreApplication::translate("realm::OdbcConnection", "SQL Server 报告语句失败，但没有给出原因。"));
        return DataError(diagnostic.number, diagnostic.text);
    }
    const QString &timeoutText() const { return m_timeoutText; }

private:
    SQLHSTMT m_handle;
    QString m_timeoutText;
};

struct ColumnInfo {
    QString name;
    SQLSMALLINT type;
    SQLULEN size; // characters of a text, 0 when the driver gives no bound
};

std::vector<ColumnInfo> describeColumns(const Statement &statement)
{
    SQLSMALLINT count = 0;
    statement.check(SQLNumResultCols(statement.handle(), &count));
    std::vector<ColumnInfo> columns(count);
    for (SQLSMALLINT i = 0; i < count; ++i) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        statement.check(SQLDescribeColW(statement.handle(), SQLUSMALLINT(i + 1), name, 256, &nameLength,
                                        &columns[i].type, &columns[i].size, &digits, &nullable));
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

// Rows a fetch brings at most: enough that the per-call work of the driver
// manager no longer counts.
constexpr SQLULEN MostRowsPerFetch = 1000;
// What the bound buffers of a statement may take together.
constexpr std::size_t FetchBufferBytes = std::size_t(2) << 20;
// Character columns declared up to this size are bound whole; others get a
// buffer of PartlyBoundText characters and the rest is read with SQLGetData.
constexpr SQLULEN LongestBoundText = 4000;
constexpr SQLULEN PartlyBoundText = 255;
constexpr std::size_t TextChunkUnits = 2048;


bool isCharacterText(SQLSMALLINT type)
{
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_WCHAR || type == SQL_WVARCHAR;
}

// A double holds every decimal number of up to 15 digits exactly; wider
// decimal and numeric columns come as their digits, never rounded.
constexpr SQLULEN DigitsADoubleHolds = 15;

bool isWideDecimal(const ColumnInfo &column)
{
    return (column.type == SQL_DECIMAL || column.type == SQL_NUMERIC)
        && (column.size == 0 || column.size > DigitsADoubleHolds);
}

bool boundAsNumber(const ColumnInfo &column)
{
    return isWholeNumber(column.type) || (isRealNumber(column.type) && !isWideDecimal(column));
}

// The characters of a buffer that takes the column's texts whole, 0 when
// none does: a text column's declared size (the size counts characters, and
// no character takes more than one UTF-16 unit per byte or character the
// server stores), a wide decimal's digits with its sign and point.
SQLULEN wholeTextUnits(const ColumnInfo &column)
{
    if (column.size == 0 || column.size > LongestBoundText)
        return 0;
    if (isWideDecimal(column))
        return column.size + 2;
    return isCharacterText(column.type) ? column.size : 0;
}

bool fitsItsBuffer(const ColumnInfo &column)
{
    return wholeTextUnits(column) > 0;
}

SQLULEN boundTextUnits(const ColumnInfo &column)
{
    return fitsItsBuffer(column) ? wholeTextUnits(column) : PartlyBoundText;
}

// One result column bound to buffers for a whole row array.
class BoundColumn {
public:
    BoundColumn(const ColumnInfo &info, SQLULEN rows)
        : m_name(info.name), m_type(cellTypeOf(info)), m_indicators(rows)
    {
        m_stride = m_type == CellType::Text ? (boundTextUnits(info) + 1) * sizeof(SQLWCHAR) : sizeof(qint64);
        m_values.resize((m_stride * rows + sizeof(qint64) - 1) / sizeof(qint64));
    }

    static std::size_t rowBytes(const ColumnInfo &info)
    {
        const bool text = cellTypeOf(info) == CellType::Text;
        return sizeof(SQLLEN) + (text ? (boundTextUnits(info) + 1) * sizeof(SQLWCHAR) : sizeof(qint64));
    }

    void bind(const Statement &statement, SQLUSMALLINT number) const
    {
        static constexpr SQLSMALLINT CTypes[] = {SQL_C_SBIGINT, SQL_C_DOUBLE, SQL_C_WCHAR};
        statement.check(SQLBindCol(statement.handle(), number, CTypes[int(m_type)], const_cast<qint64 *>(m_values.data()),
                                   SQLLEN(m_stride), const_cast<SQLLEN *>(m_indicators.data())));
    }

    // Sets the column's cells of `rows` rows from `firstRow` on (Nulls are
    // there already); `statement` reads the rest of a text the buffer could
    // not hold, when the row is the only one fetched.
    void copyInto(ResultTable &table, int firstRow, int column, SQLULEN rows, const Statement *statement, SQLUSMALLINT number) const
    {
        for (SQLULEN row = 0; row < rows; ++row) {
            const SQLLEN indicator = m_indicators[row];
            if (indicator == SQL_NULL_DATA)
                continue;
            const auto *value = reinterpret_cast<const std::byte *>(m_values.data()) + row * m_stride;
            const int at = firstRow + int(row);
            switch (m_type) {
            case CellType::Whole:
                table.setInteger(at, column, *reinterpret_cast<const qint64 *>(value));
                break;
            case CellType::Real:
                table.setReal(at, column, *reinterpret_cast<const double *>(value));
                break;
            case CellType::Text:
                table.setText(at, column, text(reinterpret_cast<const char16_t *>(value), indicator, statement, number));
                break;
            }
        }
    }

private:
    enum class CellType { Whole,
                          Real,
                          Text };

    static CellType cellTypeOf(const ColumnInfo &info)
    {
        if (isWholeNumber(info.type))
            return CellType::Whole;
        return boundAsNumber(info) ? CellType::Real : CellType::Text;
    }

    // The whole text: the bound part, or with the rest read on. The long
    // text is kept until the next one.
    QStringView text(const char16_t *bound, SQLLEN indicator, const Statement *statement, SQLUSMALLINT number) const
    {
        const std::size_t capacity = m_stride / sizeof(SQLWCHAR) - 1;
        if (indicator != SQL_NO_TOTAL && std::size_t(indicator) / sizeof(SQLWCHAR) <= capacity)
            return QStringView(bound, qsizetype(std::size_t(indicator) / sizeof(SQLWCHAR)));
        if (!statement)
            throw DataError(ErrorNumber::Overflow,
                            QStringLiteral("The server sent column %1 a text longer than the %2 characters it declared.").arg(m_name).arg(capacity));
        m_longText = readLongText(bound, capacity, indicator, *statement, number);
        return QStringView(m_longText.data(), qsizetype(m_longText.size()));
    }

    // A part of a text the driver wrote: `length` bytes were left of the
    // text when it did (SQL_NO_TOTAL: unknown), `capacity` units fit.
    struct TextPart {
        const char16_t *units;
        std::size_t capacity;
        SQLLEN length;
    };

    // The driver goes on where the bound buffer ended. How many units a cut
    // part holds is what the next part's length leaves of its own: a pair
    // of surrogates that did not fit is not counted. Should the driver start
    // over instead (the rest as long as the whole), the bound part is dropped.
    static std::u16string readLongText(const char16_t *bound, std::size_t capacity, SQLLEN wholeLength,
                                       const Statement &statement, SQLUSMALLINT number)
    {
        std::u16string text;
        SQLWCHAR chunks[2][TextChunkUnits];
        TextPart pending{bound, capacity, wholeLength};
        for (int turn = 0;; turn ^= 1) {
            SQLLEN indicator = 0;
            const SQLRETURN rc = SQLGetData(statement.handle(), number, SQL_C_WCHAR, chunks[turn], sizeof chunks[turn], &indicator);
            if (rc != SQL_NO_DATA)
                statement.check(rc);
            text.append(pending.units, unitsWritten(pending, rc == SQL_NO_DATA ? 0 : indicator));
            const auto *units = reinterpret_cast<const char16_t *>(chunks[turn]);
            if (rc == SQL_NO_DATA)
                return text;
            if (rc == SQL_SUCCESS) {
                text.append(units, unitsWritten({units, TextChunkUnits - 1, indicator}, 0));
                return text;
            }
            pending = {units, TextChunkUnits - 1, indicator};
        }
    }

    static std::size_t unitsWritten(const TextPart &part, SQLLEN restLength)
    {
        if (part.length != SQL_NO_TOTAL && restLength != SQL_NO_TOTAL && restLength >= 0 && restLength <= part.length)
            return std::min(part.capacity, std::size_t(part.length - restLength) / sizeof(SQLWCHAR));
        return std::size_t(std::find(part.units, part.units + part.capacity, u'\0') - part.units);
    }

    QString m_name;
    CellType m_type;
    std::size_t m_stride = 0;
    std::vector<qint64> m_values;
    std::vector<SQLLEN> m_indicators;
    mutable std::u16string m_longText;
};

// The result's columns bound to row arrays, fetched a block at a time. A
// text column without a bound small enough for its buffer makes it fetch a
// row at a time, as only the current row can be read on with SQLGetData.
class RowArrays {
public:
    RowArrays(const Statement &statement, const std::vector<ColumnInfo> &columns)
        : m_statement(statement), m_rowsPerFetch(rowsPerFetch(columns)), m_status(m_rowsPerFetch)
    {
        setRowsNow(1);
        check(SQLSetStmtAttr(statement.handle(), SQL_ATTR_ROW_STATUS_PTR, m_status.data(), 0));
        check(SQLSetStmtAttr(statement.handle(), SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0));
        m_columns.reserve(columns.size());
        for (const ColumnInfo &column : columns) {
            m_columns.emplace_back(column, m_rowsPerFetch);
            m_columns.back().bind(statement, SQLUSMALLINT(m_columns.size()));
        }
    }

    // Fetches the next rows; false after the last.
    bool fetch()
    {
        m_fetched = 0;
        const auto start = std::chrono::steady_clock::now();
        const SQLRETURN rc = SQLFetchScroll(m_statement.handle(), SQL_FETCH_NEXT, 0);
        if (rc == SQL_NO_DATA)
            return false;
        if (rc == SQL_ERROR && !keepsRowsBeforeError())
            m_statement.fail();
        for (SQLULEN row = 0; row < m_fetched; ++row) {
            if (m_status[row] == SQL_ROW_ERROR)
                m_statement.fail();
        }
        if (rc == SQL_ERROR || (rc == SQL_SUCCESS_WITH_INFO && cutShortByError()))
            m_failure = m_statement.failure();
        adaptRowsNow(std::chrono::steady_clock::now() - start);
        return true;
    }

    // After the rows of a fetch are appended: throws when the statement
    // ended in an error after them.
    void throwIfEndedInError() const
    {
        if (m_failure)
            throw *m_failure;
    }

    // Appends the rows fetched last, a column at a time.
    void appendRows(ResultTable &table) const
    {
        const int first = table.addRows(int(m_fetched));
        const Statement *readsOn = m_rowsPerFetch == 1 ? &m_statement : nullptr;
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            m_columns[i].copyInto(table, first, int(i), m_fetched, readsOn, SQLUSMALLINT(i + 1));
    }

private:
    // A fetch waits until its array is full: the array starts at one row and
    // doubles while the server keeps up, and halves when a fetch waits, so
    // the rows of a slow server still reach their reader soon after it sends
    // them.
    void adaptRowsNow(std::chrono::steady_clock::duration waited)
    {
        if (waited < QuickFetch && m_fetched == m_rowsNow)
            setRowsNow(std::min(m_rowsNow * 2, m_rowsPerFetch));
        else if (waited > SlowFetch)
            setRowsNow(std::max<SQLULEN>(m_rowsNow / 2, 1));
    }
    void setRowsNow(SQLULEN rows)
    {
        if (rows == m_rowsNow)
            return;
        check(SQLSetStmtAttr(m_statement.handle(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0));
        m_rowsNow = rows;
    }

    static SQLULEN rowsPerFetch(const std::vector<ColumnInfo> &columns)
    {
        std::size_t rowBytes = sizeof(SQLUSMALLINT);
        for (const ColumnInfo &column : columns) {
            if (!boundAsNumber(column) && !fitsItsBuffer(column))
                return 1;
            rowBytes += BoundColumn::rowBytes(column);
        }
        return std::clamp<SQLULEN>(FetchBufferBytes / rowBytes, 1, MostRowsPerFetch);
    }
    void check(SQLRETURN rc) const { m_statement.check(rc); }

    // A fetch that fails part-way (the server stopped answering, say) still
    // counts the whole rows it received; they are bound whole unless rows
    // come one at a time, when a text may still be waiting to be read on.
    bool keepsRowsBeforeError() const
    {
        if (m_fetched == 0 || m_rowsPerFetch == 1)
            return false;
        return std::all_of(m_status.begin(), m_status.begin() + qsizetype(m_fetched),
                           [](SQLUSMALLINT status) { return status == SQL_ROW_SUCCESS; });
    }

    // The driver returns the rows before a server error with "success with
    // information": the error's record, or none at all when the server only
    // flagged its end as failed. A cut text's warning is information alone.
    bool cutShortByError() const
    {
        const std::vector<QString> states = diagnose(SQL_HANDLE_STMT, m_statement.handle()).states;
        if (states.empty())
            return m_fetched < m_rowsNow;
        return std::any_of(states.begin(), states.end(), [](const QString &state) { return !state.startsWith(u"01"); });
    }

    static constexpr std::chrono::milliseconds QuickFetch{5};
    static constexpr std::chrono::milliseconds SlowFetch{20};

    const Statement &m_statement;
    SQLULEN m_rowsPerFetch; // what the buffers hold
    SQLULEN m_rowsNow = 0; // what a fetch asks for
    std::vector<SQLUSMALLINT> m_status;
    SQLULEN m_fetched = 0;
    std::optional<DataError> m_failure;
    std::vector<BoundColumn> m_columns;
};

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
        connect(&stop);
        execute(sql, parameters, rows, stop);
        return;
    }
    CountingReceiver counted(rows);
    try {
        execute(sql, parameters, counted, stop);
        return;
    } catch (const DataError &error) {
        stop.throwIfRaised();
        // A server that let the timeout pass is not asked twice.
        if (error.number() == ErrorNumber::QueryTimeout) {
            disconnect();
            throw;
        }
        if (!worthReconnecting(counted.handedOn()))
            throw;
    }
    disconnect();
    connect(&stop);
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

namespace {

// An error the server sends after the last row ends the statement's
// results, not its data: each further result is asked for until none is left.
void throwIfFurtherResultsFailed(const Statement &statement)
{
    for (;;) {
        const SQLRETURN rc = SQLMoreResults(statement.handle());
        if (rc == SQL_NO_DATA)
            return;
        statement.check(rc);
    }
}

void fetchRows(const Statement &statement, const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop, SocketWatchdog &watchdog)
{
    std::vector<SQLLEN> lengths(parameters.size());
    for (int i = 0; i < parameters.size(); ++i) {
        lengths[i] = SQLLEN(parameters[i].size() * 2);
        statement.check(SQLBindParameter(statement.handle(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                                         SQL_WVARCHAR, std::max<SQLULEN>(WideParameterSize, parameters[i].size()), 0,
                                         const_cast<ushort *>(parameters[i].utf16()), lengths[i], &lengths[i]));
    }
    // A server that does not confirm the cancel soon is cut off.
    const InterruptScope interruptible(stop, [handle = statement.handle(), &watchdog] {
        SQLCancel(handle);
        watchdog.hurry(StopGrace);
    });
    statement.check(SQLExecDirectW(statement.handle(),
                                   const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(sql.utf16())),
                                   SQLINTEGER(sql.size())));
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
        throwIfFurtherResultsFailed(statement);
    } catch (const DataError &) {
        // The rows received stay with the reader; the error follows them.
        batcher.handOnRows();
        throw;
    }
    batcher.finish();
}

} // namespace

void OdbcConnection::fetch(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    const Statement statement(m_handles->connection, m_login.queryTimeoutSeconds,
                              QStringLiteral("Query timeout expired: %1 did not answer within %2 seconds.")
                                  .arg(description())
                                  .arg(m_login.queryTimeoutSeconds));
    SocketWatchdog &watchdog = m_handles->watchdog;
    watchdog.arm(m_handles->socket, m_login.queryTimeoutSeconds > 0 ? std::optional(std::chrono::seconds(m_login.queryTimeoutSeconds) + WatchdogGrace) : std::nullopt);
    try {
        fetchRows(statement, sql, parameters, rows, stop, watchdog);
        watchdog.disarm();
    } catch (const DataError &) {
        if (watchdog.disarm())
            throw DataError(ErrorNumber::QueryTimeout, statement.timeoutText());
        throw;
    }
}

} // namespace realm
