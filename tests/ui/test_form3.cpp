#include "Fixtures.h"
#include "FormDriving.h"
#include "data/Module1.h"
#include "ui/account/Form3.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>

using namespace realm;
using namespace realm::ui;
using namespace Qt::StringLiterals;

namespace {

// Characters behind a view that decodes each one's stored profile. Two
// profiles are damaged: reading 断线侠 fails the name lookup itself, and
// 残影 fails the listing of account acct7 after 完好侠 was found.
const QString GameSql = uR"(
CREATE TABLE characters (char_id INTEGER, char_name TEXT, account_name TEXT, profile TEXT);
CREATE VIEW user_data AS
  SELECT char_id, char_name, account_name, json_extract(profile, '$.level') AS level FROM characters;
INSERT INTO characters VALUES
  (1, '李逍遥', 'acct1', '{"level":1}'), (2, '赵灵儿', 'acct1', '{"level":2}'),
  (3, '林月如', 'acct1', '{"level":3}'), (4, 'O''Brien', 'acct2', '{"level":4}'),
  (5, '100%纯', 'acct3', '{"level":5}'), (6, 'a_b', 'acct3', '{"level":6}'),
  (7, 'axb', 'acct4', '{"level":7}'), (8, '李逍遥', 'acct5', '{"level":8}'),
  (9, '断线侠', 'acct6', '{"level":'), (10, '完好侠', 'acct7', '{"level":10}'),
  (11, '残影', 'acct7', '{level 11'), (12, '无号', NULL, '{"level":12}');
)"_s;

using Rows = QList<QStringList>;

const Rows Acct1 = {{u"李逍遥"_s, u"acct1"_s}, {u"赵灵儿"_s, u"acct1"_s}, {u"林月如"_s, u"acct1"_s}};

} // namespace

class TestForm3 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadGivesAnEmptyList();
    void lookup_data();
    void lookup();
    void sameLookupTwiceGivesSameRows();
    void emptyBoxDoesNothing();
    void unknownNameEmptiesTheList_data();
    void unknownNameEmptiesTheList();
    void failingNameLookupKeepsRows();
    void failingListingClearsRows();
    void characterWithoutAccountStandsAlone();

    void captionAndClientArea();
    void layout_data();
    void layout();
    void listColumns();
    void tabOrder();

private:
    void lookUp(const QString &name);
    Rows rows() const;
    QLabel *statusLine() const;

    test::FixtureFolder m_folder;
    Form3 *m_form = nullptr;
};

void TestForm3::initTestCase()
{
    m_folder.writeItems(test::standardItems());
    m_folder.writeGameDatabase(GameSql);
    m_folder.writeSqliteIni();
    test::startProgram(m_folder.path());
}

void TestForm3::init()
{
    test::click(FormSlot<Form1>::instance().form(), u"Command4"_s);
    m_form = FormSlot<Form3>::instance().form();
    QVERIFY(m_form);
}

void TestForm3::cleanup()
{
    FormSlot<Form3>::instance().unload();
    QTRY_VERIFY(!FormSlot<Form3>::instance().isLoaded());
}

void TestForm3::lookUp(const QString &name)
{
    test::typeInto(m_form, u"Text1"_s, name);
    test::click(m_form, u"Command1"_s);
}

Rows TestForm3::rows() const
{
    const QAbstractItemModel *model = test::control<QTableView>(m_form, u"ListView1"_s)->model();
    Rows rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << QStringList{model->index(row, 0).data().toString(), model->index(row, 1).data().toString()};
    return rows;
}

QLabel *TestForm3::statusLine() const
{
    return test::control<QLabel>(m_form, u"StatusLine"_s);
}

void TestForm3::loadGivesAnEmptyList()
{
    QCOMPARE(rows(), Rows{});
    QCOMPARE(test::control<QLineEdit>(m_form, u"Text1"_s)->text(), QString());
}

void TestForm3::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Rows>("expected");

    QTest::newRow("account with three characters") << u"赵灵儿"_s << Acct1;
    QTest::newRow("name twice takes the first row's account") << u"李逍遥"_s << Acct1;
    QTest::newRow("outer blanks trimmed") << u"  林月如 "_s << Acct1;
    QTest::newRow("quote searched as a character") << u"O'Brien"_s << Rows{{u"O'Brien"_s, u"acct2"_s}};
    QTest::newRow("underscore is a character") << u"a_b"_s << Rows{{u"100%纯"_s, u"acct3"_s}, {u"a_b"_s, u"acct3"_s}};
    QTest::newRow("one character") << u"axb"_s << Rows{{u"axb"_s, u"acct4"_s}};
}

void TestForm3::lookup()
{
    QFETCH(QString, name);
    QFETCH(Rows, expected);

    lookUp(name);

    QCOMPARE(rows(), expected);
}

void TestForm3::sameLookupTwiceGivesSameRows()
{
    lookUp(u"赵灵儿"_s);
    lookUp(u"赵灵儿"_s);

    QCOMPARE(rows(), Acct1);
}

void TestForm3::emptyBoxDoesNothing()
{
    lookUp(u"axb"_s);
    const QString status = statusLine()->text();
    lookUp(QString());

    QCOMPARE(rows(), (Rows{{u"axb"_s, u"acct4"_s}}));
    QCOMPARE(statusLine()->text(), status);
}

void TestForm3::unknownNameEmptiesTheList_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("nobody") << u"无名氏"_s;
    QTest::newRow("part of a name") << u"李"_s;
    QTest::newRow("percent is no wildcard") << u"100%"_s;
}

void TestForm3::unknownNameEmptiesTheList()
{
    QFETCH(QString, name);

    lookUp(u"赵灵儿"_s);
    lookUp(name);

    QCOMPARE(rows(), Rows{});
    QCOMPARE(statusLine()->toolTip(), u"没有名为“%1”的角色。"_s.arg(name));
}


void TestForm3::failingNameLookupKeepsRows()
{
    lookUp(u"赵灵儿"_s);
    lookUp(u"断线侠"_s);

    QCOMPARE(rows(), Acct1);
    QVERIFY(statusLine()->toolTip().contains(u"malformed JSON"_s));
    QVERIFY(FormSlot<Form3>::instance().isLoaded());
}

void TestForm3::failingListingClearsRows()
{
    lookUp(u"赵灵儿"_s);
    lookUp(u"完好侠"_s);

    QCOMPARE(rows(), Rows{});
    QVERIFY(statusLine()->toolTip().contains(u"malformed JSON"_s));

    lookUp(u"axb"_s);
    QCOMPARE(rows(), (Rows{{u"axb"_s, u"acct4"_s}}));
    QVERIFY(!statusLine()->toolTip().contains(u"malformed JSON"_s));
}

void TestForm3::captionAndClientArea()
{
    QCOMPARE(m_form->windowTitle(), u"角色查询"_s);
    QCOMPARE(m_form->size(), QSize(322, 186));
}

void TestForm3::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");

    QTest::newRow("Label1") << u"Label1"_s << QRect(120, 240, 1095, 255) << u"角色名称"_s;
    QTest::newRow("Text1") << u"Text1"_s << QRect(1320, 240, 2055, 270) << u""_s;
    QTest::newRow("Command1") << u"Command1"_s << QRect(3480, 120, 1095, 375) << u"查询"_s;
    QTest::newRow("ListView1") << u"ListView1"_s << QRect(120, 720, 4575, 1935) << u""_s;
    QTest::newRow("StatusLine") << u"StatusLine"_s << QRect(120, 510, 4575, 210) << u""_s;
}

void TestForm3::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);

    const QWidget *widget = test::control<QWidget>(m_form, name);
    QCOMPARE(widget->geometry(), test::pixelsOfTwips(twips));
    QCOMPARE(widget->property("text").toString(), caption);
}

void TestForm3::listColumns()
{
    const auto *list = test::control<QTableView>(m_form, u"ListView1"_s);
    QCOMPARE(list->model()->columnCount(), 2);
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), u"角色名称"_s);
    QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), u"帐号"_s);
    QCOMPARE(list->horizontalHeader()->sectionSize(0), 96);
    QCOMPARE(list->horizontalHeader()->sectionSize(1), 96);
}

void TestForm3::tabOrder()
{
    QCOMPARE(test::tabOrder(test::control<QWidget>(m_form, u"Text1"_s)),
             (QStringList{u"Text1"_s, u"Command1"_s, u"ListView1"_s}));
}

QTEST_MAIN(TestForm3)
#include "test_form3.moc"

void TestForm3::characterWithoutAccountStandsAlone()
{
    lookUp(u"无号"_s);

    QCOMPARE(rows(), (Rows{{u"无号"_s, QString()}}));
    QVERIFY2(statusLine()->toolTip().contains(u"没有账号"_s), qPrintable(statusLine()->toolTip()));
}
