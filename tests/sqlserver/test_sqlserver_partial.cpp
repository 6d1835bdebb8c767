#include "../cli/CliRun.h"
#include "Fixtures.h"
#include "TdsServerProcess.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using realm::test::TdsServerProcess;

// A server that ends a statement badly after some of its rows, or sends
// the rest slowly: the rows received are written whole, and a statement that
// failed part-way is a failed search, never a short success.
class TestSqlServerPartial : public QObject {
    Q_OBJECT

    static constexpr int EquipmentRows = 11;

private slots:
    void rowsBeforeTheEndAreWrittenAndTheEndDecidesTheStatus_data()
    {
        QTest::addColumn<QStringList>("misbehaviour");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("error");
        QTest::newRow("error after rows") << QStringList{u"--fail-after"_s, u"5"_s} << 1 << 5 << u"1205"_s;
        QTest::newRow("error flag alone after rows") << QStringList{u"--bare-error-after"_s, u"5"_s} << 1 << 5 << u"SQL Server"_s;
        QTest::newRow("error before any row") << QStringList{u"--fail-after"_s, u"0"_s} << 1 << 0 << u"1205"_s;
        QTest::newRow("hangs after rows") << QStringList{u"--stall-on"_s, u"user_item"_s, u"--stall-after"_s, u"4"_s} << 1 << 4
                                          << u"查询超时"_s;
        // A row each 0.45 s: a fetch waiting for a row array of four sees no
        // row for longer than the timeout, while data keeps coming.
        QTest::newRow("slow after a fast start") << QStringList{u"--trickle-after"_s, u"3"_s, u"--trickle-every"_s, u"0.45"_s} << 0
                                                 << EquipmentRows << QString();
    }
    void rowsBeforeTheEndAreWrittenAndTheEndDecidesTheStatus()
    {
        QFETCH(QStringList, misbehaviour);
        QFETCH(int, exitCode);
        QFETCH(int, rows);
        QFETCH(QString, error);
        realm::test::FixtureFolder folder;
        folder.writeStandard();
        TdsServerProcess::Options options = realm::test::standardServerOptions(folder, u"secret-word"_s);
        options.arguments = misbehaviour;
        TdsServerProcess server(options);
        QString problem;
        QVERIFY2(server.start(&problem), qPrintable(problem));
        folder.writeIni(realm::test::sqlServerIni(server.serverAddress(), u"operator"_s, u"secret-word"_s).toUtf8()
                        + "querytimeout=1\n");
        // A password readable by others earns a warning on standard error.
        QFile::setPermissions(folder.file(u"db.ini"_s), QFile::ReadOwner | QFile::WriteOwner);

        const realm::test::CliRun run
            = realm::test::runCli({u"--dir"_s, folder.path(), u"--format"_s, u"json"_s, u"equip"_s});
        const QString errors = QString::fromUtf8(run.err);
        QVERIFY2(run.exitCode == exitCode, qPrintable(errors));
        QCOMPARE(realm::test::jsonRowsAsShown(run.out, {u"char_name"_s}).size(), rows);
        if (error.isEmpty())
            QVERIFY2(errors.isEmpty(), qPrintable(errors));
        else
            QVERIFY2(errors.contains(error), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestSqlServerPartial)
#include "test_sqlserver_partial.moc"
