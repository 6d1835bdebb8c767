#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "data/odbc/OdbcConnection.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;
using realm::test::FixtureFolder;
using realm::test::SqlServerFixture;
using realm::test::TdsServerProcess;

// Start-up against the SQL Server path through the real unixODBC and FreeTDS
// driver: the login and password from db.ini reach the server intact, and a
// refused or unreachable server ends the program with the driver's text.
class TestSqlServerStartup : public QObject {
    Q_OBJECT

    struct Run {
        bool finished;
        int exitCode;
        QString errors;
    };

    static void startProgram(QProcess &program, const QString &folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(REALMQUERY_PATH), {u"--dir"_s, folder});
    }

    static Run runProgram(const QString &folder, int timeoutMs = 60000)
    {
        QProcess program;
        startProgram(program, folder);
        const bool finished = program.waitForFinished(timeoutMs);
        if (!finished) {
            program.kill();
            program.waitForFinished();
        }
        return {finished, program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
    }

    static int successfulLogins(const TdsServerProcess &server)
    {
        int count = 0;
        for (const QJsonObject &entry : server.requests())
            count += entry.value(u"kind").toString() == u"login" && entry.value(u"ok").toBool();
        return count;
    }

private slots:
    void settingsReachTheServer_data()
    {
        QTest::addColumn<bool>("gbk");
        QTest::addColumn<QString>("password");
        QTest::newRow("UTF-8 ini") << false << u"secret-word"_s;
        QTest::newRow("GBK ini") << true << u"secret-word"_s;
        QTest::newRow("semicolon and brace") << false << u"p;w}d"_s;
        QTest::newRow("keyword in the password") << true << u"x;UID=sa;PWD=y"_s;
        QTest::newRow("ends with a brace") << false << u"secret}"_s;
        QTest::newRow("starts with a brace") << false << u"{secret"_s;
        QTest::newRow("Chinese password") << true << u"密码;}"_s;
    }

    void settingsReachTheServer()
    {
        QFETCH(bool, gbk);
        QFETCH(QString, password);
        SqlServerFixture fixture(password);
        QString error;
        QVERIFY2(fixture.start(gbk ? SqlServerFixture::IniEncoding::Gbk : SqlServerFixture::IniEncoding::Utf8, &error),
                 qPrintable(error));
        const QString folder = fixture.folder.path();

        const realm::Settings settings = realm::readSettings(folder);
        QVERIFY(settings.gameDatabaseFile.isEmpty());
        try {
            const auto connection = realm::openGameConnection(settings, folder);
            const auto table = connection->query(u"select char_name from user_data where char_id=2"_s, {});
            QCOMPARE(table->rowCount(), 1);
            QCOMPARE(table->displayText(0, 0), u"赵灵儿"_s);
        } catch (const realm::DataError &failure) {
            QFAIL(qPrintable(failure.text()));
        }
    }

    // The whole program with a GBK db.ini: it logs in and keeps running.
    void programStartsWithAnOddPassword()
    {
        SqlServerFixture fixture(u"p;w}d"_s);
        QString error;
        QVERIFY2(fixture.start(SqlServerFixture::IniEncoding::Gbk, &error), qPrintable(error));
        const TdsServerProcess &server = fixture.server;

        QProcess program;
        startProgram(program, fixture.folder.path());
        QTRY_VERIFY_WITH_TIMEOUT(successfulLogins(server) == 1 || program.state() == QProcess::NotRunning, 60000);
        QVERIFY2(!program.waitForFinished(1500), program.readAllStandardError().constData());
        program.kill();
        program.waitForFinished();
        QCOMPARE(successfulLogins(server), 1);
    }

    void wrongPasswordEndsStartUpWithTheServersMessage()
    {
        SqlServerFixture fixture(u"p;w}d"_s);
        QString error;
        QVERIFY2(fixture.start(SqlServerFixture::IniEncoding::Utf8, &error), qPrintable(error));
        const TdsServerProcess &server = fixture.server;
        fixture.folder.writeIni(realm::test::sqlServerIni(server.serverAddress(), u"operator"_s, u"not-the-word"_s).toUtf8());

        const Run run = runProgram(fixture.folder.path());
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(u"Login failed for user 'operator'"_s), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(server.serverAddress()), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(u"18456"_s), qPrintable(run.errors));
        QVERIFY2(!run.errors.contains(u"not-the-word"_s), qPrintable(run.errors));
        QCOMPARE(successfulLogins(server), 0);
    }

    // A refusal longer than the driver manager's message buffer makes it
    // loop without end inside the login: the login is given up at the
    // program's own deadline, and later logins in the same process work.
    void overlongRefusalIsGivenUpAtTheDeadline()
    {
        FixtureFolder folder;
        folder.writeStandard();
        TdsServerProcess::Options options = realm::test::standardServerOptions(folder, u"secret-word"_s);
        TdsServerProcess healthy(options);
        options.arguments = {u"--login-error-length"_s, u"600"_s};
        TdsServerProcess refusing(options);
        QString error;
        QVERIFY2(healthy.start(&error) && refusing.start(&error), qPrintable(error));

        QElapsedTimer timer;
        timer.start();
        try {
            realm::OdbcConnection connection({refusing.serverAddress(), u"operator"_s, u"secret-word"_s});
            QFAIL("an overlong refusal connected");
        } catch (const realm::DataError &failure) {
            QVERIFY2(timer.elapsed() < 12000, qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(failure.number(), realm::ErrorNumber::LoginUnfinished);
            QVERIFY2(failure.text().contains(refusing.serverAddress()), qPrintable(failure.text()));
        }
        realm::OdbcConnection connection({healthy.serverAddress(), u"operator"_s, u"secret-word"_s});
        QCOMPARE(connection.query(u"select char_name from user_data"_s, {})->rowCount(), 8);
    }

    // A port nobody listens on, and one whose listener never answers, so the
    // login timeout has to end the wait.
    void unreachableServerFailsWithinTheLoginTimeout_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("closed port") << false;
        QTest::newRow("silent listener") << true;
    }

    void unreachableServerFailsWithinTheLoginTimeout()
    {
        QFETCH(bool, listening);
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        const quint16 port = silent.serverPort();
        if (!listening)
            silent.close();
        FixtureFolder folder;
        folder.writeItems(realm::test::standardItems());
        folder.writeGameDatabase(realm::test::standardGameSql());
        folder.writeIni(realm::test::sqlServerIni(u"127.0.0.1,%1"_s.arg(port), u"operator"_s, u"secret-word"_s).toUtf8());

        QElapsedTimer timer;
        timer.start();
        const Run run = runProgram(folder.path());
        QVERIFY(run.finished);
        QVERIFY2(timer.elapsed() < 20000, "the login timeout did not apply");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(u"Unable to connect"_s), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(u"127.0.0.1,%1"_s.arg(port)), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(u"operator"_s), qPrintable(run.errors));
        QVERIFY2(!run.errors.contains(u"secret-word"_s), qPrintable(run.errors));
    }
};

QTEST_GUILESS_MAIN(TestSqlServerStartup)
#include "test_sqlserver_startup.moc"
