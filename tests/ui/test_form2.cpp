#include "Fixtures.h"
#include "FormDriving.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "ui/GridModel.h"
#include "ui/itemlookup/Form2.h"

#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>

using namespace realm;
using namespace Qt::StringLiterals;
using namespace realm::ui;

namespace {

// Stands between the window and the item file: counts the statements it is
// given and, when told to, refuses them as a damaged file would.
class ItemConnectionProbe : public Connection {
public:
    explicit ItemConnectionProbe(std::shared_ptr<Connection> inner)
        : m_inner(std::move(inner)) { }

    void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) override
    {
        ++queries;
        if (!failure.isEmpty())
            throw DataError(-2147467259, failure);
        m_inner->run(sql, parameters, rows, stop);
    }
    QString description() const override { return m_inner->description(); }
    std::shared_ptr<Connection> inner() const { return m_inner; }

    int queries = 0;
    QString failure;

private:
    std::shared_ptr<Connection> m_inner;
};

// Ids chosen so that each way of reading the id box lands on its own entry,
// names with blanks, wildcards, a quote, and one entry without a name.
const QString Items = QStringLiteral("1\t金币\tGold Coin\n"
                                     "7\t狼宠召唤石\tWolf Stone\n"
                                     "12\t十二号\tTwelve\n"
                                     "0\t零号物品\tZero\n"
                                     "-3\t负三\tMinus Three\n"
                                     "57\t青铜长剑\tBronze Sword\n"
                                     "57\t重复的剑\tDuplicate Sword\n"
                                     "58\t白银长剑\tSilver Sword\n"
                                     "60\tsword of light\tSword of Light\n"
                                     "61\tSWORD OF NIGHT\tSword of Night\n"
                                     "70\tO'Brien之剑\tO'Brien Sword\n"
                                     "71\t100%纯金\tPure Gold\n"
                                     "76\t1000年人参\tOld Ginseng\n"
                                     "72\ta_b\tUnderscore\n"
                                     "73\taxb\tLetter X\n"
                                     "74\t双  空格\tTwo Blanks\n"
                                     "75\t\tNo Name\n");

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadOpensItemOneAndLeavesGridUnbound();
    void search_data();
    void search();
    void gridShowsBothNames();
    void bothBoxesEmptyDoesNothing();
    void failureKeepsLastGoodResult_data();
    void failureKeepsLastGoodResult();

    void captionAndClientArea();
    void layout_data();
    void layout();
    void gridColumns();
    void tabOrder();
    void fullWidthIdIsReadAsItsDigits();

private:
    void search(const QString &id, const QString &name);
    QStringList gridColumn(int column) const;
    QString text(const QString &name) const;

    test::FixtureFolder m_folder;
    Form2 *m_form = nullptr;
    std::shared_ptr<ItemConnectionProbe> m_probe;
};

void TestForm2::initTestCase()
{
    m_folder.writeItems(Items);
    m_folder.writeGameDatabase(test::standardGameSql());
    m_folder.writeSqliteIni();
    test::startProgram(m_folder.path());
}

void TestForm2::init()
{
    test::click(FormSlot<Form1>::instance().form(), u"Command3"_s);
    m_form = FormSlot<Form2>::instance().form();
    QVERIFY(m_form);
    Module1 &module = test::sharedModule();
    m_probe = std::make_shared<ItemConnectionProbe>(module.itemConn);
    module.itemConn = m_probe;
}

void TestForm2::cleanup()
{
    test::sharedModule().itemConn = m_probe->inner();
    FormSlot<Form2>::instance().unload();
    QTRY_VERIFY(!FormSlot<Form2>::instance().isLoaded());
}

void TestForm2::search(const QString &id, const QString &name)
{
    test::typeInto(m_form, u"Text1_0"_s, id);
    test::typeInto(m_form, u"Text1_1"_s, name);
    test::click(m_form, u"Command1"_s);
}

QStringList TestForm2::gridColumn(int column) const
{
    const QAbstractItemModel *model = test::control<QTableView>(m_form, u"DataGrid1"_s)->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QString TestForm2::text(const QString &name) const
{
    return test::withoutTimeTaken(test::control<QWidget>(m_form, name)->property("text").toString());
}

void TestForm2::loadOpensItemOneAndLeavesGridUnbound()
{
    const Recordset &lookup = *test::sharedModule().rsLookup;
    QVERIFY(lookup.isOpen());
    QCOMPARE(lookup.recordCount(), 1);
    QCOMPARE(lookup.field(u"id").toInt(), 1);
    const auto *grid = test::control<QTableView>(m_form, u"DataGrid1"_s);
    QVERIFY(!m_form->grid().isBound());
    QCOMPARE(grid->model()->rowCount(), 0);
    QCOMPARE(text(u"Label4"_s), QString());
    QCOMPARE(text(u"Text1_0"_s), QString());
    QCOMPARE(text(u"Text1_1"_s), QString());
}

void TestForm2::search_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("ids");

    QTest::newRow("leading zeros") << u"007"_s << u""_s << QStringList{u"7"_s};
    QTest::newRow("digits then letters") << u"12abc"_s << u""_s << QStringList{u"12"_s};
    QTest::newRow("letters only") << u"abc"_s << u""_s << QStringList{u"0"_s};
    QTest::newRow("blanks only id") << u"   "_s << u""_s << QStringList{u"0"_s};
    QTest::newRow("fraction") << u"1.50"_s << u""_s << QStringList{};
    QTest::newRow("negative") << u"-3"_s << u""_s << QStringList{u"-3"_s};
    QTest::newRow("id twice in the file") << u"57"_s << u""_s << QStringList{u"57"_s, u"57"_s};
    QTest::newRow("no such id") << u"999"_s << u""_s << QStringList{};
    QTest::newRow("part of a name") << u""_s << u"青铜"_s << QStringList{u"57"_s};
    QTest::newRow("outer blanks trimmed") << u""_s << u"  青铜  "_s << QStringList{u"57"_s};
    QTest::newRow("inner blanks kept") << u""_s << u"双  空"_s << QStringList{u"74"_s};
    QTest::newRow("inner blanks not squeezed") << u""_s << u"双 空"_s << QStringList{};
    QTest::newRow("tab is no blank") << u""_s << u"剑\t"_s << QStringList{};
    QTest::newRow("blanks only name") << u""_s << u"   "_s
                                      << QStringList{u"1"_s, u"7"_s, u"12"_s, u"0"_s, u"-3"_s, u"57"_s, u"57"_s, u"58"_s,
                                                     u"60"_s, u"61"_s, u"70"_s, u"71"_s, u"76"_s, u"72"_s, u"73"_s, u"74"_s, u"75"_s};
    QTest::newRow("either name, letter case ignored")
        << u""_s << u"sword"_s << QStringList{u"57"_s, u"57"_s, u"58"_s, u"60"_s, u"61"_s, u"70"_s};
    QTest::newRow("percent is a wildcard") << u""_s << u"100%"_s << QStringList{u"71"_s, u"76"_s};
    QTest::newRow("underscore is a wildcard") << u""_s << u"a_b"_s << QStringList{u"72"_s, u"73"_s};
    QTest::newRow("quote searched as a character") << u""_s << u"O'Brien"_s << QStringList{u"70"_s};
    QTest::newRow("no such name") << u""_s << u"不存在"_s << QStringList{};
    QTest::newRow("id and name both hold") << u"57"_s << u"青铜"_s << QStringList{u"57"_s};
    QTest::newRow("id and name disagree") << u"58"_s << u"青铜"_s << QStringList{};
}

void TestForm2::search()
{
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QStringList, ids);

    search(id, name);

    QCOMPARE(gridColumn(0), ids);
    QCOMPARE(text(u"Label4"_s), QString::number(ids.size()));
    // A number box read differently than typed is named; nothing else shows.
    const bool readDifferently = QStringList{u"12abc"_s, u"abc"_s, u"   "_s}.contains(id);
    QCOMPARE(text(u"StatusLine"_s).isEmpty(), !readDifferently);
    QCOMPARE(m_probe->queries, 1);
}

void TestForm2::gridShowsBothNames()
{
    search(u"57"_s, QString());

    QCOMPARE(gridColumn(1), (QStringList{u"青铜长剑"_s, u"重复的剑"_s}));
    QCOMPARE(gridColumn(2), (QStringList{u"Bronze Sword"_s, u"Duplicate Sword"_s}));
}

void TestForm2::bothBoxesEmptyDoesNothing()
{
    search(u"7"_s, QString());
    search(QString(), QString());

    QCOMPARE(gridColumn(0), QStringList{u"7"_s});
    QCOMPARE(text(u"Label4"_s), u"1"_s);
    QCOMPARE(m_probe->queries, 1);
}

void TestForm2::failureKeepsLastGoodResult_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("queries");

    QTest::newRow("id beyond range") << u"1e999"_s << u""_s << u""_s << 0;
    QTest::newRow("id beyond range with a name") << u"1e999"_s << u"剑"_s << u""_s << 0;
    QTest::newRow("item file refuses") << u"7"_s << u""_s << u"Unspecified error in the item file"_s << 1;
    QTest::newRow("item file refuses a name") << u""_s << u"剑"_s << u"Unspecified error in the item file"_s << 1;
}

void TestForm2::failureKeepsLastGoodResult()
{
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, failure);
    QFETCH(int, queries);

    search(u"57"_s, QString());
    m_probe->queries = 0;
    m_probe->failure = failure;
    search(id, name);

    QCOMPARE(m_probe->queries, queries);
    QVERIFY(!text(u"StatusLine"_s).isEmpty());
    QVERIFY(test::control<QLabel>(m_form, u"StatusLine"_s)->toolTip().contains(failure));
    QCOMPARE(gridColumn(1), (QStringList{u"青铜长剑"_s, u"重复的剑"_s}));
    QCOMPARE(text(u"Label4"_s), u"2"_s);
    QVERIFY(FormSlot<Form2>::instance().isLoaded());

    m_probe->failure.clear();
    search(u"7"_s, QString());
    QCOMPARE(gridColumn(0), QStringList{u"7"_s});
    QCOMPARE(text(u"StatusLine"_s), QString());
}

void TestForm2::captionAndClientArea()
{
    QCOMPARE(m_form->windowTitle(), u"装备ID查询"_s);
    QCOMPARE(m_form->size(), QSize(526, 447));
}

void TestForm2::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Label1") << u"Label1"_s << QRect(240, 240, 855, 255) << u"装备ID"_s;
    QTest::newRow("Text1_0") << u"Text1_0"_s << QRect(1200, 240, 2175, 270) << u""_s;
    QTest::newRow("Label2") << u"Label2"_s << QRect(240, 600, 735, 255) << u"装备名称"_s;
    QTest::newRow("Text1_1") << u"Text1_1"_s << QRect(1200, 600, 2175, 270) << u""_s;
    QTest::newRow("Command1") << u"Command1"_s << QRect(240, 960, 975, 375) << u"查询"_s;
    QTest::newRow("Command2") << u"Command2"_s << QRect(1320, 960, 975, 375) << u"返回"_s;
    QTest::newRow("DataGrid1") << u"DataGrid1"_s << QRect(240, 1440, 7335, 4575) << u""_s;
    QTest::newRow("Label3") << u"Label3"_s << QRect(360, 6240, 735, 255) << u"包含数量"_s;
    QTest::newRow("Label4") << u"Label4"_s << QRect(1200, 6240, 855, 255) << u""_s;
    QTest::newRow("StatusLine") << u"StatusLine"_s << QRect(2160, 6240, 5415, 255) << u""_s;
}

void TestForm2::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);

    QCOMPARE(test::control<QWidget>(m_form, name)->geometry(), test::pixelsOfTwips(twips));
    QCOMPARE(text(name), caption);
}

void TestForm2::gridColumns()
{
    const auto *grid = test::control<QTableView>(m_form, u"DataGrid1"_s);
    const QStringList headings = {u"物品ID"_s, u"中文名称"_s, u"英文名称"_s};
    const QList<int> widths = {67, 200, 200};
    QCOMPARE(grid->model()->columnCount(), 3);
    for (int column = 0; column < 3; ++column) {
        QCOMPARE(grid->model()->headerData(column, Qt::Horizontal).toString(), headings[column]);
        QCOMPARE(grid->horizontalHeader()->sectionSize(column), widths[column]);
    }
    QCOMPARE(grid->font().families().value(1), u"宋体"_s);
    QCOMPARE(grid->font().pointSize(), 9);
    // Without the face itself, the name must still land on a Song/Ming face
    // that has the Chinese glyphs, not on a Latin fallback.
    QFont chineseFace = grid->font();
    chineseFace.setFamilies({chineseFace.families().value(1)});
    const QString face = QFontInfo(chineseFace).family();
    QVERIFY2(face == u"宋体"_s || face.contains(u"Ming"_s) || face.contains(u"SimSun"_s) || face.contains(u"Serif CJK"_s)
                 || face.contains(u"Sung"_s),
             qPrintable(face));
    QVERIFY(QFontMetrics(grid->font()).inFont(QChar(0x5251)));
}

void TestForm2::tabOrder()
{
    QCOMPARE(test::tabOrder(test::control<QWidget>(m_form, u"Text1_0"_s)),
             (QStringList{u"Text1_0"_s, u"Text1_1"_s, u"Command1"_s, u"DataGrid1"_s, u"Command2"_s}));
}

void TestForm2::fullWidthIdIsReadAsItsDigits()
{
    search(u"５７"_s, QString());

    QCOMPARE(gridColumn(0), (QStringList{u"57"_s, u"57"_s}));
    QCOMPARE(text(u"StatusLine"_s), QString());
    search(u"５７号"_s, QString());
    QCOMPARE(test::control<QLabel>(m_form, u"StatusLine"_s)->toolTip().section(u'；', 1), u"装备ID“５７号”按 57 查询"_s);
}

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
