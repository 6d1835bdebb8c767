#include "data/DataError.h"
#include "data/OdbcConnection.h"

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
        QTest::addColumn<QString>("port");
        QTest::newRow("host") << u"gamedb"_s << u"gamedb"_s << u"<absent>"_s;
        QTest::newRow("host,port") << u"10.0.0.5,1533"_s << u"10.0.0.5"_s << u"1533"_s;
        QTest::newRow("blanks around the port") << u"10.0.0.5 , 1533"_s << u"10.0.0.5"_s << u"1533"_s;
        QTest::newRow("host\\instance") << u"gamedb\\SQLEXPRESS"_s << u"gamedb\\SQLEXPRESS"_s << u"<absent>"_s;
        QTest::newRow("dot") << u"."_s << u"127.0.0.1"_s << u"<absent>"_s;
        QTest::newRow("(local)") << u"(local)"_s << u"127.0.0.1"_s << u"<absent>"_s;
        QTest::newRow("(LOCAL) with port") << u"(LOCAL),1500"_s << u"127.0.0.1"_s << u"1500"_s;
        QTest::newRow(".\\instance") << u".\\SQLEXPRESS"_s << u"127.0.0.1\\SQLEXPRESS"_s << u"<absent>"_s;
        QTest::newRow("tcp: prefix") << u"tcp:gamedb,1433"_s << u"gamedb"_s << u"1433"_s;
    }

    void serverForms()
    {
        QFETCH(QString, server);
        QFETCH(QString, host);
        QFETCH(QString, port);
        const Pairs pairs = parseAsDriver(odbcConnectionString(login(server)));
        QCOMPARE(valueOf(pairs, QStringLiteral("SERVER")), host);
        QCOMPARE(valueOf(pairs, QStringLiteral("PORT")), port);
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
        const Pairs pairs = parseAsDriver(odbcConnectionString(login(QStringLiteral("gamedb,1433"), password, userId)));
        QCOMPARE(keysOf(pairs), (QStringList{u"DRIVER"_s, u"SERVER"_s, u"PORT"_s, u"DATABASE"_s, u"UID"_s, u"PWD"_s, u"TDS_VERSION"_s, u"CLIENTCHARSET"_s, u"PACKETSIZE"_s}));
        QCOMPARE(valueOf(pairs, QStringLiteral("UID")), userId);
        QCOMPARE(valueOf(pairs, QStringLiteral("PWD")), password);
        QCOMPARE(valueOf(pairs, QStringLiteral("CLIENTCHARSET")), QStringLiteral("UTF-8"));
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
            odbcConnectionString(login(server, password, userId));
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
