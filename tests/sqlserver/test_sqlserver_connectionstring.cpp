#include "data/DataError.h"
#include "data/odbc/ConnectionString.h"

#include <QTest>

using namespace Qt::StringLiterals;
using realm::GameServerLogin;
using realm::odbcConnectionString;

namespace {

using Pairs = QList<std::pair<QString, QString>>;

// Reads a connection string the way the FreeTDS driver does: a braced value
// runs to the first "}" followed by ";" or the end and is taken literally.
Pairs parseAsDriver(const QString &text)
{
    Pairs pairs;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype equals = text.indexOf(u'=', at);
        if (equals < 0)
            break;
        const QString key = text.sliced(at, equals - at).toUpper();
        qsizetype end;
        QString value;
        if (text.at(equals + 1) == u'{') {
            end = equals + 1;
            do
                end = text.indexOf(u'}', end + 1);
            while (end >= 0 && end + 1 < text.size() && text.at(end + 1) != u';');
            value = text.sliced(equals + 2, end - equals - 2);
            ++end;
        } else {
            end = text.indexOf(u';', equals);
            value = text.sliced(equals + 1, (end < 0 ? text.size() : end) - equals - 1);
        }
        pairs.append({key, value});
        at = end < 0 ? text.size() : end + 1;
    }
    return pairs;
}

// Reads a connection string by the ODBC rules Microsoft's drivers follow: a
// braced value runs to a single "}", a doubled one stands for "}".
Pairs parseAsOdbc(const QString &text)
{
    Pairs pairs;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype equals = text.indexOf(u'=', at);
        if (equals < 0)
            break;
        QString value;
        qsizetype end = equals + 1;
        if (text.at(end) == u'{') {
            for (++end; end < text.size(); ++end) {
                if (text.at(end) == u'}' && !(end + 1 < text.size() && text.at(end + 1) == u'}'))
                    break;
                value += text.at(end);
                end += text.at(end) == u'}' ? 1 : 0;
            }
            ++end;
        } else {
            end = text.indexOf(u';', equals);
            end = end < 0 ? text.size() : end;
            value = text.sliced(equals + 1, end - equals - 1);
        }
        pairs.append({text.sliced(at, equals - at).toUpper(), value});
        at = end + 1;
    }
    return pairs;
}

QString valueOf(const Pairs &pairs, const QString &key)
{
    for (const auto &[name, value] : pairs) {
        if (name == key)
            return value;
    }
    return QStringLiteral("<absent>");
}

QStringList keysOf(const Pairs &pairs)
{
    QStringList keys;
    for (const auto &pair : pairs)
        keys << pair.first;
    return keys;
}

GameServerLogin login(const QString &server, const QString &password = QStringLiteral("pw"),
                      const QString &userId = QStringLiteral("operator"))
{
    return {server, userId, password};
}

} // namespace

class TestConnectionString : public QObject {
    Q_OBJECT

private slots:
    void serverForms_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("instance");
        QTest::newRow("host") << u"gamedb"_s << u"gamedb"_s << 1433 << QString();
        QTest::newRow("host,port") << u"10.0.0.5,1533"_s << u"10.0.0.5"_s << 1533 << QString();
        QTest::newRow("blanks around the port") << u" 10.0.0.5 , 1533 "_s << u"10.0.0.5"_s << 1533 << QString();
        QTest::newRow("host\\instance") << u"gamedb\\SQLEXPRESS"_s << u"gamedb"_s << 0 << u"SQLEXPRESS"_s;
        QTest::newRow("host\\instance,port") << u"gamedb\\SQLEXPRESS,1600"_s << u"gamedb"_s << 1600 << QString();
        QTest::newRow("dot") << u"."_s << u"127.0.0.1"_s << 1433 << QString();
        QTest::newRow("(LOCAL) with port") << u"(LOCAL),1500"_s << u"127.0.0.1"_s << 1500 << QString();
        QTest::newRow(".\\instance") << u".\\SQLEXPRESS"_s << u"127.0.0.1"_s << 0 << u"SQLEXPRESS"_s;
        QTest::newRow("tcp: prefix") << u"tcp:gamedb,1433"_s << u"gamedb"_s << 1433 << QString();
        QTest::newRow("IPv6 in brackets") << u"[::1]"_s << u"::1"_s << 1433 << QString();
        QTest::newRow("IPv6 with port") << u"[fe80::1],1500"_s << u"fe80::1"_s << 1500 << QString();
        QTest::newRow("IPv6 with instance") << u"[::1]\\REALM"_s << u"::1"_s << 0 << u"REALM"_s;
    }

    // The connection string always names a port: the driver has none of its own.
    void serverForms()
    {
        QFETCH(QString, server);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, instance);
        const realm::ServerAddress address = realm::serverAddressOf(login(server));
        QCOMPARE(address.host, host);
        QCOMPARE(int(address.port), port);
        QCOMPARE(address.instance, instance);
        if (address.needsBrowser())
            return;
        const Pairs pairs = parseAsDriver(odbcConnectionString(login(server), address));
        QCOMPARE(valueOf(pairs, QStringLiteral("SERVER")), host);
        QCOMPARE(valueOf(pairs, QStringLiteral("PORT")), QString::number(port));
    }

    void wrongForms_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("host:port") << u"gamedb:1433"_s;
        QTest::newRow("port not a number") << u"gamedb,port"_s;
        QTest::newRow("port 0") << u"gamedb,0"_s;
        QTest::newRow("empty port") << u"gamedb,"_s;
        QTest::newRow("empty instance") << u"gamedb\\"_s;
        QTest::newRow("empty instance before a port") << u"gamedb\\,1433"_s;
        QTest::newRow("no host") << u"\\REALM"_s;
        QTest::newRow("IPv6 without brackets") << u"::1,1433"_s;
        QTest::newRow("unclosed bracket") << u"[::1,1433"_s;
        QTest::newRow("text after the bracket") << u"[::1]:1433"_s;
        QTest::newRow("blank in the host") << u"game db"_s;
    }

    void wrongForms()
    {
        QFETCH(QString, server);
        const auto parsed = realm::parseServerAddress(server);
        const QString *problem = std::get_if<QString>(&parsed);
        QVERIFY2(problem, qPrintable(server));
        QVERIFY2(problem->contains(server) && problem->contains(u"(local)"_s), qPrintable(*problem));
    }

    // Whatever the values hold, the driver must read exactly these keys
    // back, with the values unchanged.
    void oddValuesAddNoKeys_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("password");
        QTest::newRow("semicolon and brace") << u"operator"_s << u"p;w}d"_s;
        QTest::newRow("keyword in the password") << u"operator"_s << u"x;UID=sa;PWD=y"_s;
        QTest::newRow("ends with a brace") << u"operator"_s << u"secret}"_s;
        QTest::newRow("starts with a brace") << u"operator"_s << u"{secret"_s;
        QTest::newRow("doubled braces") << u"operator"_s << u"a}}b{{c"_s;
        QTest::newRow("equals and blanks") << u"op = 1"_s << u" = ;"_s;
        QTest::newRow("Chinese login") << u"管理员"_s << u"密码;}"_s;
    }

    void oddValuesAddNoKeys()
    {
        QFETCH(QString, userId);
        QFETCH(QString, password);
        const Pairs pairs = parseAsDriver(odbcConnectionString(login(QStringLiteral("gamedb,1433"), password, userId), {u"gamedb"_s, 1433, {}}));
        QCOMPARE(keysOf(pairs), (QStringList{u"DRIVER"_s, u"SERVER"_s, u"PORT"_s, u"ENCRYPTION"_s, u"APPLICATIONINTENT"_s, u"DATABASE"_s, u"UID"_s, u"PWD"_s, u"TDS_VERSION"_s, u"CLIENTCHARSET"_s, u"PACKETSIZE"_s}));
        QCOMPARE(valueOf(pairs, QStringLiteral("UID")), userId);
        QCOMPARE(valueOf(pairs, QStringLiteral("PWD")), password);
        QCOMPARE(valueOf(pairs, QStringLiteral("CLIENTCHARSET")), QStringLiteral("UTF-8"));
    }

    // Microsoft's drivers undo doubled braces, so for them even "};" is
    // escaped, not refused: every driver reads back the values unchanged.
    void oddValuesAddNoKeysForMicrosoftDrivers_data() { oddValuesAddNoKeys_data(); }
    void oddValuesAddNoKeysForMicrosoftDrivers()
    {
        QFETCH(QString, userId);
        QFETCH(QString, password);
        const GameServerLogin odd = login(QStringLiteral("gamedb,1433"), password + u"};PWD=x"_s, userId);
        for (const auto driver : {realm::SqlServerDriver::MicrosoftOdbc18, realm::SqlServerDriver::WindowsSqlServer}) {
            const Pairs pairs = parseAsOdbc(odbcConnectionString(driver, odd, {u"fe80::1"_s, 1500, {}}));
            QCOMPARE(valueOf(pairs, QStringLiteral("DRIVER")), realm::driverName(driver));
            QCOMPARE(valueOf(pairs, QStringLiteral("SERVER")), u"tcp:[fe80::1],1500"_s);
            QCOMPARE(valueOf(pairs, QStringLiteral("UID")), userId);
            QCOMPARE(valueOf(pairs, QStringLiteral("PWD")), odd.password);
            QCOMPARE(keysOf(pairs).count(u"PWD"_s), 1);
        }
    }

    // "};" would end a braced value early; it is refused without echoing
    // the secret.
    void closingBraceBeforeSemicolonIsRefused_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("userId");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("what");
        QTest::newRow("password") << u"gamedb"_s << u"operator"_s << u"ab};PWD=x"_s << u"密码"_s;
        QTest::newRow("login") << u"gamedb"_s << u"op};UID=sa"_s << u"hunter2"_s << u"登录名"_s;
        QTest::newRow("server") << u"gamedb};SERVER=evil"_s << u"operator"_s << u"hunter2"_s << u"服务器"_s;
    }

    void closingBraceBeforeSemicolonIsRefused()
    {
        QFETCH(QString, server);
        QFETCH(QString, userId);
        QFETCH(QString, password);
        QFETCH(QString, what);
        try {
            const GameServerLogin odd = login(server, password, userId);
            odbcConnectionString(odd, realm::serverAddressOf(odd));
            QFAIL("a value holding \"};\" was accepted");
        } catch (const realm::DataError &error) {
            QCOMPARE(error.number(), realm::ErrorNumber::BadArgument);
            QVERIFY2(error.text().contains(what), qPrintable(error.text()));
            QVERIFY2(!error.text().contains(password), qPrintable(error.text()));
        }
    }
};

QTEST_GUILESS_MAIN(TestConnectionString)
#include "test_sqlserver_connectionstring.moc"
