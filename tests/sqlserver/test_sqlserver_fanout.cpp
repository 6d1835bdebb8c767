#include "../cli/CliRun.h"
#include "Fixtures.h"
#include "FormDriving.h"
#include "TdsServerProcess.h"
#include "ui/RowListModel.h"
#include "ui/main/Form1.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;
using realm::test::TdsServerProcess;

namespace {

constexpr int RealmRows = 3000;
const QString Password = u"realm-word"_s;

// A game file of its own for each realm, made by the generator.
void writeRealm(const realm::test::FixtureFolder &folder, const QString &file, int seed)
{
    QProcess generator;
    generator.start(QStringLiteral(GAMEDATA_PATH), {u"--rows"_s, QString::number(RealmRows), u"--items"_s, u"2000"_s, u"--seed"_s, QString::number(seed), u"--game"_s, folder.file(file)});
    QVERIFY(generator.waitForFinished(120000) && generator.exitCode() == 0);
}

QString serverSection(const QString &name, const QString &address, const QString &password, int timeout = 30)
{
    return u"[服务器:%1]\nserverip=%2\nuserid=operator\npassword=%3\nquerytimeout=%4\n"_s.arg(name, address, password)
        .arg(timeout);
}

// The rows of one game file as the command line reads it alone, through
// the embedded path: what the same search on its TDS server must give.
QList<QStringList> rowsOfFile(const QString &gameFile, const QStringList &keys)
{
    realm::test::FixtureFolder alone;
    QFile::copy(QFileInfo(gameFile).dir().filePath(u"db.mdb"_s), alone.file(u"db.mdb"_s));
    alone.writeIni(u"[基础设置]\ngamedb=%1\n"_s.arg(gameFile).toUtf8());
    const auto run = realm::test::runCli({u"--dir"_s, alone.path(), u"--format"_s, u"json"_s, u"equip"_s, u"--name"_s, u"李"_s});
    if (run.exitCode != 0)
        qWarning("%s", run.err.constData());
    return realm::test::jsonRowsAsShown(run.out, keys);
}

const QStringList RowKeys = {u"char_name"_s, u"item_id"_s, u"item_name"_s, u"amount"_s, u"enchant"_s, u"pet_name"_s};

} // namespace

// Several game servers searched at once through the real FreeTDS driver:
// three healthy TDS servers and an embedded file beside one server that
// refuses the login, one that stalls past its query timeout, one that does
// not listen and a damaged section. Each trouble stays its server's own.
class TestSqlServerFanOut : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_folder;
    std::vector<std::unique_ptr<TdsServerProcess>> m_servers;
    QString m_ini;

    TdsServerProcess &startServer(const QString &file, const QString &password, const QStringList &arguments = {})
    {
        TdsServerProcess::Options options = realm::test::standardServerOptions(m_folder, password);
        options.database = m_folder.file(file);
        options.logPath = m_folder.file(file + u".log"_s);
        options.arguments = arguments;
        m_servers.push_back(std::make_unique<TdsServerProcess>(options));
        QString problem;
        if (!m_servers.back()->start(&problem))
            qFatal("%s", qPrintable(problem));
        return *m_servers.back();
    }

    realm::test::CliRun run(const QStringList &arguments)
    {
        return realm::test::runCli(QStringList{u"--dir"_s, m_folder.path(), u"--lang"_s, u"en"_s} + arguments);
    }

private slots:
    void initTestCase()
    {
        m_folder.writeGenerated(RealmRows);
        for (int realm = 2; realm <= 4; ++realm)
            writeRealm(m_folder, u"realm%1.sqlite"_s.arg(realm), realm);
        QString ini = u"[基础设置]\nname=一区\ngamedb=realmdb.sqlite\n"_s;
        for (int realm = 2; realm <= 4; ++realm)
            ini += serverSection(QString::number(realm) + u"区"_s,
                                 startServer(u"realm%1.sqlite"_s.arg(realm), Password).serverAddress(), Password);
        ini += serverSection(u"拒绝"_s, startServer(u"realm2.sqlite"_s, Password).serverAddress(), u"wrong"_s);
        ini += serverSection(u"停滞"_s, startServer(u"realm3.sqlite"_s, Password, {u"--stall-on"_s, u"user_item"_s}).serverAddress(),
                             Password, 1);
        TdsServerProcess &closed = startServer(u"realm4.sqlite"_s, Password);
        closed.stop();
        ini += serverSection(u"关闭"_s, closed.serverAddress(), Password);
        ini += u"[服务器:坏]\nquerytimeout=soon\n"_s;
        m_folder.writeIni(ini.toUtf8());
        m_ini = ini;
    }

    void healthyServersGiveEveryRowOfTheirFiles()
    {
        const auto result = run({u"--all-servers"_s, u"--format"_s, u"json"_s, u"equip"_s, u"--name"_s, u"李"_s});
        const QString errors = QString::fromUtf8(result.err);
        QVERIFY2(result.exitCode == 1, qPrintable(errors));
        for (const QString &failing : {u"拒绝: "_s, u"停滞: "_s, u"关闭: "_s, u"坏: "_s})
            QVERIFY2(errors.contains(failing), qPrintable(errors));
        QVERIFY2(errors.contains(u"一区 "_s) && errors.contains(u"拒绝 login refused"_s) && errors.contains(u"停滞 timed out"_s)
                     && errors.contains(u"关闭 unreachable"_s),
                 qPrintable(errors));
        const QList<QStringList> rows = realm::test::jsonRowsAsShown(result.out, QStringList{u"server"_s} + RowKeys);
        const QStringList files = {u"realmdb.sqlite"_s, u"realm2.sqlite"_s, u"realm3.sqlite"_s, u"realm4.sqlite"_s};
        const QStringList names = {u"一区"_s, u"2区"_s, u"3区"_s, u"4区"_s};
        for (qsizetype server = 0; server < names.size(); ++server) {
            QList<QStringList> ofServer;
            for (const QStringList &row : rows) {
                if (row.constFirst() == names[server])
                    ofServer << row.mid(1);
            }
            const QList<QStringList> expected = rowsOfFile(m_folder.file(files[server]), RowKeys);
            QVERIFY(!expected.isEmpty());
            QCOMPARE(ofServer, expected);
        }
    }

    void serverColumnInEachFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("tsv") << u"tsv"_s << QByteArray("server\tchar_name\t");
        QTest::newRow("csv") << u"csv"_s << QByteArray("server,char_name,");
        QTest::newRow("json") << u"json"_s << QByteArray("[\n{\"server\":\"");
    }
    void serverColumnInEachFormat()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, start);
        const auto several = run({u"--server"_s, u"一区"_s, u"equip"_s, u"--server"_s, u"2区"_s, u"--format"_s, format, u"--name"_s, u"李"_s});
        QVERIFY2(several.exitCode == 0, several.err.constData());
        QVERIFY2(several.out.startsWith(start), several.out.left(80).constData());
        QVERIFY(several.out.contains("2区"));
        // One server chosen: today's columns.
        const auto one = run({u"--server"_s, u"2区"_s, u"equip"_s, u"--format"_s, format, u"--name"_s, u"李"_s});
        QVERIFY2(one.exitCode == 0, one.err.constData());
        QVERIFY(!one.out.contains("server") && !one.out.contains("2区"));
    }

    void unknownServerAndTheListing()
    {
        const auto unknown = run({u"--server"_s, u"9区"_s, u"equip"_s});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY2(unknown.err.contains("9区") && unknown.err.contains("一区, 2区, 3区"), unknown.err.constData());
        const auto listing = run({u"servers"_s});
        QCOMPARE(listing.exitCode, 0);
        QVERIFY(listing.out.contains("关闭\t127.0.0.1,") && listing.out.contains("\toperator\n"));
        QVERIFY(!listing.out.contains(Password.toUtf8()) && !listing.out.contains("wrong"));
    }

    // Ctrl+C while one server stalls (with time to spare before its
    // timeout) and the others have sent rows: every server stops, the lines
    // written are whole.
    void interruptStopsEveryServer()
    {
        TdsServerProcess &stalling = startServer(u"realm3.sqlite"_s, Password, {u"--stall-on"_s, u"user_item"_s});
        m_folder.writeIni((m_ini + serverSection(u"慢"_s, stalling.serverAddress(), Password, 120)).toUtf8());
        QProcess cli;
        cli.start(QStringLiteral(REALMQUERY_CLI_PATH), {u"--dir"_s, m_folder.path(), u"--server"_s, u"一区"_s, u"--server"_s, u"慢"_s, u"--server"_s, u"3区"_s, u"equip"_s});
        QVERIFY(cli.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(cli.bytesAvailable() > 0 || cli.state() == QProcess::NotRunning, 30000);
        QVERIFY(cli.state() == QProcess::Running);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(10000));
        QCOMPARE(cli.exitCode(), 130);
        const QByteArray out = cli.readAllStandardOutput();
        QVERIFY(out.startsWith("server\t") && out.endsWith('\n'));
    }

    // The window on three servers, one stalling: the others' rows show
    // with their server's name, and Stop ends every server's search at once.
    void windowStopStopsEveryServer()
    {
        TdsServerProcess &stalling = startServer(u"realm4.sqlite"_s, Password, {u"--stall-on"_s, u"user_item"_s});
        m_folder.writeIni((u"[基础设置]\nname=一区\ngamedb=realmdb.sqlite\n"_s
                           + serverSection(u"2区"_s, m_servers.front()->serverAddress(), Password)
                           + serverSection(u"慢"_s, stalling.serverAddress(), Password, 120))
                              .toUtf8());
        realm::ui::Form1 &form = realm::test::startProgram(m_folder.path());
        form.findChild<QLineEdit *>(u"Text1"_s)->setText(u"李"_s);
        form.findChild<QPushButton *>(u"Command1"_s)->click();
        const realm::ui::RowListModel &list = form.resultList();
        const auto serversShown = [&list] {
            QSet<QString> names;
            for (int row = 0; row < list.rowCount(); ++row)
                names << list.data(list.index(row, 0), Qt::DisplayRole).toString();
            return names;
        };
        QTRY_COMPARE_WITH_TIMEOUT(serversShown(), (QSet<QString>{u"一区"_s, u"2区"_s}), 30000);
        QVERIFY(form.isSearching());
        QElapsedTimer stopping;
        stopping.start();
        form.findChild<QPushButton *>(u"StopButton"_s)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.isSearching(), 5000);
        QVERIFY2(stopping.elapsed() < 3000, qPrintable(QString::number(stopping.elapsed())));
        QCOMPARE(list.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"服务器"_s);
        realm::ui::FormSlot<realm::ui::Form1>::instance().unload();
    }
};

QTEST_MAIN(TestSqlServerFanOut)
#include "test_sqlserver_fanout.moc"
