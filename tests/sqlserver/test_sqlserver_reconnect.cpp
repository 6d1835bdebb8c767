#include "Fixtures.h"
#include "FormDriver.h"
#include "FormDriving.h"
#include "TdsServerProcess.h"
#include "startup/ProgramFolder.h"
#include "ui/RowListModel.h"
#include "ui/main/Form1.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using realm::ui::Form1;
using realm::ui::FormSlot;

// The game server going away under a running window: a search then fails in
// the status line, and once the server is back the window works again
// without a restart.
class TestSqlServerReconnect : public QObject {
    Q_OBJECT

    std::unique_ptr<realm::test::SqlServerFixture> m_fixture;

    static Form1 &mainForm() { return *FormSlot<Form1>::instance().form(); }

    static void searchPet(const QString &name)
    {
        realm::test::searchWith(&mainForm(), u"Text5"_s, name, u"Command2"_s);
    }

    void expectPetFound()
    {
        searchPet(u"小白"_s);
        realm::test::expectStatusCount(&mainForm(), 1);
        QCOMPARE(mainForm().resultList().rowCount(), 1);
        QCOMPARE(mainForm().resultList().text(0, 5), u"小白"_s);
    }

    void restartServer()
    {
        QString error;
        QVERIFY2(m_fixture->server.start(&error), qPrintable(error));
    }

    int logins() const
    {
        int count = 0;
        for (const QJsonObject &entry : m_fixture->server.requests())
            count += entry.value(u"kind").toString() == u"login";
        return count;
    }

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<realm::test::SqlServerFixture>(u"secret-word"_s);
        QString error;
        QVERIFY2(m_fixture->start(realm::test::SqlServerFixture::IniEncoding::Utf8, &error), qPrintable(error));
        realm::test::startProgram(m_fixture->folder.path());
    }

    void cleanupTestCase()
    {
        FormSlot<Form1>::instance().unload();
        m_fixture.reset();
    }

    void searchFailsWhileTheServerIsDownAndWorksOnceItIsBack()
    {
        expectPetFound();
        m_fixture->server.stop();

        searchPet(u"Shadow"_s);
        realm::test::expectStatusDriverError(&mainForm());
        QCOMPARE(mainForm().resultList().rowCount(), 0);

        restartServer();
        expectPetFound();
    }

    // A connection cut while idle is found broken by the next statement and
    // opened again once, so the operator sees no error at all.
    void serverRestartedWhileIdleIsReconnectedSilently()
    {
        expectPetFound();
        if (QTest::currentTestFailed())
            return;
        const int loginsBefore = logins();
        m_fixture->server.stop();
        restartServer();

        expectPetFound();
        QCOMPARE(logins(), loginsBefore + 1);
    }

    // With the server still down, every search tries the connection again
    // and fails cleanly; none leaves the window unable to recover.
    void repeatedSearchesWhileDownEachFail()
    {
        m_fixture->server.stop();
        for (int attempt = 0; attempt < 3; ++attempt) {
            searchPet(u"小白"_s);
            realm::test::expectStatusDriverError(&mainForm());
            QCOMPARE(mainForm().resultList().rowCount(), 0);
        }
        restartServer();
        expectPetFound();
    }
};

QTEST_MAIN(TestSqlServerReconnect)
#include "test_sqlserver_reconnect.moc"
