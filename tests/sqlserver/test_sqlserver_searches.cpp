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

// The three searches with Chinese names, through the real
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

    void petSearchByChineseName()
    {
        realm::test::searchWith(&mainForm(), u"Text5"_s, u"小白"_s, u"Command2"_s);
        const auto &list = mainForm().resultList();
        realm::test::expectStatusCount(&mainForm(), 1);
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.text(0, 0), u"李逍遥"_s);
        QCOMPARE(list.text(0, 2), u"狼宠召唤石"_s);
        QCOMPARE(list.text(0, 5), u"小白"_s);
        expectSentAsUnicode(u"小白"_s, QStringList{u"%小白%"_s});
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
};

QTEST_MAIN(TestSqlServerSearches)
#include "test_sqlserver_searches.moc"
