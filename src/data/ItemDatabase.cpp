#include "data/ItemDatabase.h"

#include "data/DataError.h"

#include <mdbtools.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QFileInfo>

#include <vector>

namespace realm {

namespace {

const char *const ItemTable = "item";

struct MdbFile {
    MdbHandle *handle = nullptr;
    MdbTableDef *table = nullptr;
    ~MdbFile()
    {
        if (table)
            mdb_free_tabledef(table);
        if (handle)
            mdb_close(handle);
    }
};

[[noreturn]] void failOn(const QString &path, const QString &what)
{
    throw DataError(ErrorNumber::ItemDatabase, QCoreApplication::translate("realm::ItemDatabase", "无法读取物品数据库 %1：%2").arg(path, what));
}

bool isWholeNumberType(int type)
{
    return type == MDB_BOOL || type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT;
}

bool isRealNumberType(int type)
{
    return type == MDB_FLOAT || type == MDB_DOUBLE || type == MDB_NUMERIC || type == MDB_MONEY;
}

QString sqliteType(int mdbType)
{
    if (isWholeNumberType(mdbType))
        return QStringLiteral("INTEGER");
    if (isRealNumberType(mdbType))
        return QStringLiteral("REAL");
    return QStringLiteral("TEXT");
}

QString quotedName(const char *name)
{
    return u'"' + QString::fromUtf8(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

struct BoundColumn {
    int type;
    std::vector<char> buffer;
    int length = 0;
};

void openTable(MdbFile &file, const QString &path)
{
    if (!QFileInfo(path).isFile())
        failOn(path, QCoreApplication::translate("realm::ItemDatabase", "文件不存在"));
    file.handle = mdb_open(path.toLocal8Bit().constData(), MDB_NOFLAGS);
    if (!file.handle)
        failOn(path, QCoreApplication::translate("realm::ItemDatabase", "不是 Jet 数据库"));
    if (!mdb_read_catalog(file.handle, MDB_TABLE))
        failOn(path, QCoreApplication::translate("realm::ItemDatabase", "无法读取其目录"));
    file.table = mdb_read_table_by_name(file.handle, const_cast<gchar *>(ItemTable), MDB_TABLE);
    if (!file.table)
        failOn(path, QCoreApplication::translate("realm::ItemDatabase", "没有表“item”"));
    if (!mdb_read_columns(file.table))
        failOn(path, QCoreApplication::translate("realm::ItemDatabase", "无法读取表“item”的列"));
}

std::vector<BoundColumn> bindColumns(MdbTableDef *table)
{
    std::vector<BoundColumn> columns(table->num_cols);
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        columns[i].type = column->col_type;
        columns[i].buffer.assign(MDB_BIND_SIZE, '\0');
        mdb_bind_column(table, int(i + 1), columns[i].buffer.data(), &columns[i].length);
    }
    return columns;
}

QString createStatement(MdbTableDef *table)
{
    QStringList definitions;
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        definitions << quotedName(column->name) + u' ' + sqliteType(column->col_type);
    }
    return QStringLiteral("CREATE TABLE item (%1)").arg(definitions.join(u", "));
}

// libmdb hands every value over as UTF-8 text, and both Null and the empty
// text as an empty one; the row's null mask tells them apart.
std::vector<MdbField> crackCurrentRow(MdbTableDef *table)
{
    std::vector<MdbField> fields(table->num_cols);
    int start = 0;
    size_t size = 0;
    mdb_find_row(table->entry->mdb, int(table->cur_row) - 1, &start, &size);
    mdb_crack_row(table, start, size, fields.data());
    return fields;
}

void bindValue(sqlite3_stmt *insert, int index, const BoundColumn &column, bool isNull)
{
    if (isNull) {
        sqlite3_bind_null(insert, index);
    } else if (isWholeNumberType(column.type)) {
        sqlite3_bind_int64(insert, index, std::strtoll(column.buffer.data(), nullptr, 10));
    } else if (isRealNumberType(column.type)) {
        sqlite3_bind_double(insert, index, std::strtod(column.buffer.data(), nullptr));
    } else {
        sqlite3_bind_text(insert, index, column.buffer.data(), column.length, SQLITE_TRANSIENT);
    }
}

void copyRows(MdbTableDef *table, SqliteConnection &mirror)
{
    std::vector<BoundColumn> columns = bindColumns(table);
    QString placeholders = QStringLiteral("?");
    for (unsigned int i = 1; i < table->num_cols; ++i)
        placeholders += QStringLiteral(",?");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(mirror.handle(), QStringLiteral("INSERT INTO item VALUES (%1)").arg(placeholders).toUtf8().constData(),
                       -1, &insert, nullptr);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(insert, sqlite3_finalize);
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        const std::vector<MdbField> fields = crackCurrentRow(table);
        for (std::size_t i = 0; i < columns.size(); ++i)
            bindValue(insert, int(i + 1), columns[i], fields[i].is_null != 0);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
}

} // namespace

std::unique_ptr<SqliteConnection> openItemDatabase(const QString &mdbPath)
{
    MdbFile file;
    openTable(file, mdbPath);
    auto mirror = SqliteConnection::openMemory(mdbPath);
    mirror->execute(createStatement(file.table));
    mirror->execute(QStringLiteral("BEGIN"));
    copyRows(file.table, *mirror);
    mirror->execute(QStringLiteral("COMMIT"));
    mirror->makeReadOnly();
    return mirror;
}

} // namespace realm
