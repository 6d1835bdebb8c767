#include "../cli/CliRun.h"
#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "data/DataError.h"
#include "data/odbc/OdbcConnection.h"

#include <QElapsedTimer>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using realm::test::TdsServerProcess;

// The address forms of "serverip" through the real driver: a host alone on
// the default port, an instance found through the SQL Server Browser, and
// the errors for a silent browser, a wrong form and an unreachable host.
// Each server listens on a loopback address of its own, so that nothing
// else on the machine holds its port.
class TestSqlServerAddress : public QObject {
    Q_OBJECT

    static constexpr int LoginTimeoutMs = 5000;

    std::unique_ptr<realm::test::FixtureFolder> m_folder;
    std::unique_ptr<TdsServerProcess> m_defaultPort;
    std::unique_ptr<TdsServerProcess> m_namedInstance;

    // A server on `host`; null (with the reason in `error`) when it did not come up.
    std::unique_ptr<TdsServerProcess> startServer(const QString &host, quint16 port, const QStringList &arguments,
                                                  QString *error)
    {
        TdsServerProcess::Options options = realm::test::standardServerOptions(*m_folder, u"secret-word"_s);
        options.host = host;
        options.port = port;
        options.logPath = m_folder->file(u"server-%1.log"_s.arg(host));
        options.arguments = arguments;
        auto server = std::make_unique<TdsServerProcess>(options);
        return server->start(error) ? std::move(server) : nullptr;
    }

    static int petRows(const QString &server)
    {
        realm::OdbcConnection connection({server, u"operator"_s, u"secret-word"_s});
        return connection.query(u"select pet_id from pet_data where nick_name like ?"_s, {u"%小白%"_s})->rowCount();
    }

    void writeIni(const QString &server)
    {
        m_folder->writeIni(realm::test::sqlServerIni(server, u"operator"_s, u"secret-word"_s).toUtf8());
    }

private slots:
    void initTestCase()
    {
        m_folder = std::make_unique<realm::test::FixtureFolder>();
        m_folder->writeStandard();
        QString error;
        m_defaultPort = startServer(u"127.0.0.5"_s, realm::DefaultSqlServerPort, {}, &error);
        QVERIFY2(m_defaultPort, qPrintable(error));
        m_namedInstance = startServer(u"127.0.0.6"_s, 0, {u"--browser-instance"_s, u"REALM"_s}, &error);
        QVERIFY2(m_namedInstance, qPrintable(error));
    }

    void everyFormReachesItsServer_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("host alone") << u"127.0.0.5"_s;
        QTest::newRow("tcp: and host") << u"tcp:127.0.0.5"_s;
        QTest::newRow("host,port") << u"127.0.0.5,1433"_s;
        QTest::newRow("host\\instance") << u"127.0.0.6\\REALM"_s;
        QTest::newRow("instance in other case") << u"127.0.0.6\\realm"_s;
        QTest::newRow("instance with its port") << u"127.0.0.6\\NOTASKED,%1"_s.arg(m_namedInstance->port());
    }
    void everyFormReachesItsServer()
    {
        QFETCH(QString, server);
        QCOMPARE(petRows(server), 1);
    }

    void thisMachineIsTheDefaultPortOfLoopback()
    {
        const auto local = startServer(u"127.0.0.1"_s, realm::DefaultSqlServerPort, {}, nullptr);
        if (!local)
            QSKIP("port 1433 of 127.0.0.1 is taken on this machine");
        QCOMPARE(petRows(u"(local)"_s), 1);
        QCOMPARE(petRows(u"."_s), 1);
    }

    void commandLineSearchesAServerNamedByItsHostAlone()
    {
        writeIni(u"127.0.0.5"_s);
        const realm::test::CliRun run = realm::test::runCli({u"--dir"_s, m_folder->path(), u"equip"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(!run.out.isEmpty(), run.err.constData());
    }

    // An instance the browser does not know goes unanswered; a host with no
    // browser at all refuses the datagram. Either way the login timeout is
    // not stretched and the error says what was asked of whom.
    void unansweredInstanceIsReportedWithinTheLoginTimeout_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("instance");
        QTest::newRow("unknown instance") << u"127.0.0.6"_s << u"OTHER"_s;
        QTest::newRow("no browser") << u"127.0.0.7"_s << u"REALM"_s;
    }
    void unansweredInstanceIsReportedWithinTheLoginTimeout()
    {
        QFETCH(QString, host);
        QFETCH(QString, instance);
        QElapsedTimer clock;
        clock.start();
        try {
            petRows(host + u'\\' + instance);
            QFAIL("an unanswered instance connected");
        } catch (const realm::DataError &error) {
            QVERIFY2(clock.elapsed() < LoginTimeoutMs + 1000, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(error.number(), realm::ErrorNumber::ServerUnreachable);
            QVERIFY2(error.text().contains(u"SQL Server Browser"_s) && error.text().contains(host)
                         && error.text().contains(instance),
                     qPrintable(error.text()));
        }
    }

    void unreachableHostNamesTheHostAndPortTried()
    {
        try {
            petRows(u"127.0.0.8"_s);
            QFAIL("a host with no server connected");
        } catch (const realm::DataError &error) {
            QVERIFY2(error.text().contains(u"127.0.0.8"_s) && error.text().contains(u"1433"_s), qPrintable(error.text()));
        }
    }

    void wrongFormEndsStartUpBeforeAnyLogin_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("colon before the port") << u"127.0.0.5:1433"_s;
        QTest::newRow("port not a number") << u"127.0.0.5,14x3"_s;
        QTest::newRow("port out of range") << u"127.0.0.5,70000"_s;
        QTest::newRow("empty instance") << u"127.0.0.5\\"_s;
        QTest::newRow("no host") << u",1433"_s;
    }
    void wrongFormEndsStartUpBeforeAnyLogin()
    {
        QFETCH(QString, server);
        writeIni(server);
        const qsizetype logged = m_defaultPort->requests().size();
        const realm::test::CliRun run = realm::test::runCli({u"--dir"_s, m_folder->path(), u"equip"_s});
        QCOMPARE(run.exitCode, 1);
        const QString errors = QString::fromUtf8(run.err);
        QVERIFY2(errors.contains(u"db.ini"_s) && errors.contains(u"serverip"_s) && errors.contains(u"\\"_s)
                     && errors.contains(server),
                 qPrintable(errors));
        QVERIFY(logged > 0);
        QCOMPARE(m_defaultPort->requests().size(), logged);
    }
};

QTEST_GUILESS_MAIN(TestSqlServerAddress)
#include "test_sqlserver_address.moc"
