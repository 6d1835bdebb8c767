#include "Fixtures.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

// The start-up's fatal paths, run on the real program: the run-time error
// report names what failed and the program ends with a non-zero status.
class TestStartup : public QObject {
    Q_OBJECT

    struct Run {
        int exitCode;
        QString errors;
    };

    static Run runProgram(const QString &folder, const QStringList &options = {})
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(REALMQUERY_PATH), QStringList{QStringLiteral("--dir"), folder} + options);
        if (!program.waitForFinished(30000)) {
            program.kill();
            program.waitForFinished();
            return {-1, QStringLiteral("still running")};
        }
        return {program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
    }

    static QByteArray iniFor(quint16 port, const QString &password = QStringLiteral("secret-word"))
    {
        return QStringLiteral("[基础设置]\nserverip=127.0.0.1,%1\nuserid=operator\npassword=%2\n")
            .arg(port)
            .arg(password)
            .toUtf8();
    }

private slots:
    void missingItemFileStopsBeforeTheGameDatabaseIsContacted()
    {
        QTcpServer gameServer;
        QVERIFY(gameServer.listen(QHostAddress::LocalHost));
        realm::test::FixtureFolder folder;
        folder.writeIni(iniFor(gameServer.serverPort()));

        const Run run = runProgram(folder.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(folder.file(QStringLiteral("db.mdb"))), qPrintable(run.errors));
        QVERIFY(!gameServer.waitForNewConnection(200));
    }

    void itemFileWithoutItemTableIsFatal()
    {
        realm::test::FixtureFolder folder;
        folder.writeStandard();
        QFile::remove(folder.file(QStringLiteral("db.mdb")));
        QFile::copy(folder.file(QStringLiteral("realmdb.sqlite")), folder.file(QStringLiteral("db.mdb")));
        const Run run = runProgram(folder.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(QStringLiteral("db.mdb")), qPrintable(run.errors));
    }

    void unreachableServerFailsWithinTheLoginTimeout()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        realm::test::FixtureFolder folder;
        folder.writeItems(realm::test::standardItems());
        folder.writeIni(iniFor(port));

        for (const char *language : {"zh", "en"}) {
            QElapsedTimer timer;
            timer.start();
            const Run run = runProgram(folder.path(), {QStringLiteral("--lang"), QString::fromLatin1(language)});
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(timer.elapsed() < 25000, "the login timeout did not apply");
            QVERIFY2(run.errors.contains(QStringLiteral("127.0.0.1,%1").arg(port)), qPrintable(run.errors));
            QVERIFY2(run.errors.contains(QStringLiteral("operator")), qPrintable(run.errors));
            QVERIFY2(!run.errors.contains(QStringLiteral("secret-word")), qPrintable(run.errors));
            // Where the server settings are kept, so the user can mend them.
            QVERIFY2(run.errors.contains(QStringLiteral("[基础设置]")), qPrintable(run.errors));
            QVERIFY2(run.errors.contains(folder.file(QStringLiteral("db.ini"))), qPrintable(run.errors));
        }
    }

    void unknownLanguageIsAUsageError()
    {
        realm::test::FixtureFolder folder;
        folder.writeStandard();
        const Run run = runProgram(folder.path(), {QStringLiteral("--lang"), QStringLiteral("xx")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.errors.contains(QStringLiteral("realmquery: ")) && run.errors.contains(QStringLiteral("xx")),
                 qPrintable(run.errors));
    }

    // Opening a FIFO waits for a writer that never comes.
    void fifoInPlaceOfAFileIsFatalByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("db.ini") << QStringLiteral("db.ini");
        QTest::newRow("db.mdb") << QStringLiteral("db.mdb");
    }
    void fifoInPlaceOfAFileIsFatalByName()
    {
        QFETCH(QString, name);
        realm::test::FixtureFolder folder;
        folder.writeStandard();
        QVERIFY(QFile::remove(folder.file(name)));
        QVERIFY(realm::test::makeSpecialFile(realm::test::SpecialFile::Fifo, folder.file(name)));
        const Run run = runProgram(folder.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(folder.file(name)), qPrintable(run.errors));
    }

    // As ssh does for its keys: said once, and the start goes on.
    void passwordOthersMayReadIsPointedOutOnce()
    {
        realm::test::FixtureFolder folder;
        folder.writeIni(iniFor(9));
        const QString path = folder.file(QStringLiteral("db.ini"));
        const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner;
        for (const auto &[permissions, notes] : {std::pair{owner | QFile::ReadOther, 1}, std::pair{owner, 0}}) {
            QVERIFY(QFile::setPermissions(path, permissions));
            const Run run = runProgram(folder.path());
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.errors.count(QStringLiteral("chmod 600 ") + path), notes);
            QVERIFY2(run.errors.contains(folder.file(QStringLiteral("db.mdb"))), qPrintable(run.errors));
        }
    }

    void missingGameDatabaseFileIsFatal()
    {
        realm::test::FixtureFolder folder;
        folder.writeItems(realm::test::standardItems());
        folder.writeSqliteIni();
        const Run run = runProgram(folder.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(folder.file(QStringLiteral("realmdb.sqlite"))), qPrintable(run.errors));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
