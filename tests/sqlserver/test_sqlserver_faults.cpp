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

// A server that logs in and then stalls, stops in the middle of a reply or
// answers with garbage: the query timeout ends the wait with an error that
// names the server, and the next search works again.
class TestSqlServerFaults : public QObject {
    Q_OBJECT

    static constexpr int TimeoutSeconds = 2;

    std::unique_ptr<realm::test::FixtureFolder> m_folder;
    std::unique_ptr<TdsServerProcess> m_server;

    realm::GameServerLogin login() const
    {
        return {m_server->serverAddress(), u"operator"_s, u"secret-word"_s, TimeoutSeconds};
    }

    static QString petSearch() { return u"select pet_id, nick_name from pet_data where nick_name like ?"_s; }

private slots:
    void initTestCase()
    {
        m_folder = std::make_unique<realm::test::FixtureFolder>();
        m_folder->writeStandard();
        TdsServerProcess::Options options;
        options.database = m_folder->file(u"realmdb.sqlite"_s);
        options.password = u"secret-word"_s;
        m_server = std::make_unique<TdsServerProcess>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
    }

    void faultyReplyEndsWithinTheTimeoutAndTheNextQueryWorks_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("isTimeout");
        QTest::newRow("stalled") << u"fault:stall"_s << true;
        QTest::newRow("cut in the middle") << u"fault:cut"_s << true;
        QTest::newRow("garbled") << u"fault:garble"_s << false;
    }
    void faultyReplyEndsWithinTheTimeoutAndTheNextQueryWorks()
    {
        QFETCH(QString, fault);
        QFETCH(bool, isTimeout);
        realm::OdbcConnection connection(login());
        QElapsedTimer clock;
        clock.start();
        try {
            connection.query(petSearch(), {fault});
            QFAIL("a faulty reply gave rows");
        } catch (const realm::DataError &error) {
            QVERIFY2(clock.elapsed() < (TimeoutSeconds + 1) * 1000, qPrintable(QString::number(clock.elapsed())));
            if (isTimeout) {
                QCOMPARE(error.number(), realm::ErrorNumber::QueryTimeout);
                QVERIFY2(error.text().contains(m_server->serverAddress()), qPrintable(error.text()));
            }
        }
        QCOMPARE(connection.query(petSearch(), {u"%小白%"_s})->rowCount(), 1);
    }

    void commandLineReportsTheTimeoutNamingTheServer()
    {
        m_folder->writeIni(realm::test::encodeGbk(
            realm::test::sqlServerIni(m_server->serverAddress(), u"operator"_s, u"secret-word"_s)
            + u"querytimeout=%1\n"_s.arg(TimeoutSeconds)));
        const realm::test::CliRun run = realm::test::runCli({u"--dir"_s, m_folder->path(), u"pet"_s, u"fault:stall"_s});
        QCOMPARE(run.exitCode, 1);
        const QString errors = QString::fromUtf8(run.err);
        QVERIFY2(errors.contains(m_server->serverAddress()) && errors.contains(u"查询超时"_s), qPrintable(errors));
    }
};

QTEST_MAIN(TestSqlServerFaults)
#include "test_sqlserver_faults.moc"
