#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "data/odbc/OdbcConnection.h"
#include "query/SearchChannel.h"

#include <QElapsedTimer>
#include <QTest>

using namespace realm;
using namespace Qt::StringLiterals;

// A search through the real FreeTDS driver on a server that hangs in the
// middle of its result: stopping it cancels the statement on the server,
// and the same connection serves the next search.
class TestSqlServerStop : public QObject {
    Q_OBJECT

    std::unique_ptr<test::FixtureFolder> m_folder;
    std::unique_ptr<test::TdsServerProcess> m_server;

private slots:
    void initTestCase()
    {
        m_folder = std::make_unique<test::FixtureFolder>();
        m_folder->writeGameDatabase(test::standardGameSql());
        test::TdsServerProcess::Options options;
        options.database = m_folder->file(u"realmdb.sqlite"_s);
        options.password = u"secret"_s;
        options.logPath = m_folder->file(u"server.log"_s);
        options.stallOn = u"user_item"_s;
        m_server = std::make_unique<test::TdsServerProcess>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
    }

    void stopCancelsAStalledStatement()
    {
        auto connection = std::make_shared<OdbcConnection>(GameServerLogin{m_server->serverAddress(), u"operator"_s, u"secret"_s});
        BackgroundRunner runner;
        SearchChannel channel(runner);
        std::optional<SearchOutcome> ended;
        connect(&channel, &SearchChannel::finished, this, [&](const SearchOutcome &outcome) { ended = outcome; });
        channel.start(connection, [connection](ListFeed &rows, StopFlag &stop) {
            connection->run(u"select * from user_item"_s, {}, rows, stop);
            return SearchOutcome{};
        });
        // Long enough for the statement to be sent and the server to stall.
        QTest::qWait(500);
        QVERIFY(!ended);
        QElapsedTimer clock;
        clock.start();
        channel.stop();
        QTRY_VERIFY_WITH_TIMEOUT(ended.has_value(), 1000);
        QVERIFY2(clock.elapsed() < 1000, "the stop took longer than a second");
        QCOMPARE(ended->status, SearchOutcome::Status::Stopped);

        const auto table = connection->query(u"select char_name from user_data where char_id=2"_s, {});
        QCOMPARE(table->rowCount(), 1);
        qsizetype logins = 0;
        for (const QJsonObject &request : m_server->requests())
            logins += request.value(u"kind"_s).toString() == u"login"_s;
        QCOMPARE(logins, 1);
    }
};

QTEST_MAIN(TestSqlServerStop)
#include "test_sqlserver_stop.moc"
