#include "data/odbc/ConnectionString.h"

#include "data/DataError.h"
#include "data/odbc/DriverChoice.h"
#include "data/odbc/DriverConfiguration.h"

#include <QCoreApplication>

namespace realm {

namespace {

// The FreeTDS driver reads a braced value up to the first "}" that is
// followed by ";" or the end, and takes everything inside literally (it does
// not undo doubled braces). So braces protect every value except one holding
// "};", which would end it early and let the rest be read as keywords.
QString braced(const QString &value, const QString &what)
{
    if (value.contains(QStringLiteral("};")))
        throw DataError(ErrorNumber::BadArgument,
                        QCoreApplication::translate("realm::ConnectionString", "%1中含有“};”，SQL Server 驱动程序无法接受。").arg(what));
    return u'{' + value + u'}';
}

// Microsoft's drivers read a braced value up to a single "}", and a doubled
// one as a "}" of the value, as the ODBC rules say.
QString bracedForMicrosoft(const QString &value, const QString &)
{
    return u'{' + QString(value).replace(u'}', QStringLiteral("}}")) + u'}';
}

QString encryptionValue(Encryption encryption)
{
    switch (encryption) {
    case Encryption::No:
        return QStringLiteral("off");
    case Encryption::Request:
        break;
    case Encryption::Require:
        return QStringLiteral("require");
    }
    return QStringLiteral("request");
}

// The driver finds no port of its own (it would try port 0), so the
// string always names one; a verified server is named by its section of
// the program's own driver configuration, which holds the certificate file.
QString serverPart(const GameServerLogin &login, const ServerAddress &address)
{
    if (!login.caFile.isEmpty() && login.encryption != Encryption::No)
        return QStringLiteral("SERVERNAME=%1;").arg(braced(privateServerSection(login, address), QCoreApplication::translate("realm::ConnectionString", "服务器")));
    return QStringLiteral("SERVER=%1;PORT=%2;Encryption=%3;")
        .arg(braced(address.host, QCoreApplication::translate("realm::ConnectionString", "服务器")))
        .arg(address.port)
        .arg(encryptionValue(login.encryption));
}


using Bracing = QString (*)(const QString &value, const QString &what);

QString loginKeys(const GameServerLogin &login, Bracing brace)
{
    return QStringLiteral("DATABASE={realmdb};UID=%1;PWD=%2;")
        .arg(brace(login.userId, QCoreApplication::translate("realm::ConnectionString", "登录名")),
             brace(login.password, QCoreApplication::translate("realm::ConnectionString", "密码")));
}

QString freeTdsConnectionString(const GameServerLogin &login, const ServerAddress &address)
{
    // Read-only intent routes to a readable secondary where there is one.
    QString text = QStringLiteral("DRIVER={FreeTDS};") + serverPart(login, address) + QStringLiteral("ApplicationIntent=ReadOnly;");
    // The largest packets the server allows: a large result then costs the
    // driver an eighth of the reads and packet headers of the default size.
    return text + loginKeys(login, braced) + QStringLiteral("TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767;");
}

// Microsoft's drivers take the port after the host, over TCP, an IPv6
// address in brackets. Driver 17 and 18 would encrypt and verify the
// server's certificate by default, which a server without one refuses: they
// encrypt only when the settings require it, and then verify the server
// against the Windows certificate store, or (driver 18) the certificate
// file of the settings.
QString microsoftEncryption(SqlServerDriver driver, const GameServerLogin &login)
{
    if (login.encryption != Encryption::Require)
        return driver == SqlServerDriver::WindowsSqlServer ? QString() : QStringLiteral("Encrypt=no;");
    QString text = QStringLiteral("Encrypt=yes;");
    if (driver == SqlServerDriver::MicrosoftOdbc18 && !login.caFile.isEmpty())
        text += QStringLiteral("ServerCertificate=%1;").arg(bracedForMicrosoft(login.caFile, {}));
    return text;
}

QString microsoftConnectionString(SqlServerDriver driver, const GameServerLogin &login, const ServerAddress &address)
{
    const QString host = address.host.contains(u':') ? u'[' + address.host + u']' : address.host;
    QString text = QStringLiteral("DRIVER={%1};SERVER=%2;")
                       .arg(driverName(driver),
                            bracedForMicrosoft(QStringLiteral("tcp:") + host + u',' + QString::number(address.port), {}));
    text += loginKeys(login, bracedForMicrosoft) + microsoftEncryption(driver, login);
    if (driver != SqlServerDriver::WindowsSqlServer)
        text += QStringLiteral("ApplicationIntent=ReadOnly;");
    return text;
}

} // namespace

QString odbcConnectionString(const GameServerLogin &login, const ServerAddress &address)
{
    return odbcConnectionString(sqlServerDriver(), login, address);
}

QString odbcConnectionString(SqlServerDriver driver, const GameServerLogin &login, const ServerAddress &address)
{
    return driver == SqlServerDriver::FreeTds ? freeTdsConnectionString(login, address)
                                              : microsoftConnectionString(driver, login, address);
}

ServerAddress serverAddressOf(const GameServerLogin &login)
{
    auto parsed = parseServerAddress(login.server);
    if (const auto *problem = std::get_if<QString>(&parsed))
        throw DataError(ErrorNumber::BadArgument, *problem);
    return std::get<ServerAddress>(std::move(parsed));
}

} // namespace realm
