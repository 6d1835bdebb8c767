#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "data/DataError.h"
#include "data/SqliteConnection.h"
#include "data/odbc/OdbcConnection.h"

#include <QElapsedTimer>
#include <QTest>

#include <limits>
#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using realm::ResultTable;

namespace {

// `numbered` holds 10,000 rows, more than a batch or a row array takes,
// with Nulls and empty texts now and then; the test computes each row.
const QString ContractData = uR"(
    insert into user_data values (9, 'Arthur', 'Acct9'), (10, 'Élise', 'Acct10');
    create table numbered(seq integer, name text, weight real);
    with recursive n(i) as (select 1 union all select i + 1 from n where i < 10000)
    insert into numbered select i, case when i % 7 = 0 then null when i % 13 = 0 then '' else '名' || i end,
                                case when i % 5 = 0 then null else i * 0.25 end from n;
    create table long_texts(id integer, body text);
    insert into long_texts values
        (1, substr(replace(hex(zeroblob(5000)), '00', 'a'), 1, 5000)),
        (2, substr(replace(hex(zeroblob(254)), '00', 'x'), 1, 254) || char(131072)
            || substr(replace(hex(zeroblob(5000)), '00', '长'), 1, 5000)),
        (3, substr(replace(hex(zeroblob(255)), '00', 'z'), 1, 255)), (4, ''), (5, null);
    create table numbers(n integer, r real, decimal_whole text, decimal_part text);
    insert into numbers values
        (9223372036854775807, -1.5, '99999999999999999999999999999999999999', '-12345678901234567.125'),
        (-9223372036854775807 - 1, 1e300, '-1', '0.500'), (-42, 0.1, null, null);
)"_s;

// Runs until stopped: the test server sends its first rows and then hangs.
const QString EndlessSql = u"with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000000) "
                           "select i as endless from n"_s;

// Takes its time over every batch, so a connection must hold back (or the
// server wait) while it is busy.
class SlowReceiver : public realm::BatchReceiver {
public:
    void receive(std::shared_ptr<const ResultTable>) override
    {
        std::this_thread::sleep_for(20ms);
        ++batches;
    }
    int batches = 0;
};

} // namespace

// What every connection promises, run once against each engine on the same
// data: the embedded game file, and the same file served through the real
// ODBC driver by the TDS test server (Latin-1, so text only matches when
// sent as Unicode). Both compare names as the game server's
// case-insensitive collation does.
class ConnectionContract : public QObject {
    Q_OBJECT

protected:
    enum class Engine { Sqlite,
                        Server };
    explicit ConnectionContract(Engine engine)
        : m_engine(engine) { }

    Engine m_engine;
    realm::test::FixtureFolder m_folder;
    std::unique_ptr<realm::test::TdsServerProcess> m_server;
    std::unique_ptr<realm::Connection> m_connection;

    QStringList names(const QString &sql, const QStringList &parameters) const
    {
        const auto table = m_connection->query(sql, parameters);
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            texts << table->displayText(row, 0);
        texts.sort();
        return texts;
    }

private slots:
    void initTestCase()
    {
        m_folder.writeGameDatabase(realm::test::standardGameSql() + ContractData);
        if (m_engine == Engine::Sqlite) {
            m_connection = realm::SqliteConnection::openFile(m_folder.file(u"realmdb.sqlite"_s));
            return;
        }
        auto options = realm::test::standardServerOptions(m_folder, u"contract"_s);
        options.stallOn = u"endless"_s;
        m_server = std::make_unique<realm::test::TdsServerProcess>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        m_connection = std::make_unique<realm::OdbcConnection>(realm::GameServerLogin{m_server->serverAddress(), u"operator"_s, u"contract"_s});
    }

    // Stops, errors and all: the suite needed one login only.
    void cleanupTestCase()
    {
        if (!m_server)
            return;
        qsizetype logins = 0;
        for (const QJsonObject &request : m_server->requests())
            logins += request.value(u"kind"_s).toString() == u"login"_s;
        QCOMPARE(logins, 1);
    }

    // Batches reach a slow receiver while the result streams, and the rows
    // they hold are whole and in result order.
    void rowsArriveWholeAndInOrder_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("with text") << u"select seq, name, weight from numbered order by seq"_s;
        QTest::newRow("numbers only") << u"select weight, seq from numbered order by seq"_s;
    }
    void rowsArriveWholeAndInOrder()
    {
        QFETCH(QString, sql);
        realm::StopFlag stop;
        SlowReceiver slow;
        const auto table = m_connection->query(sql, {}, stop, &slow);
        QVERIFY2(slow.batches > 1, "the rows were held back until the result ended");
        QCOMPARE(table->rowCount(), 10000);
        const int seq = table->columnIndex(u"seq");
        const int name = table->columnIndex(u"name");
        const int weight = table->columnIndex(u"weight");
        for (int row = 0; row < table->rowCount(); ++row) {
            const int i = row + 1;
            const QByteArray where = u"row %1"_s.arg(row).toUtf8();
            QVERIFY2(table->kind(row, seq) == ResultTable::Kind::Integer && table->integer(row, seq) == i, where.constData());
            QVERIFY2(i % 5 == 0 ? table->isNull(row, weight) : table->real(row, weight) == i * 0.25, where.constData());
            const QString text = i % 13 == 0 ? u""_s : u"名"_s + QString::number(i);
            QVERIFY2(name < 0 || (i % 7 == 0 ? table->isNull(row, name) : table->kind(row, name) == ResultTable::Kind::Text && table->textView(row, name) == text),
                     where.constData());
        }
    }

    void textsLongerThanAFetchBufferArriveWhole()
    {
        const auto table = m_connection->query(u"select body from long_texts order by id"_s, {});
        const QStringList expected = {QString(5000, u'a'), QString(254, u'x') + QString::fromUcs4(U"\U00020000") + QString(5000, u'长'),
                                      QString(255, u'z'), u""_s};
        QCOMPARE(table->rowCount(), 5);
        for (int row = 0; row < int(expected.size()); ++row) {
            QCOMPARE(table->kind(row, 0), ResultTable::Kind::Text);
            QCOMPARE(table->textView(row, 0), expected[row]);
        }
        QVERIFY(table->isNull(4, 0));
    }

    // Numbers wider than a double holds exactly arrive as their digits.
    void numbersArriveAsTheirValue()
    {
        const auto table = m_connection->query(u"select n, r, decimal_whole, decimal_part from numbers"_s, {});
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->integer(0, 0), std::numeric_limits<qint64>::max());
        QCOMPARE(table->integer(1, 0), std::numeric_limits<qint64>::min());
        QCOMPARE(table->integer(2, 0), -42);
        QCOMPARE(table->real(0, 1), -1.5);
        QCOMPARE(table->real(1, 1), 1e300);
        QCOMPARE(table->real(2, 1), 0.1);
        QCOMPARE(table->textView(0, 2), u"99999999999999999999999999999999999999");
        QCOMPARE(table->textView(0, 3), u"-12345678901234567.125");
        QCOMPARE(table->textView(1, 2), u"-1");
        QCOMPARE(table->textView(1, 3), u"0.500");
        QVERIFY(table->isNull(2, 2) && table->isNull(2, 3));
    }

    void stopMidResultLeavesTheConnectionReady()
    {
        realm::StopFlag stop;
        SlowReceiver rows;
        QElapsedTimer sinceStop;
        std::jthread stopper([&] {
            std::this_thread::sleep_for(300ms);
            sinceStop.start();
            stop.raise();
        });
        QVERIFY_THROWS_EXCEPTION(realm::StatementStopped, m_connection->run(EndlessSql, {}, rows, stop));
        stopper.join();
        QVERIFY2(sinceStop.elapsed() < 1000, "the stop took longer than a second");
        QCOMPARE(names(u"select char_name from user_data where char_id = 9"_s, {}), QStringList{u"Arthur"_s});
    }

    void failedStatementGivesTheEngineErrorAndLeavesTheConnectionReady()
    {
        try {
            m_connection->query(u"select * from no_such_table where name = ?"_s, {u"李"_s});
            QFAIL("the statement ran");
        } catch (const realm::DataError &error) {
            QCOMPARE(error.number(), m_engine == Engine::Sqlite ? 1 : 208);
            QVERIFY2(error.text().contains(u"no such table: no_such_table"), qPrintable(error.text()));
        }
        QCOMPARE(names(u"select count(*) from user_data"_s, {}), QStringList{u"10"_s});
    }

    // Names compare as under the game server's default collation: `=`
    // ignores letter case, and `like` takes `[...]` classes.
    void namesCompareAsOnTheGameServer_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QStringList>("found");
        const QString byName = u"select char_name from user_data where char_name = ?"_s;
        const QString like = u"select char_name from user_data where char_name like ?"_s;
        QTest::newRow("= ignores case") << byName << u"arthur"_s << QStringList{u"Arthur"_s};
        QTest::newRow("= ignores case beyond ASCII") << byName << u"élise"_s << QStringList{u"Élise"_s};
        QTest::newRow("= with a quote") << byName << u"o'BRIEN"_s << QStringList{u"O'Brien"_s};
        QTest::newRow("= Chinese, sent as Unicode") << byName << u"李逍遥"_s << QStringList(2, u"李逍遥"_s);
        QTest::newRow("= on the account") << u"select char_name from user_data where account_name = ?"_s << u"ACCT2"_s
                                          << QStringList{u"O'Brien"_s};
        QTest::newRow("underscore is one character") << like << u"a_b"_s << QStringList{u"a_b"_s, u"axb"_s};
        QTest::newRow("range") << like << u"[a-c]%"_s << QStringList{u"Arthur"_s, u"a_b"_s, u"axb"_s};
        QTest::newRow("set, either case") << like << u"%[bx]%"_s << QStringList{u"O'Brien"_s, u"a_b"_s, u"axb"_s};
        QTest::newRow("negated range") << like << u"[^a-c]%"_s
                                       << QStringList{u"100%纯"_s, u"O'Brien"_s, u"Élise"_s, u"李逍遥"_s, u"李逍遥"_s, u"林月如"_s, u"赵灵儿"_s};
        QTest::newRow("literal percent") << like << u"%[%]%"_s << QStringList{u"100%纯"_s};
        QTest::newRow("literal underscore") << like << u"%[_]%"_s << QStringList{u"a_b"_s};
        QTest::newRow("class never closed") << like << u"a[b%"_s << QStringList{};
    }
    void namesCompareAsOnTheGameServer()
    {
        QFETCH(QString, sql);
        QFETCH(QString, parameter);
        QFETCH(QStringList, found);
        QCOMPARE(names(sql, {parameter}), found);
    }
};

class SqliteContract : public ConnectionContract {
    Q_OBJECT
public:
    SqliteContract()
        : ConnectionContract(Engine::Sqlite) { }
};

class SqlServerContract : public ConnectionContract {
    Q_OBJECT
public:
    SqlServerContract()
        : ConnectionContract(Engine::Server) { }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SqliteContract sqlite;
    SqlServerContract server;
    return QTest::qExec(&sqlite, argc, argv) | QTest::qExec(&server, argc, argv);
}

#include "test_connection_contract.moc"
