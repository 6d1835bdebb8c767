#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "data/SqliteConnection.h"
#include "data/odbc/OdbcConnection.h"

#include <QTest>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;
using realm::ResultTable;
using realm::test::TdsServerProcess;

// Rows through the real driver's bound row arrays, against the same rows
// read straight from the SQLite file the test server serves: every cell of
// the same kind and value, also where a row array ends part filled, a text
// outgrows its bound buffer or a number is wider than any integer.
class TestSqlServerFetch : public QObject {
    Q_OBJECT

    std::unique_ptr<realm::test::FixtureFolder> m_folder;
    std::unique_ptr<TdsServerProcess> m_server;

    std::shared_ptr<const ResultTable> fetched(const QString &sql) const
    {
        realm::OdbcConnection connection({m_server->serverAddress(), u"operator"_s, u"fetch-word"_s, 30});
        return connection.query(sql, {});
    }

    std::shared_ptr<const ResultTable> direct(const QString &sql) const
    {
        return realm::SqliteConnection::openFile(m_folder->file(u"realmdb.sqlite"_s))->query(sql, {});
    }

    static void expectSameCells(const ResultTable &actual, const ResultTable &expected)
    {
        QCOMPARE(actual.rowCount(), expected.rowCount());
        QCOMPARE(actual.columnCount(), expected.columnCount());
        for (int row = 0; row < expected.rowCount(); ++row) {
            for (int column = 0; column < expected.columnCount(); ++column) {
                const QByteArray where = u"row %1, column %2"_s.arg(row).arg(column).toUtf8();
                QVERIFY2(actual.kind(row, column) == expected.kind(row, column), where.constData());
                QVERIFY2(actual.value(row, column) == expected.value(row, column), where.constData());
            }
        }
    }

private slots:
    void initTestCase()
    {
        m_folder = std::make_unique<realm::test::FixtureFolder>();
        // 2,345 rows, a Null in each column now and then, and a row of
        // Nulls only; texts of 254 to 256 units around the bound part of
        // a long text, one with a surrogate pair across its end.
        m_folder->writeGameDatabase(uR"(
            create table many_rows(id integer, name text, weight real);
            with recursive n(i) as (select 1 union all select i + 1 from n where i < 2345)
            insert into many_rows
                select case when i % 11 = 0 then null else i end,
                       case when i % 7 = 0 then null else '名' || i end,
                       case when i % 5 = 0 then null else i * 0.25 end from n;
            insert into many_rows values (null, null, null);
            create table long_texts(id integer, body text);
            insert into long_texts values
                (1, substr(replace(hex(zeroblob(5000)), '00', 'a'), 1, 5000)),
                (2, substr(replace(hex(zeroblob(254)), '00', 'x'), 1, 254) || char(131072)
                    || substr(replace(hex(zeroblob(5000)), '00', '长'), 1, 5000)),
                (3, substr(replace(hex(zeroblob(255)), '00', 'z'), 1, 255)),
                (4, substr(replace(hex(zeroblob(256)), '00', 'z'), 1, 256)),
                (5, ''), (6, null), (null, null), (8, 'short');
            create table wide_numbers(n integer, decimal_whole text, decimal_part text);
            insert into wide_numbers values
                (9223372036854775807, '99999999999999999999999999999999999999', '-12345678901234567.125'),
                (-9223372036854775807 - 1, '-1', '0.5'),
                (null, null, null);
        )"_s);
        TdsServerProcess::Options options;
        options.database = m_folder->file(u"realmdb.sqlite"_s);
        options.password = u"fetch-word"_s;
        m_server = std::make_unique<TdsServerProcess>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
    }

    void resultSpanningManyRowArraysArrivesWhole_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("with text: a few hundred rows a fetch") << u"select id, name, weight from many_rows"_s;
        QTest::newRow("numbers only: a thousand rows a fetch") << u"select weight, id from many_rows"_s;
    }
    void resultSpanningManyRowArraysArrivesWhole()
    {
        QFETCH(QString, sql);
        expectSameCells(*fetched(sql), *direct(sql));
    }

    void textLongerThanItsBoundBufferArrivesWhole()
    {
        const QString sql = u"select id, body from long_texts"_s;
        const auto texts = fetched(sql);
        expectSameCells(*texts, *direct(sql));
        QCOMPARE(texts->textView(1, 1).size(), 254 + 2 + 5000);
    }

    void numbersWiderThanAnIntegerArriveAsTheirValue()
    {
        const auto numbers = fetched(u"select n, decimal_whole, decimal_part from wide_numbers"_s);
        QCOMPARE(numbers->rowCount(), 3);
        QCOMPARE(numbers->integer(0, 0), std::numeric_limits<qint64>::max());
        QCOMPARE(numbers->integer(1, 0), std::numeric_limits<qint64>::min());
        // Wider than a double holds exactly: the digits, not the nearest double.
        QCOMPARE(numbers->textView(0, 1), u"99999999999999999999999999999999999999");
        QCOMPARE(numbers->textView(0, 2), u"-12345678901234567.125");
        QCOMPARE(numbers->textView(1, 1), u"-1");
        QCOMPARE(numbers->textView(1, 2), u"0.500");
        for (int column = 0; column < 3; ++column)
            QVERIFY(numbers->isNull(2, column));
    }
};

QTEST_MAIN(TestSqlServerFetch)
#include "test_sqlserver_fetch.moc"
