#include "CliRun.h"
#include "Fixtures.h"

#include <QDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// A worksheet of 1,000,000 rows, read back whole by another reader, and one
// stopped halfway, which must leave nothing behind.
class TestCliXlsxMillion : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_folder;
    QTemporaryDir m_output;

private slots:
    void initTestCase() { m_folder.writeGenerated(1'000'000); }

    void everyCellAsTheTextShowsIt()
    {
        const QStringList equip = {u"--dir"_s, m_folder.path(), u"equip"_s};
        const QString path = m_output.filePath(u"million.xlsx"_s);
        const realm::test::CliRun written = realm::test::runCli(QStringList{u"--format=xlsx"_s, u"--output"_s, path} + equip,
                                                                QStringLiteral(REALMQUERY_CLI_PATH),
                                                                QProcessEnvironment::systemEnvironment(), 600000);
        QCOMPARE(written.exitCode, 0);
        const QList<QByteArray> expected = realm::test::runCli(equip).out.split('\n');
        const QStringList sheet = realm::test::readXlsx(path);
        QCOMPARE(sheet.size(), 1'000'001);
        QCOMPARE(expected.size(), sheet.size() + 1);
        for (qsizetype row = 0; row < sheet.size(); ++row) {
            const QStringList cells = sheet[row].split(u'\t');
            const QList<QByteArray> shown = expected[row].split('\t');
            QCOMPARE(cells.size(), shown.size());
            for (qsizetype column = 0; column < cells.size(); ++column) {
                QCOMPARE(cells[column].mid(2).toUtf8(), shown[column]);
                // Past the header, ids and amounts are numbers; enchant
                // levels keep their "+" as texts.
                const bool number = row > 0 && (column == 1 || column == 3);
                if (!shown[column].isEmpty())
                    QCOMPARE(cells[column].front(), number ? u'n' : u's');
            }
        }
    }

    void signalLeavesNoFile()
    {
        QTemporaryDir folder;
        QProcess process;
        process.start(QStringLiteral(REALMQUERY_CLI_PATH),
                      {u"--dir"_s, m_folder.path(), u"--format=xlsx"_s, u"--output"_s, folder.filePath(u"stopped.xlsx"_s), u"equip"_s});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(folder.path()).isEmpty(), 20000);
        QTest::qWait(300);
        // A pid of 0 would signal this test's own process group.
        QCOMPARE(process.state(), QProcess::Running);
        QVERIFY(process.processId() > 0);
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 130);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_MAIN(TestCliXlsxMillion)
#include "test_cli_xlsx_million.moc"
