#include "CliInProcess.h"
#include "TdsServerProcess.h"

#include <QFile>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using realm::test::CliRun;
using realm::test::TdsServerProcess;

namespace {

const QString Login = u"operator"_s;
const QString Password = u"Tls-秘密-42"_s;

bool runOpenssl(const QStringList &arguments, const QString &folder)
{
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(u"openssl"_s, arguments);
    return openssl.waitForFinished(60000) && openssl.exitCode() == 0;
}

// A certification authority and server certificates signed by it (or by a
// second authority the client does not trust), made fresh for each run.
struct Certificates {
    explicit Certificates(const QString &folder)
        : m_folder(folder)
    {
        ok = authority(u"ca"_s) && authority(u"stranger"_s) && server(u"localhost"_s, u"ca"_s, u"good"_s)
            && server(u"elsewhere.example"_s, u"ca"_s, u"otherhost"_s) && server(u"localhost"_s, u"stranger"_s, u"unknown"_s)
            && server(u"localhost"_s, u"ca"_s, u"expired"_s, u"-1"_s);
    }
    QString file(const QString &name) const { return m_folder + u'/' + name; }
    bool ok = false;

private:
    bool authority(const QString &name)
    {
        return runOpenssl({u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
                           u"-subj"_s, u"/CN=Test authority "_s + name, u"-keyout"_s, name + u".key"_s, u"-out"_s, name + u".pem"_s},
                          m_folder);
    }
    // Valid for `days` from now; -1 ends its validity a day before it begins.
    bool server(const QString &host, const QString &signer, const QString &name, const QString &days = u"2"_s)
    {
        QFile extensions(file(name + u".ext"_s));
        if (!extensions.open(QIODevice::WriteOnly))
            return false;
        extensions.write("subjectAltName=DNS:" + host.toUtf8() + "\n");
        extensions.close();
        return runOpenssl({u"req"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-subj"_s, u"/CN="_s + host,
                           u"-keyout"_s, name + u".key"_s, u"-out"_s, name + u".csr"_s},
                          m_folder)
            && runOpenssl({u"x509"_s, u"-req"_s, u"-in"_s, name + u".csr"_s, u"-CA"_s, signer + u".pem"_s, u"-CAkey"_s,
                           signer + u".key"_s, u"-CAcreateserial"_s, u"-days"_s, days, u"-extfile"_s, name + u".ext"_s,
                           u"-out"_s, name + u".pem"_s},
                          m_folder);
    }
    QString m_folder;
};

} // namespace

// Encryption through the real FreeTDS driver against the test server
// speaking TLS inside TDS: what is refused, with which words, and what the
// wire carries.
class TestSqlServerTls : public QObject {
    Q_OBJECT

    realm::test::FixtureFolder m_folder;
    std::unique_ptr<Certificates> m_certificates;

    std::unique_ptr<TdsServerProcess> startServer(const QString &tls, const QString &certificate)
    {
        TdsServerProcess::Options options = realm::test::standardServerOptions(m_folder, Password);
        options.login = Login;
        options.arguments = {u"--tls"_s, tls, u"--received"_s, m_folder.file(u"received.bin"_s)};
        if (!certificate.isEmpty())
            options.arguments << u"--cert"_s << m_certificates->file(certificate + u".pem"_s) << u"--key"_s
                              << m_certificates->file(certificate + u".key"_s);
        QFile::remove(m_folder.file(u"received.bin"_s));
        auto server = std::make_unique<TdsServerProcess>(options);
        QString error;
        if (!server->start(&error))
            qWarning("%s", qPrintable(error));
        return server;
    }

    // db.ini naming the server as "localhost", the host its certificate is for.
    void writeIni(const TdsServerProcess &server, const QString &extraKeys)
    {
        m_folder.writeIni(u"[基础设置]\nserverip=localhost,%1\nuserid=%2\npassword=%3\n%4\n"_s
                              .arg(server.port())
                              .arg(Login, Password, extraKeys)
                              .toUtf8());
    }

    CliRun cli(const QStringList &arguments)
    {
        return realm::test::runCliInProcess(QStringList{u"--dir"_s, m_folder.path()} + arguments);
    }

    QByteArray received() const
    {
        QFile file(m_folder.file(u"received.bin"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The login's password as the login packet scrambles it.
    static QByteArray scrambled(const QString &text)
    {
        QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        for (char &byte : bytes)
            byte = char((((uchar(byte) << 4) | (uchar(byte) >> 4)) & 0xFF) ^ 0xA5);
        return bytes;
    }
    static QByteArray utf16(const QString &text) { return {reinterpret_cast<const char *>(text.utf16()), text.size() * 2}; }

    void expectRefused(const CliRun &run, const QString &reason)
    {
        QCOMPARE(run.exitCode, 1);
        const QString err = QString::fromUtf8(run.err);
        QVERIFY2(err.contains(reason) && err.contains(u"localhost,"_s), qPrintable(err));
        QVERIFY2(!received().contains(utf16(Login)), "the login reached a server that was refused");
    }

private slots:
    void initTestCase()
    {
        m_folder.writeItems(realm::test::standardItems());
        m_folder.writeGameDatabase(realm::test::standardGameSql());
        m_certificates = std::make_unique<Certificates>(m_folder.path());
        QVERIFY2(m_certificates->ok, "openssl did not make the test certificates");
    }

    void requireRefusesAServerWithoutTls()
    {
        const auto server = startServer(u"off"_s, {});
        writeIni(*server, u"encrypt=require"_s);
        expectRefused(cli({u"account"_s, u"李逍遥"_s}), u"不支持加密连接"_s);
    }

    void verifiedConnectionRunsEverySearchAndHidesTheLogin()
    {
        const auto server = startServer(u"force"_s, u"good"_s);
        writeIni(*server, u"cafile="_s + m_certificates->file(u"ca.pem"_s));
        const CliRun equipment = cli({u"equip"_s, u"--name"_s, u"李逍遥"_s});
        QCOMPARE(equipment.exitCode, 0);
        QCOMPARE(equipment.out.count('\n'), 4);
        QCOMPARE(cli({u"pet"_s, u"小白"_s}).out.count('\n'), 2);
        QCOMPARE(cli({u"account"_s, u"赵灵儿"_s}).out.count('\n'), 4);
        const CliRun check = cli({u"check"_s});
        QCOMPARE(check.exitCode, 0);
        QVERIFY2(QString::fromUtf8(check.out).contains(u"证书已验证"_s), check.out.constData());
        QVERIFY2(QString::fromUtf8(check.out).contains(u"ODBC 驱动程序: FreeTDS"_s), check.out.constData());
        const QByteArray wire = received();
        QVERIFY(!wire.isEmpty());
        for (const QByteArray &secret : {utf16(Login), utf16(Password), scrambled(Password), utf16(u"user_data"_s)})
            QVERIFY2(!wire.contains(secret), "readable login data on the wire");
    }

    void certificateProblemsAreNamed_data()
    {
        QTest::addColumn<QString>("certificate");
        QTest::addColumn<QString>("reason");
        QTest::newRow("another host name") << u"otherhost"_s << u"属于另一个主机名"_s;
        QTest::newRow("another issuer") << u"unknown"_s << u"不是由"_s;
        QTest::newRow("expired") << u"expired"_s << u"证书已过期"_s;
    }
    void certificateProblemsAreNamed()
    {
        QFETCH(QString, certificate);
        QFETCH(QString, reason);
        const auto server = startServer(u"force"_s, certificate);
        writeIni(*server, u"cafile="_s + m_certificates->file(u"ca.pem"_s));
        expectRefused(cli({u"account"_s, u"李逍遥"_s}), reason);
    }
};

QTEST_MAIN(TestSqlServerTls)
#include "test_sqlserver_tls.moc"
