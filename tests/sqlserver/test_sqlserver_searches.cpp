#include "Fixtures.h"
#include "FormDriver.h"
#include "FormDriving.h"
#include "TdsServerProcess.h"
#include "startup/ProgramFolder.h"
#include "ui/RowListModel.h"
#include "ui/account/Form3.h"
#include "ui/main/Form1.h"

#include <QJsonArray>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using realm::ui::Form1;
using realm::ui::Form3;
using realm::ui::FormSlot;

// List cells by column.
using Cells = QMap<int, QString>;

// The three searches with Chinese names and a quote, through the real
// driver against a server with a Latin-1 collation: only text sent as
// Unicode parameters can match there, so a name bound as VARCHAR or pasted
// into the SQL text fails these.
class TestSqlServerSearches : public QObject {
    Q_OBJECT

    std::unique_ptr<realm::test::SqlServerFixture> m_fixture;
    qsizetype m_logStart = 0;

    static QStringList column(const realm::ui::RowListModel &list, int index)
    {
        QStringList texts;
        for (int row = 0; row < list.rowCount(); ++row)
            texts << list.text(row, index);
        texts.sort();
        return texts;
    }

    // The searches' statements since this test began must carry their text
    // only as Unicode parameters, with exactly these values.
    void expectSentAsUnicode(const QString &name, const QStringList &expectedValues) const
    {
        QStringList values;
        for (const QJsonObject &statement : m_fixture->server.statementsSince(m_logStart)) {
            const QString sql = statement.value(u"sql").toString();
            if (!sql.contains(u"user_data"))
                continue;
            QVERIFY2(!sql.contains(name), qPrintable(u"the name is inside the SQL text: "_s + sql));
            for (const QJsonValue &parameter : statement.value(u"params").toArray()) {
                const QString type = parameter[u"type"].toString();
                QVERIFY2(type.startsWith(u"nvarchar"), qPrintable(u"sent as "_s + type));
                values << parameter[u"value"].toString();
            }
        }
        QCOMPARE(values, expectedValues);
    }

    static Form1 &mainForm() { return *FormSlot<Form1>::instance().form(); }

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<realm::test::SqlServerFixture>(u"p;w}d"_s);
        QString error;
        QVERIFY2(m_fixture->start(realm::test::SqlServerFixture::IniEncoding::Gbk, &error), qPrintable(error));
        realm::test::startProgram(m_fixture->folder.path());
    }

    void cleanupTestCase()
    {
        FormSlot<Form3>::instance().unload();
        FormSlot<Form1>::instance().unload();
        m_fixture.reset();
    }

    void init() { m_logStart = m_fixture->server.requests().size(); }

    void equipmentSearchByChineseName()
    {
        realm::test::searchWith(&mainForm(), u"Text1"_s, u"李逍遥"_s, u"Command1"_s);
        const auto &list = mainForm().resultList();
        realm::test::expectStatusCount(&mainForm(), 3);
        QCOMPARE(column(list, 0), QStringList(3, u"李逍遥"_s));
        QCOMPARE(column(list, 1), (QStringList{u"57"_s, u"58"_s, u"7"_s}));
        QCOMPARE(column(list, 2), (QStringList{u"狼宠召唤石"_s, u"白银长剑"_s, u"青铜长剑"_s}));
        expectSentAsUnicode(u"李逍遥"_s, QStringList{u"%李逍遥%"_s});
    }

    // One row found by a main-window search; `cells` maps list columns to
    // their texts, `inText` is what must not appear in the SQL text.
    void mainSearchFindingOneRow_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QString>("inText");
        QTest::newRow("equipment, name with a quote")
            << u"Text1"_s << u"O'Brien"_s << u"Command1"_s
            << Cells{{0, u"O'Brien"_s}, {1, u"60"_s}, {3, u"2"_s}, {4, u"+7"_s}} << u"Brien"_s;
        QTest::newRow("pet, Chinese name")
            << u"Text5"_s << u"小白"_s << u"Command2"_s
            << Cells{{0, u"李逍遥"_s}, {2, u"狼宠召唤石"_s}, {5, u"小白"_s}} << u"小白"_s;
    }

    void mainSearchFindingOneRow()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, button);
        QFETCH(Cells, cells);
        QFETCH(QString, inText);
        realm::test::searchWith(&mainForm(), box, text, button);
        const auto &list = mainForm().resultList();
        realm::test::expectStatusCount(&mainForm(), 1);
        QCOMPARE(list.rowCount(), 1);
        for (auto cell = cells.cbegin(); cell != cells.cend(); ++cell)
            QCOMPARE(list.text(0, cell.key()), cell.value());
        expectSentAsUnicode(inText, QStringList{u'%' + text + u'%'});
    }

    void accountLookupByChineseName()
    {
        Form3 &form = realm::test::showForm<Form3>();
        realm::test::searchWith(&form, u"Text1"_s, u"赵灵儿"_s, u"Command1"_s);
        realm::test::expectStatusCount(&form, 3);
        QCOMPARE(column(form.characterList(), 0), (QStringList{u"李逍遥"_s, u"林月如"_s, u"赵灵儿"_s}));
        QCOMPARE(column(form.characterList(), 1), QStringList(3, u"acct1"_s));
        expectSentAsUnicode(u"赵灵儿"_s, (QStringList{u"赵灵儿"_s, u"acct1"_s}));
    }

    void accountLookupByNameWithQuote()
    {
        Form3 &form = realm::test::showForm<Form3>();
        realm::test::searchWith(&form, u"Text1"_s, u"O'Brien"_s, u"Command1"_s);
        realm::test::expectStatusCount(&form, 1);
        QCOMPARE(form.characterList().rowCount(), 1);
        QCOMPARE(form.characterList().text(0, 0), u"O'Brien"_s);
        QCOMPARE(form.characterList().text(0, 1), u"acct2"_s);
        expectSentAsUnicode(u"Brien"_s, (QStringList{u"O'Brien"_s, u"acct2"_s}));
    }
};

QTEST_MAIN(TestSqlServerSearches)
#include "test_sqlserver_searches.moc"
