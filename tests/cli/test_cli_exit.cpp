#include "CliRun.h"
#include "Fixtures.h"

#include <QFile>

using namespace realm;

namespace {

QStringList arguments(const char *text)
{
    QStringList list;
    for (const QByteArray &part : QByteArray(text).split(' '))
        list << QString::fromUtf8(part);
    return list;
}

} // namespace

// Scripts tell success, a failed search and a command that asked for nothing
// apart by the exit status; a failure must not leave half a table behind.
class TestCliExit : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;

    test::CliRun runOn(const QString &folder, const QStringList &command)
    {
        return test::runCli(QStringList{QStringLiteral("--dir"), folder} + command);
    }

private slots:
    void initTestCase() { m_folder.writeStandard(); }

    void searchesThatRanExitZero_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<int>("rows");
        QTest::newRow("equip") << arguments("equip --name 李逍遥") << 3;
        QTest::newRow("equip, no rows") << arguments("equip --name nobody") << 0;
        QTest::newRow("pet") << arguments("pet 小白") << 1;
        QTest::newRow("item") << arguments("item --id 57") << 2;
        QTest::newRow("account") << arguments("account 赵灵儿") << 3;
        QTest::newRow("account, no such character") << arguments("account nobody") << 0;
    }

    void searchesThatRanExitZero()
    {
        QFETCH(QStringList, command);
        QFETCH(int, rows);
        const test::CliRun run = runOn(m_folder.path(), command);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.count('\n'), rows + 1);
        QCOMPARE(run.err.contains("nobody"), command.first() == u"account" && rows == 0);
    }

    void operatorsStartAtEquals()
    {
        const test::CliRun implied = runOn(m_folder.path(), arguments("equip --amount 1"));
        QCOMPARE(implied.exitCode, 0);
        QCOMPARE(implied.out, runOn(m_folder.path(), arguments("equip --amount 1 --amount-op =")).out);
        QVERIFY(implied.out != runOn(m_folder.path(), {QStringLiteral("equip"), QStringLiteral("--amount"), QStringLiteral("1"), QStringLiteral("--amount-op"), {}}).out);
    }

    void readsTheFolderOfTheProgram()
    {
        const QString copy = m_folder.file(QStringLiteral("realmquery-cli"));
        QVERIFY(QFile::copy(QStringLiteral(REALMQUERY_CLI_PATH), copy));
        const test::CliRun run = test::runCli(arguments("account O'Brien"), copy);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("char_name\taccount_name\nO'Brien\tacct2\n"));
    }

    void eachCommandOpensOnlyWhatItNeeds()
    {
        test::FixtureFolder gameOnly;
        gameOnly.writeGameDatabase(test::standardGameSql());
        gameOnly.writeSqliteIni();
        QCOMPARE(runOn(gameOnly.path(), arguments("account 赵灵儿")).exitCode, 0);
        test::FixtureFolder itemsOnly;
        itemsOnly.writeItems(test::standardItems());
        QCOMPARE(runOn(itemsOnly.path(), arguments("item --id 1")).exitCode, 0);
    }

    void failuresExitOneWithNothingOnStdout_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QByteArray>("gameDatabase");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QByteArray>("message");
        const QByteArray broken = "this is not a database";
        QTest::newRow("no db.mdb, equip") << "db.mdb" << QByteArray() << arguments("equip") << QByteArray("db.mdb");
        QTest::newRow("no db.mdb, item") << "db.mdb" << QByteArray() << arguments("item --id 1") << QByteArray("db.mdb");
        QTest::newRow("broken game database, equip") << QString() << broken << arguments("equip") << QByteArray("错误");
        QTest::newRow("broken game database, pet") << QString() << broken << arguments("pet 小") << QByteArray("错误");
        QTest::newRow("broken game database, account")
            << QString() << broken << arguments("account 赵灵儿") << QByteArray("错误");
    }

    void failuresExitOneWithNothingOnStdout()
    {
        QFETCH(QString, missing);
        QFETCH(QByteArray, gameDatabase);
        QFETCH(QStringList, command);
        QFETCH(QByteArray, message);
        test::FixtureFolder folder;
        folder.writeStandard();
        if (!missing.isEmpty())
            QVERIFY(QFile::remove(folder.file(missing)));
        if (!gameDatabase.isEmpty()) {
            QFile file(folder.file(QStringLiteral("realmdb.sqlite")));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(gameDatabase.repeated(200));
        }
        for (const char *format : {"tsv", "json"}) {
            const test::CliRun run = runOn(folder.path(), QStringList{QStringLiteral("--format"), QString::fromLatin1(format)} + command);
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.contains(message), run.err.constData());
        }
    }

    void usageAndEmptySearchesExitTwo_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("no command") << QStringList();
        QTest::newRow("unknown command") << arguments("find x");
        QTest::newRow("unknown option") << arguments("equip --colour red");
        QTest::newRow("missing value") << arguments("equip --name");
        QTest::newRow("bad format") << arguments("--format xml equip");
        QTest::newRow("bad format after the command") << arguments("equip --format=yaml");
        QTest::newRow("pet without a name") << arguments("pet");
        QTest::newRow("two pet names") << arguments("pet a b");
        QTest::newRow("empty pet box") << QStringList{QStringLiteral("pet"), {}};
        QTest::newRow("both item boxes empty") << arguments("item");
        QTest::newRow("empty account box") << QStringList{QStringLiteral("account"), {}};
        QTest::newRow("bad operator") << arguments("equip --amount 1 --amount-op ==");
        QTest::newRow("number out of range") << arguments("equip --item-id 1e999");
        QTest::newRow("item id out of range") << arguments("item --id 1e999");
    }

    void usageAndEmptySearchesExitTwo()
    {
        QFETCH(QStringList, command);
        const test::CliRun run = runOn(m_folder.path(), command);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(!run.err.trimmed().isEmpty());
    }

    void helpAndVersionExitZero()
    {
        QVERIFY(test::runCli(arguments("--help")).out.contains("account"));
        const test::CliRun equipHelp = test::runCli(arguments("equip --help"));
        QCOMPARE(equipHelp.exitCode, 0);
        QVERIFY(equipHelp.out.contains("--enchant-op"));
        QVERIFY(test::runCli(arguments("--version")).out.startsWith("realmquery-cli 1."));
    }
};

QTEST_MAIN(TestCliExit)
#include "test_cli_exit.moc"
