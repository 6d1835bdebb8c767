#include "CliRun.h"
#include "Fixtures.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// The command line stopped in the middle of a large search: by a signal,
// by a reader that closed the pipe, or by output that cannot be written.
class TestCliStop : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_folder;

private slots:
    void initTestCase() { m_folder.writeGenerated(600'000); }

    void signalStopsWithWholeLines_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("SIGINT") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
    }

    void signalStopsWithWholeLines()
    {
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QProcess process;
        process.start(QStringLiteral(REALMQUERY_CLI_PATH), {u"--dir"_s, m_folder.path(), u"equip"_s});
        QByteArray out;
        while (out.count('\n') < 2 && process.waitForReadyRead(20000))
            out += process.readAllStandardOutput();
        QVERIFY(out.count('\n') >= 2);
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(20000));
        out += process.readAllStandardOutput();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY(out.endsWith('\n'));
        const QList<QByteArray> lines = out.chopped(1).split('\n');
        QVERIFY2(lines.size() < 600'001, "the search was not stopped");
        for (const QByteArray &line : lines)
            QCOMPARE(line.count('\t'), 5);
        QCOMPARE(process.readAllStandardError(), QByteArray());
    }

    void closedPipeEndsQuietly()
    {
        QTemporaryDir dir;
        const QString errors = dir.filePath(u"stderr"_s);
        QProcess shell;
        shell.start(u"bash"_s, {u"-c"_s, uR"("$0" --dir "$1" equip 2>"$2" | head -1)"_s, QStringLiteral(REALMQUERY_CLI_PATH), m_folder.path(), errors});
        QVERIFY(shell.waitForFinished(20000));
        QCOMPARE(shell.exitCode(), 0);
        QCOMPARE(shell.readAllStandardOutput().count('\n'), 1);
        QFile error(errors);
        QVERIFY(error.open(QIODevice::ReadOnly));
        QCOMPARE(error.readAll(), QByteArray());
    }

    // A full disk is a failure, not a stop: exit 1 with a message.
    void fullDiskFailsLoudly()
    {
        QProcess process;
        process.setStandardOutputFile(u"/dev/full"_s);
        process.start(QStringLiteral(REALMQUERY_CLI_PATH), {u"--dir"_s, m_folder.path(), u"equip"_s});
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(!process.readAllStandardError().isEmpty());
    }
};

QTEST_MAIN(TestCliStop)
#include "test_cli_stop.moc"
