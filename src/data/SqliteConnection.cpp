#include "data/SqliteConnection.h"

#include "data/DataError.h"
#include "data/LikePattern.h"
#include "data/RowBatcher.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace realm {

namespace {

// NOCASE as the game server's case-insensitive collation: every letter
// folded, then ordered by code point. For text whose only cased letters are
// ASCII it orders exactly as SQLite's own NOCASE, so an index the sqlite3
// shell built over such text agrees with it.
int compareFolded(void *, int leftSize, const void *left, int rightSize, const void *right)
{
    const auto folded = [](const void *text, int size) {
        return QString::fromUtf8(static_cast<const char *>(text), size).toCaseFolded().toUtf8();
    };
    const QByteArray a = folded(left, leftSize);
    const QByteArray b = folded(right, rightSize);
    const int common = std::memcmp(a.constData(), b.constData(), std::size_t(std::min(a.size(), b.size())));
    return common != 0 ? common : int(a.size() - b.size());
}

QString columnText(sqlite3_value *value)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
}

void likeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString pattern = columnText(argv[0]).toCaseFolded();
    const QString text = columnText(argv[1]).toCaseFolded();
    sqlite3_result_int(context, likeMatches(pattern, text) ? 1 : 0);
}

void appendCell(ResultTable &table, sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        table.appendNull();
        break;
    case SQLITE_INTEGER:
        table.appendInteger(sqlite3_column_int64(statement, column));
        break;
    case SQLITE_FLOAT:
        table.appendReal(sqlite3_column_double(statement, column));
        break;
    case SQLITE_TEXT: {
        // Texts are kept as UTF-8 in the file: decoding them here spares
        // the engine a converted copy of each one.
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        table.appendUtf8(QByteArrayView(text, sqlite3_column_bytes(statement, column)));
        break;
    }
    default: {
        const auto *text = static_cast<const char16_t *>(sqlite3_column_text16(statement, column));
        table.appendText(QStringView(text, sqlite3_column_bytes16(statement, column) / 2));
    }
    }
}

QStringList columnNames(sqlite3_stmt *statement)
{
    QStringList names;
    for (int i = 0; i < sqlite3_column_count(statement); ++i)
        names << QString::fromUtf8(sqlite3_column_name(statement, i));
    return names;
}

// SQLite counts its own memory under a global lock on every allocation,
// which a query of a million rows pays for each row; nothing reads the
// count. Only possible before SQLite's first use in the process; later it
// changes nothing.
void stopMemoryCount()
{
    [[maybe_unused]] static const int configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

} // namespace

std::unique_ptr<SqliteConnection> SqliteConnection::openFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw DataError(SQLITE_CANTOPEN, QCoreApplication::translate("realm::SqliteConnection", "找不到游戏数据库文件：%1").arg(path));
    // Immutable: SQLite takes no locks and opens no journal, -wal or -shm
    // file, so a WAL-mode file in a read-only folder opens and nothing is
    // ever written beside it.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
    stopMemoryCount();
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(db, path));
    if (rc != SQLITE_OK)
        connection->fail(rc);
    connection->makeReadOnly();
    return connection;
}

std::unique_ptr<SqliteConnection> SqliteConnection::openMemory(const QString &description)
{
    stopMemoryCount();
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(db, description));
    if (rc != SQLITE_OK)
        connection->fail(rc);
    return connection;
}

SqliteConnection::SqliteConnection(sqlite3 *db, QString description)
    : m_db(db), m_description(std::move(description))
{
    if (m_db)
        addServerTextRules(m_db);
}

void SqliteConnection::addServerTextRules(sqlite3 *db)
{
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr,
                               nullptr, nullptr);
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, compareFolded, nullptr);
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close_v2(m_db);
}

void SqliteConnection::fail(int code) const
{
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    throw DataError(code, QStringLiteral("%1 (%2)").arg(message, m_description));
}

SqliteConnection::StatementHandle SqliteConnection::prepare(const QString &sql, const QStringList &parameters)
{
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    if (const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &statement, &tail); rc != SQLITE_OK)
        fail(rc);
    StatementHandle guard(statement, sqlite3_finalize);
    if (!statement)
        throw DataError(SQLITE_MISUSE, QCoreApplication::translate("realm::SqliteConnection", "语句为空。"));
    if (!QByteArray(tail).trimmed().isEmpty())
        throw DataError(SQLITE_MISUSE, QCoreApplication::translate("realm::SqliteConnection", "一次只能运行一条语句。"));
    if (sqlite3_bind_parameter_count(statement) != parameters.size())
        throw DataError(SQLITE_RANGE, QCoreApplication::translate("realm::SqliteConnection", "语句需要 %1 个参数，给出了 %2 个。").arg(sqlite3_bind_parameter_count(statement)).arg(parameters.size()));
    // As UTF-8: SQLite drops a leading U+FEFF of UTF-16 text as a byte order
    // mark, and a typed name may be nothing else.
    for (int i = 0; i < parameters.size(); ++i) {
        const QByteArray parameter = parameters[i].toUtf8();
        sqlite3_bind_text(statement, i + 1, parameter.constData(), int(parameter.size()), SQLITE_TRANSIENT);
    }
    return guard;
}

void SqliteConnection::run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop)
{
    const StatementHandle statement = prepare(sql, parameters);
    RowBatcher batcher(columnNames(statement.get()), rows, stop);
    const int columns = sqlite3_column_count(statement.get());
    int rc;
    {
        const InterruptScope interruptible(stop, [db = m_db] { sqlite3_interrupt(db); });
        while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
            for (int column = 0; column < columns; ++column)
                appendCell(batcher.batch(), statement.get(), column);
            batcher.rowDone();
        }
    }
    stop.throwIfRaised();
    if (rc != SQLITE_DONE)
        fail(rc);
    batcher.finish();
}

void SqliteConnection::execute(const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error);
        sqlite3_free(error);
        throw DataError(sqlite3_errcode(m_db), message);
    }
}

void SqliteConnection::makeReadOnly()
{
    execute(QStringLiteral("PRAGMA query_only = ON"));
}

} // namespace realm
