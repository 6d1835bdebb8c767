#include "Fixtures.h"
#include "data/DataError.h"
#include "data/ItemDatabase.h"
#include "data/ItemNameIndex.h"
#include "data/Recordset.h"
#include "data/SqliteConnection.h"

#include <QTest>

using namespace realm;

// The item file read through its mirror and the name index built from it,
// and the recordset's open, close and first-row fields over both files.
class TestItemData : public QObject {
    Q_OBJECT

    test::FixtureFolder m_folder;
    std::unique_ptr<SqliteConnection> m_items;
    std::unique_ptr<SqliteConnection> m_game;

    static long errorNumberOf(const std::function<void()> &operation)
    {
        try {
            operation();
        } catch (const DataError &error) {
            return error.number();
        }
        return 0;
    }

private slots:
    void initTestCase()
    {
        m_folder.writeStandard();
        m_items = openItemDatabase(m_folder.file(QStringLiteral("db.mdb")));
        m_game = SqliteConnection::openFile(m_folder.file(QStringLiteral("realmdb.sqlite")));
    }

    void itemTableKeepsRecordOrderAndColumns()
    {
        Recordset items;
        items.open(QStringLiteral("select * from item "), *m_items);
        QCOMPARE(items.recordCount(), 8);
        QCOMPARE(items.table()->columnName(0), QStringLiteral("id"));
        QCOMPARE(items.field(u"c").toString(), QStringLiteral("金币"));
        QStringList names;
        for (int row = 0; row < items.recordCount(); ++row)
            names << items.table()->textView(row, items.table()->columnIndex(u"C")).toString();
        QCOMPARE(names, QStringList({QStringLiteral("金币"), QStringLiteral("青铜长剑"), QStringLiteral("白银长剑"), QStringLiteral("重复的剑"), QStringLiteral("sword of light"), QStringLiteral("SWORD OF NIGHT"), QStringLiteral("狼宠召唤石"), QStringLiteral("负数物品")}));
    }

    // The first record of an id wins; a quoted number matches the equal id.
    void nameIndexFindsTheFirstRecordOfAnId()
    {
        Recordset items;
        items.open(QStringLiteral("select * from item "), *m_items);
        const ItemNameIndex index(items.table());
        const QList<std::pair<QString, std::optional<QString>>> expected = {
            {QStringLiteral("57"), QStringLiteral("青铜长剑")}, {QStringLiteral("057"), QStringLiteral("青铜长剑")}, {QStringLiteral("57.0"), QStringLiteral("青铜长剑")}, {QStringLiteral("58"), QStringLiteral("白银长剑")}, {QStringLiteral("-5"), QStringLiteral("负数物品")}, {QStringLiteral("999"), std::nullopt}, {QString(), std::nullopt}, {QStringLiteral("x"), std::nullopt}};
        for (const auto &[id, name] : expected)
            QCOMPARE(index.nameFor(id), name);
    }

    // Ids too far apart for a table by offset are looked up by hashing.
    void nameIndexOfFarApartIds()
    {
        auto items = std::make_shared<ResultTable>(QStringList{QStringLiteral("id"), QStringLiteral("C"), QStringLiteral("E")});
        for (const qint64 id : {qint64(-4'000'000'000), qint64(7), qint64(9'000'000'000)}) {
            items->appendInteger(id);
            items->appendText(QString::number(id));
            items->appendNull();
        }
        const ItemNameIndex index(items);
        QCOMPARE(index.nameFor(qint64(9'000'000'000)), std::optional(QStringLiteral("9000000000")));
        QCOMPARE(index.nameFor(qint64(-4'000'000'000)), std::optional(QStringLiteral("-4000000000")));
        QCOMPARE(index.nameFor(qint64(8)), std::nullopt);
    }

    void misuseRaisesNumberedErrors()
    {
        Recordset recordset;
        QCOMPARE(errorNumberOf([&] { recordset.close(); }), ErrorNumber::ObjectClosed);
        QCOMPARE(errorNumberOf([&] { recordset.recordCount(); }), ErrorNumber::ObjectClosed);
        recordset.open(QStringLiteral("select * from user_data where char_id=0"), *m_game);
        QCOMPARE(recordset.recordCount(), 0);
        QCOMPARE(errorNumberOf([&] { recordset.field(u"char_name"); }), ErrorNumber::NoCurrentRecord);
        QCOMPARE(errorNumberOf([&] { recordset.open(QStringLiteral("select 1"), *m_game); }), ErrorNumber::ObjectOpen);
        recordset.close();
        recordset.open(QStringLiteral("select * from user_data"), *m_game);
        QCOMPARE(errorNumberOf([&] { recordset.field(u"nick_name"); }), ErrorNumber::FieldNotFound);
    }

    void failedOpenLeavesTheRecordsetClosed()
    {
        Recordset recordset;
        QVERIFY(errorNumberOf([&] { recordset.open(QStringLiteral("select * from no_such_table"), *m_game); }) != 0);
        QVERIFY(!recordset.isOpen());
    }

    void nothingCanBeWritten_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("insert") << QStringLiteral("insert into user_data values (9,'x','y')");
        QTest::newRow("second statement") << QStringLiteral("select 1; delete from user_data");
        QTest::newRow("drop") << QStringLiteral("drop table user_item");
    }
    void nothingCanBeWritten()
    {
        QFETCH(QString, sql);
        Recordset recordset;
        QVERIFY(errorNumberOf([&] { recordset.open(sql, *m_game); }) != 0);
        QVERIFY(errorNumberOf([&] { recordset.open(sql, *m_items); }) != 0);
        recordset.open(QStringLiteral("select count(*) as n from user_data"), *m_game);
        QCOMPARE(recordset.field(u"n").toInt(), 8);
    }

    void missingOrBrokenItemFileNamesThePath()
    {
        const QString missing = m_folder.file(QStringLiteral("absent.mdb"));
        try {
            openItemDatabase(missing);
            QFAIL("a missing item file opened");
        } catch (const DataError &error) {
            QVERIFY2(error.text().contains(missing), qPrintable(error.text()));
        }
        const QString notJet = m_folder.file(QStringLiteral("db.ini"));
        QVERIFY(errorNumberOf([&] { openItemDatabase(notJet); }) != 0);
    }

    void nullAndEmptyItemTextsStayApart()
    {
        test::FixtureFolder folder;
        folder.writeItems(QStringLiteral("5\t\\e\t\n6\t\tSix\n\t\t\n"));
        const auto items = openItemDatabase(folder.file(QStringLiteral("db.mdb")));
        const auto rows = items->query(QStringLiteral("select * from item "), {});
        QCOMPARE(rows->rowCount(), 3);
        QCOMPARE(rows->kind(0, 1), ResultTable::Kind::Text);
        QCOMPARE(rows->textView(0, 1), u"");
        QVERIFY(rows->isNull(0, 2));
        QVERIFY(rows->isNull(1, 1));
        QCOMPARE(rows->textView(1, 2), u"Six");
        QVERIFY(rows->isNull(2, 0));
    }

    // Texts decoded from the file's UTF-8: a leading byte-order mark kept,
    // and a byte that is no UTF-8 as U+FFFD.
    void textsKeepEveryCharacter()
    {
        const auto rows = m_game->query(QStringLiteral("select cast(x'EFBBBF41' as text) union all select cast(x'41FF42' as text)"), {});
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(rows->textView(0, 0), u"\uFEFFA");
        QCOMPARE(rows->textView(1, 0), u"A\uFFFDB");
    }

    void rowsOutliveTheRecordsetsClose()
    {
        Recordset recordset;
        recordset.open(QStringLiteral("select * from item "), *m_items);
        const auto rows = recordset.table();
        recordset.close();
        QCOMPARE(rows->rowCount(), 8);
        QCOMPARE(rows->displayText(7, 0), QStringLiteral("-5"));
    }
};

QTEST_GUILESS_MAIN(TestItemData)
#include "test_item_data.moc"
