#include "CliRun.h"
#include "Fixtures.h"
#include "TdsServerProcess.h"
#include "startup/Keyring.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using realm::test::CliRun;
using realm::test::TdsServerProcess;

// Passwords in a real Secret Service (gnome-keyring-daemon in a private
// D-Bus session, see with_keyring.sh), through the command line and the
// real driver: the keyring changes only after a login succeeded.
class TestCliKeyring : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_folder;
    std::unique_ptr<TdsServerProcess> m_server;
    quint16 m_port = 0;

    void serve(const QString &password)
    {
        m_server.reset();
        TdsServerProcess::Options options = realm::test::standardServerOptions(m_folder, password);
        options.port = m_port;
        m_server = std::make_unique<TdsServerProcess>(options);
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        m_port = m_server->port();
        // A login without a password key: the password is in the keyring.
        m_folder.writeIni(u"[基础设置]\nname=游戏一服\nserverip=%1\nuserid=operator\n"_s.arg(m_server->serverAddress()).toUtf8());
    }
    QString address() const { return m_server->serverAddress(); }

    CliRun cli(const QStringList &arguments, const QByteArray &input = {},
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(REALMQUERY_CLI_PATH), QStringList{u"--dir"_s, m_folder.path()} + arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(120000))
            return {};
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }
    CliRun storePassword(const QString &password) { return cli({u"password"_s, u"游戏一服"_s}, password.toUtf8() + '\n'); }
    std::optional<QString> stored() const { return realm::keyring::read(address(), u"operator"_s).password; }

private slots:
    void initTestCase()
    {
        m_folder.writeItems(realm::test::standardItems());
        m_folder.writeGameDatabase(realm::test::standardGameSql());
        QVERIFY(realm::keyring::read(u"probe"_s, u"probe"_s).problem.isEmpty());
    }

    void storedOnlyAfterALoginSucceeded()
    {
        serve(u"龙门客栈-1"_s);
        QCOMPARE(storePassword(u"wrong"_s).exitCode, 1);
        QCOMPARE(stored(), std::nullopt);
        QCOMPARE(storePassword(u"龙门客栈-1"_s).exitCode, 0);
        QCOMPARE(stored(), u"龙门客栈-1"_s);
        const CliRun search = cli({u"account"_s, u"李逍遥"_s});
        QCOMPARE(search.exitCode, 0);
        QCOMPARE(search.out.count('\n'), 4);
    }

    void aChangedPasswordReplacesTheStoredOne()
    {
        serve(u"新密码-2"_s);
        const CliRun refused = cli({u"account"_s, u"李逍遥"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(QString::fromUtf8(refused.err).contains(u"realmquery-cli password 游戏一服"_s), refused.err.constData());
        QCOMPARE(storePassword(u"还是错的"_s).exitCode, 1);
        QCOMPARE(stored(), u"龙门客栈-1"_s);
        QCOMPARE(storePassword(u"新密码-2"_s).exitCode, 0);
        QCOMPARE(stored(), u"新密码-2"_s);
    }

    void forgottenWithoutATerminalFails()
    {
        QCOMPARE(cli({u"password"_s, u"游戏一服"_s, u"--forget"_s}).exitCode, 0);
        QCOMPARE(stored(), std::nullopt);
        const CliRun run = cli({u"account"_s, u"李逍遥"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(QString::fromUtf8(run.err).contains(u"没有服务器 游戏一服（登录名 operator）的密码"_s), run.err.constData());
    }

    void noKeyringServiceIsToldOnce()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path="_s + m_folder.file(u"no-bus"_s));
        const CliRun run = cli({u"account"_s, u"李逍遥"_s}, {}, environment);
        QCOMPARE(run.exitCode, 1);
        const QString err = QString::fromUtf8(run.err);
        QCOMPARE(err.count(u"无法使用系统密钥环"_s), 1);
        QVERIFY2(err.contains(u"realmquery-cli password"_s), qPrintable(err));
    }
    // Each server section has its own entry in the keyring (here the same
    // server under a second name); the second server connects on the
    // search's own thread and still finds it.
    void everyServerSectionReadsItsOwnPassword()
    {
        serve(u"两区-3"_s);
        const QString other = u"localhost,%1"_s.arg(m_port);
        m_folder.writeIni(u"[基础设置]\nname=游戏一服\nserverip=%1\nuserid=operator\n[服务器:二服]\nserverip=%2\nuserid=operator\n"_s
                              .arg(address(), other)
                              .toUtf8());
        QCOMPARE(storePassword(u"两区-3"_s).exitCode, 0);
        QCOMPARE(cli({u"password"_s, u"二服"_s}, "两区-3\n").exitCode, 0);
        QCOMPARE(realm::keyring::read(other, u"operator"_s).password, u"两区-3"_s);
        const CliRun both = cli({u"--all-servers"_s, u"account"_s, u"李逍遥"_s});
        QVERIFY2(both.exitCode == 0, both.err.constData());
        QCOMPARE(both.out.count("游戏一服\t"), 3);
        QCOMPARE(both.out.count("二服\t"), 3);
    }
};

QTEST_MAIN(TestCliKeyring)
#include "test_cli_keyring.moc"
