#include "data/ItemDatabase.h"

#include "data/DataError.h"
#include "data/RegularFile.h"
#include "jet4/TableReader.h"

#include <sqlite3.h>

#include <QCoreApplication>

namespace realm {

namespace {

const char *const ItemTable = "item";

[[noreturn]] void failOn(const QString &path, const QString &what)
{
    throw DataError(ErrorNumber::ItemDatabase, QCoreApplication::translate("realm::ItemDatabase", "无法读取物品数据库 %1：%2").arg(path, what));
}

// The largest file a Jet 4 database may be: whatever is larger is no item
// file, and is never read into memory.
constexpr qint64 Jet4FileLimit = qint64(2) << 30;

QString describe(const FileProblem &problem)
{
    switch (problem.kind) {
    case FileProblem::Kind::Missing:
        return QCoreApplication::translate("realm::ItemDatabase", "文件不存在");
    case FileProblem::Kind::Folder:
        return QCoreApplication::translate("realm::ItemDatabase", "它是文件夹，不是文件");
    case FileProblem::Kind::NotRegular:
        return QCoreApplication::translate("realm::ItemDatabase", "它不是普通文件（而是管道、设备或套接字）");
    case FileProblem::Kind::TooLarge:
        return QCoreApplication::translate("realm::ItemDatabase", "它大于 Jet 4 数据库的上限 2 GB");
    case FileProblem::Kind::Unreadable:
        break;
    }
    return QCoreApplication::translate("realm::ItemDatabase", "无法读取文件（%1）").arg(problem.reason);
}

QByteArray readWholeFile(const QString &path)
{
    auto content = readRegularFile(path, Jet4FileLimit);
    if (const auto *problem = std::get_if<FileProblem>(&content))
        failOn(path, describe(*problem));
    return std::move(std::get<QByteArray>(content));
}

bool isWholeNumberType(std::uint8_t type)
{
    return type == jet4::stored::Bool || type == jet4::stored::Byte || type == jet4::stored::Integer || type == jet4::stored::Long;
}

QString sqliteType(std::uint8_t storedType)
{
    if (isWholeNumberType(storedType))
        return QStringLiteral("INTEGER");
    if (storedType == jet4::stored::Text)
        return QStringLiteral("TEXT");
    return QStringLiteral("REAL");
}

// Every code unit as stored: QString::fromUtf16 would take a leading U+FEFF
// for a byte order mark and drop it.
QString fromUtf16(const std::u16string &text)
{
    return QStringView(text).toString();
}

QString createStatement(const std::vector<jet4::StoredColumn> &columns)
{
    QStringList definitions;
    for (const jet4::StoredColumn &column : columns) {
        const QString name = fromUtf16(column.name).replace(u'"', QStringLiteral("\"\""));
        definitions << u'"' + name + QStringLiteral("\" ") + sqliteType(column.type);
    }
    return QStringLiteral("CREATE TABLE item (%1)").arg(definitions.join(u", "));
}

// As UTF-8: SQLite drops a leading U+FEFF of UTF-16 text as a byte order mark.
int bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

int bindValue(sqlite3_stmt *insert, int index, const jet4::StoredValue &value)
{
    if (const auto *whole = std::get_if<std::int64_t>(&value))
        return sqlite3_bind_int64(insert, index, *whole);
    if (const auto *real = std::get_if<double>(&value))
        return sqlite3_bind_double(insert, index, *real);
    if (const auto *text = std::get_if<std::u16string>(&value))
        return bindText(insert, index, fromUtf16(*text));
    return sqlite3_bind_null(insert, index);
}

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)>;

Statement prepareInsert(SqliteConnection &mirror, std::size_t columnCount)
{
    QString placeholders = QStringLiteral("?");
    for (std::size_t i = 1; i < columnCount; ++i)
        placeholders += QStringLiteral(",?");
    sqlite3_stmt *insert = nullptr;
    const QByteArray sql = QStringLiteral("INSERT INTO item VALUES (%1)").arg(placeholders).toUtf8();
    if (sqlite3_prepare_v2(mirror.handle(), sql.constData(), -1, &insert, nullptr) != SQLITE_OK)
        throw DataError(sqlite3_errcode(mirror.handle()), QString::fromUtf8(sqlite3_errmsg(mirror.handle())));
    return Statement(insert, sqlite3_finalize);
}

void copyRows(const jet4::TableReader &table, SqliteConnection &mirror)
{
    const Statement insert = prepareInsert(mirror, table.columns().size());
    // A row the mirror did not take would be an item silently missing.
    const auto check = [&mirror](int code, int success) {
        if (code != success)
            mirror.fail(code);
    };
    table.forEachRow([&](std::span<const jet4::StoredValue> values) {
        for (std::size_t i = 0; i < values.size(); ++i)
            check(bindValue(insert.get(), int(i + 1), values[i]), SQLITE_OK);
        check(sqlite3_step(insert.get()), SQLITE_DONE);
        check(sqlite3_reset(insert.get()), SQLITE_OK);
    });
}

// The searches name these columns; a file without them fails here, at start.
void requireSearchedColumns(const std::vector<jet4::StoredColumn> &columns, const QString &mdbPath)
{
    for (const QString &wanted : {QStringLiteral("id"), QStringLiteral("C"), QStringLiteral("E")}) {
        const bool present = std::ranges::any_of(columns, [&wanted](const jet4::StoredColumn &column) {
            return fromUtf16(column.name).compare(wanted, Qt::CaseInsensitive) == 0;
        });
        if (!present)
            failOn(mdbPath, QCoreApplication::translate("realm::ItemDatabase", "表“item”没有“%1”列").arg(wanted));
    }
}

std::unique_ptr<SqliteConnection> mirrorTable(const jet4::TableReader &table, const QString &mdbPath)
{
    requireSearchedColumns(table.columns(), mdbPath);
    auto mirror = SqliteConnection::openMemory(mdbPath);
    mirror->execute(createStatement(table.columns()));
    mirror->execute(QStringLiteral("BEGIN"));
    copyRows(table, *mirror);
    mirror->execute(QStringLiteral("COMMIT"));
    mirror->makeReadOnly();
    return mirror;
}

} // namespace

std::unique_ptr<SqliteConnection> openItemDatabase(const QString &mdbPath)
{
    const QByteArray bytes = readWholeFile(mdbPath);
    const std::span<const std::uint8_t> file(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    try {
        const jet4::TableReader table(file, ItemTable);
        return mirrorTable(table, mdbPath);
    } catch (const jet4::NotJet4File &) {
        failOn(mdbPath, QCoreApplication::translate("realm::ItemDatabase", "不是 Jet 4 数据库"));
    } catch (const jet4::MissingTable &) {
        failOn(mdbPath, QCoreApplication::translate("realm::ItemDatabase", "没有“item”表"));
    } catch (const jet4::DamagedFile &error) {
        failOn(mdbPath, QCoreApplication::translate("realm::ItemDatabase", "文件已损坏：%1").arg(QString::fromUtf8(error.what())));
    }
}

} // namespace realm
