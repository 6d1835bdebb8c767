#include "Fixtures.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sqlite3.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace realm::test {

FixtureFolder::FixtureFolder()
{
    QVERIFY2(m_dir.isValid(), "cannot make a temporary folder");
    // The windows remember their geometry in the user's configuration
    // folder: each test starts without any, and leaves the user's alone.
    // Windows asks its own folder list, not the environment: Qt's test
    // mode gives the tests folders of their own there.
#ifdef Q_OS_WIN
    QStandardPaths::setTestModeEnabled(true);
#else
    static const QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
#endif
}

#ifdef Q_OS_WIN
// Windows has neither FIFOs nor device files among its files.
bool makeSpecialFile(SpecialFile, const QString &)
{
    return false;
}

bool isSpecialFile(SpecialFile, const QString &)
{
    return false;
}
#else

bool makeSpecialFile(SpecialFile kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == SpecialFile::Fifo)
        return ::mkfifo(name.constData(), 0600) == 0;
    return ::geteuid() == 0 && ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

bool isSpecialFile(SpecialFile kind, const QString &path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    return kind == SpecialFile::Fifo ? S_ISFIFO(status.st_mode) : S_ISCHR(status.st_mode);
}
#endif

int runJet4Writer(const QString &tsv, const QString &outputPath, QString *error)
{
    QProcess writer;
    writer.start(QStringLiteral(JET4WRITER_PATH), {QStringLiteral("-"), outputPath});
    writer.write(tsv.toUtf8());
    writer.closeWriteChannel();
    writer.waitForFinished(60000);
    if (error)
        *error = QString::fromUtf8(writer.readAllStandardError());
    return writer.exitStatus() == QProcess::NormalExit ? writer.exitCode() : -1;
}

void FixtureFolder::writeItems(const QString &rows)
{
    QString error;
    const int code = runJet4Writer(QStringLiteral("id\tC\tE\n") + rows, file(QStringLiteral("db.mdb")), &error);
    QVERIFY2(code == 0, qPrintable(error));
}

void FixtureFolder::writeGameDatabase(const QString &sql)
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(file(QStringLiteral("realmdb.sqlite")).toUtf8().constData(), &db), SQLITE_OK);
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString error = QString::fromUtf8(message);
    sqlite3_free(message);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(error));
}

void FixtureFolder::writeIni(const QByteArray &content)
{
    QFile ini(file(QStringLiteral("db.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(content);
}

void FixtureFolder::writeSqliteIni()
{
    writeIni(QStringLiteral("[基础设置]\nserverip=\nuserid=\npassword=\ngamedb=realmdb.sqlite\n").toUtf8());
}

void FixtureFolder::writeGenerated(int rows, const QStringList &options)
{
    QProcess generator;
    generator.start(QStringLiteral(GAMEDATA_PATH),
                    QStringList{QStringLiteral("--rows"), QString::number(rows), QStringLiteral("--items"), QStringLiteral("2000"),
                                QStringLiteral("--game"), file(QStringLiteral("realmdb.sqlite")), QStringLiteral("--items-tsv"),
                                file(QStringLiteral("items.tsv"))}
                        + options);
    QVERIFY(generator.waitForFinished(120000) && generator.exitCode() == 0);
    QString error;
    QFile items(file(QStringLiteral("items.tsv")));
    QVERIFY(items.open(QIODevice::ReadOnly));
    QVERIFY2(runJet4Writer(QString::fromUtf8(items.readAll()), file(QStringLiteral("db.mdb")), &error) == 0,
             qPrintable(error));
    writeSqliteIni();
}

void FixtureFolder::writeStandard()
{
    writeItems(standardItems());
    writeGameDatabase(standardGameSql());
    writeSqliteIni();
}

QString standardItems()
{
    return QStringLiteral("1\t金币\tGold Coin\n"
                          "57\t青铜长剑\tBronze Sword\n"
                          "58\t白银长剑\tSilver Sword\n"
                          "57\t重复的剑\tDuplicate Sword\n"
                          "60\tsword of light\tSword of Light\n"
                          "61\tSWORD OF NIGHT\tSword of Night\n"
                          "7\t狼宠召唤石\tWolf Stone\n"
                          "-5\t负数物品\tNegative\n");
}

QString standardGameSql()
{
    return QStringLiteral(
        "CREATE TABLE user_data (char_id INTEGER, char_name TEXT COLLATE NOCASE, account_name TEXT COLLATE NOCASE);"
        "CREATE TABLE user_item (item_id INTEGER, char_id INTEGER, item_type INTEGER, amount INTEGER, enchant INTEGER);"
        "CREATE TABLE pet_data (pet_id INTEGER, nick_name TEXT);"
        "INSERT INTO user_data VALUES (1,'李逍遥','acct1'),(2,'赵灵儿','acct1'),(3,'林月如','acct1'),"
        "  (4,'O''Brien','acct2'),(5,'100%纯','acct3'),(6,'a_b','acct3'),(7,'axb','acct4'),(8,'李逍遥','acct5');"
        "INSERT INTO user_item VALUES (101,1,57,1,12),(102,1,58,5,0),(103,2,57,3,NULL),(104,3,999,10,2),"
        "  (105,4,60,2,7),(106,5,58,1,1),(107,6,1,500,0),(108,7,1,20,0),(109,1,7,1,0),(110,2,7,1,0),(111,3,7,1,0);"
        "INSERT INTO pet_data VALUES (109,'小白'),(110,'Shadow'),(111,NULL);");
}

QStringList readXlsx(const QString &path, bool layout)
{
    QProcess reader;
    QStringList arguments = {QStringLiteral(XLSX_CELLS_PATH), path};
    if (layout)
        arguments.insert(1, QStringLiteral("--layout"));
    reader.start(QStringLiteral(OPENPYXL_PYTHON), arguments);
    if (!reader.waitForFinished(600000) || reader.exitCode() != 0)
        return {QString::fromUtf8(reader.readAllStandardError())};
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace realm::test
