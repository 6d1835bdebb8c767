#include "CliRun.h"
#include "Fixtures.h"

#include <QDir>
#include <QFile>

using namespace realm;

// Odd things the program meets: game values no list can show as numbers, a
// game file in WAL mode in a folder it may not write, an item file it may
// not read, a full output device, boxes whose text is more than a number,
// a character without an account.
class TestCliOddInputs : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;

    test::CliRun run(const QStringList &command, const QString &folder = {})
    {
        return test::runCli(QStringList{QStringLiteral("--dir"), folder.isEmpty() ? m_folder.path() : folder} + command);
    }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void initTestCase()
    {
        m_folder.writeItems(test::standardItems());
        m_folder.writeGameDatabase(test::standardGameSql()
                                   + QStringLiteral("INSERT INTO user_data VALUES (20,'无号',NULL),(21,'巨',NULL);"
                                                    "INSERT INTO user_item VALUES (120,20,57,9e999,-9e999);"
                                                    "UPDATE user_data SET char_name=printf('%.*c',16777216,'x') WHERE char_id=21;"
                                                    "INSERT INTO user_item VALUES (121,21,58,1,1);"
                                                    "PRAGMA journal_mode=WAL;"));
        m_folder.writeSqliteIni();
    }

    void infinitiesAreShownAsText()
    {
        const test::CliRun result = run({QStringLiteral("equip"), QStringLiteral("--name"), QStringLiteral("无号")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains("\tinf\t+-inf"), result.out.constData());
    }

    void textTooLongForAResultIsADataError()
    {
        const test::CliRun result = run({QStringLiteral("equip"), QStringLiteral("--item-id"), QStringLiteral("58")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains("超过了结果能容纳的长度"), result.err.constData());
    }

    void walGameFileInReadOnlyFolderLeavesNothingBeside()
    {
        const QStringList before = entries(m_folder.path());
        QVERIFY(QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup));
        const test::CliRun result = run({QStringLiteral("pet"), QStringLiteral("小白")});
        QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.count('\n'), 2);
        QCOMPARE(entries(m_folder.path()), before);
    }

    void helpAndVersionToAFullDeviceFail_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        for (const QString &program : {QStringLiteral(REALMQUERY_CLI_PATH), QStringLiteral(REALMQUERY_PATH)}) {
            QTest::addRow("%s --help", qPrintable(QFileInfo(program).fileName())) << program << QStringLiteral("--help");
            QTest::addRow("%s --version", qPrintable(QFileInfo(program).fileName())) << program << QStringLiteral("--version");
        }
    }
    void helpAndVersionToAFullDeviceFail()
    {
        QFETCH(QString, program);
        QFETCH(QString, option);
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(program, {option});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("No space left on device"));
    }

    void numbersReadDifferentlyThanTypedAreNamed_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("note");
        QTest::newRow("thousands separator") << QStringList{QStringLiteral("equip"), QStringLiteral("--item-id"), QStringLiteral("57,000")}
                                             << QStringLiteral("装备ID“57,000”按 57 查询");
        QTest::newRow("letters") << QStringList{QStringLiteral("equip"), QStringLiteral("--amount"), QStringLiteral("abc")}
                                 << QStringLiteral("数量“abc”按 0 查询");
        QTest::newRow("full-width digits") << QStringList{QStringLiteral("item"), QStringLiteral("--id"), QStringLiteral("５７")} << QString();
        QTest::newRow("full-width sign and point") << QStringList{QStringLiteral("equip"), QStringLiteral("--amount"), QStringLiteral("－１．５")} << QString();
        QTest::newRow("full-width digits, then more") << QStringList{QStringLiteral("equip"), QStringLiteral("--item-id"), QStringLiteral("５７号")}
                                                      << QStringLiteral("装备ID“５７号”按 57 查询");
        QTest::newRow("plain number") << QStringList{QStringLiteral("equip"), QStringLiteral("--item-id"), QStringLiteral(" &H39 ")} << QString();
    }
    void numbersReadDifferentlyThanTypedAreNamed()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, note);
        const test::CliRun result = run(command);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.err).trimmed(), note);
    }

    void invisibleNameIsSearchedAsTyped()
    {
        for (const QString &command : {QStringLiteral("equip"), QStringLiteral("pet")}) {
            const QStringList arguments = command == u"equip" ? QStringList{command, QStringLiteral("--name"), QStringLiteral("\uFEFF")}
                                                              : QStringList{command, QStringLiteral("\uFEFF")};
            const test::CliRun result = run(arguments);
            QCOMPARE(result.exitCode, 0);
            QCOMPARE(result.out.count('\n'), 1);
        }
    }

    // Typed through the shell, which passes bytes that no QString holds.
    void cutOffCharacterIsAUsageErrorNamingTheOption_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("named");
        const QString cli = QStringLiteral(REALMQUERY_CLI_PATH);
        const QString cutOff = QStringLiteral("\"$(printf '\\346\\235')\"");
        QTest::newRow("name") << cli << QStringLiteral("--dir \"$1\" equip --name ") + cutOff << QStringLiteral("选项 --name");
        QTest::newRow("name=") << cli << QStringLiteral("--dir \"$1\" equip --name=") + cutOff << QStringLiteral("选项 --name");
        QTest::newRow("pet name") << cli << QStringLiteral("--dir \"$1\" pet 小") + cutOff << QStringLiteral("参数“小");
        QTest::newRow("folder") << cli << QStringLiteral("--dir \"$1\"") + cutOff + QStringLiteral(" equip") << QStringLiteral("选项 --dir");
        QTest::newRow("window's folder") << QStringLiteral(REALMQUERY_PATH) << QStringLiteral("--dir \"$1\"") + cutOff
                                         << QStringLiteral("选项 --dir");
    }
    void cutOffCharacterIsAUsageErrorNamingTheOption()
    {
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(QString, named);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const test::CliRun result = test::runCli({QStringLiteral("-c"), QStringLiteral("exec \"$0\" ") + arguments, program, m_folder.path()},
                                                 QStringLiteral("/bin/sh"), environment, 30000);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(QString::fromUtf8(result.err).contains(named), result.err.constData());
        QVERIFY(result.out.isEmpty());
    }

    void characterWithoutAccountIsListedAlone()
    {
        const test::CliRun result = run({QStringLiteral("account"), QStringLiteral("无号")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QByteArray("char_name\taccount_name\n无号\t\n"));
        QVERIFY2(result.err.contains("没有账号"), result.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliOddInputs)
#include "test_cli_odd_inputs.moc"
