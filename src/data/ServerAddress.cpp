#include "data/ServerAddress.h"

#include "data/DataError.h"
#include "data/Datagram.h"

#include <QCoreApplication>

#include <memory>

namespace realm {

namespace {

QString formsThatWork()
{
    return QCoreApplication::translate("realm::ServerAddress", "可用的写法：主机、主机,端口、主机\\实例、“.”或“(local)”，IPv6 地址写在方括号里，如 [::1],1433。");
}

QString wrongForm(const QString &text, const QString &why)
{
    return QCoreApplication::translate("realm::ServerAddress", "“%1”不是服务器地址：%2。%3").arg(text, why, formsThatWork());
}

bool isThisMachine(const QString &host)
{
    return host == u"." || host.compare(u"(local)", Qt::CaseInsensitive) == 0;
}

// Splits "[v6]rest" or "host rest" at the first "," or "\".
struct HostAndRest {
    QString host;
    QString rest;
};

std::variant<HostAndRest, QString> splitHost(const QString &text, const QString &whole)
{
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return wrongForm(whole, QCoreApplication::translate("realm::ServerAddress", "方括号没有闭合"));
        return HostAndRest{text.sliced(1, close - 1), text.sliced(close + 1)};
    }
    qsizetype end = 0;
    while (end < text.size() && text[end] != u',' && text[end] != u'\\')
        ++end;
    const QString host = text.first(end).trimmed();
    if (host.count(u':') > 1)
        return wrongForm(whole, QCoreApplication::translate("realm::ServerAddress", "IPv6 地址要写在方括号里"));
    if (host.contains(u':'))
        return wrongForm(whole, QCoreApplication::translate("realm::ServerAddress", "端口要用逗号隔开，不用冒号"));
    return HostAndRest{host, text.sliced(end)};
}

std::variant<quint16, QString> parsePort(const QString &text, const QString &whole)
{
    bool isNumber = false;
    const uint port = text.trimmed().toUInt(&isNumber);
    if (!isNumber || port == 0 || port > 65535)
        return wrongForm(whole, QCoreApplication::translate("realm::ServerAddress", "端口“%1”不是 1 到 65535 之间的数").arg(text.trimmed()));
    return quint16(port);
}

} // namespace

QString ServerAddress::text() const
{
    const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
    return needsBrowser() ? shownHost + u'\\' + instance : shownHost + u',' + QString::number(port);
}

std::variant<ServerAddress, QString> parseServerAddress(const QString &text)
{
    QString rest = text.trimmed();
    if (rest.startsWith(QStringLiteral("tcp:"), Qt::CaseInsensitive))
        rest = rest.sliced(4).trimmed();
    const auto split = splitHost(rest, text);
    if (const auto *problem = std::get_if<QString>(&split))
        return *problem;
    ServerAddress address;
    address.host = std::get<HostAndRest>(split).host;
    rest = std::get<HostAndRest>(split).rest;
    if (address.host.isEmpty() || address.host.contains(u' '))
        return wrongForm(text, QCoreApplication::translate("realm::ServerAddress", "缺少主机名"));
    if (isThisMachine(address.host))
        address.host = QStringLiteral("127.0.0.1");
    if (rest.startsWith(u'\\')) {
        const qsizetype comma = rest.indexOf(u',');
        address.instance = rest.sliced(1, (comma < 0 ? rest.size() : comma) - 1).trimmed();
        if (address.instance.isEmpty())
            return wrongForm(text, QCoreApplication::translate("realm::ServerAddress", "反斜杠后缺少实例名"));
        rest = comma < 0 ? QString() : rest.sliced(comma);
    }
    if (rest.isEmpty()) {
        address.port = address.instance.isEmpty() ? DefaultSqlServerPort : 0;
        return address;
    }
    if (!rest.startsWith(u','))
        return wrongForm(text, QCoreApplication::translate("realm::ServerAddress", "主机名后多了“%1”").arg(rest));
    // A port given beside an instance is where that instance listens.
    const auto port = parsePort(rest.sliced(1), text);
    if (const auto *problem = std::get_if<QString>(&port))
        return *problem;
    address.port = std::get<quint16>(port);
    address.instance.clear();
    return address;
}

namespace {

constexpr char BrowserService[] = "1434";
constexpr unsigned char InstanceQuery = 0x04;
constexpr unsigned char BrowserAnswer = 0x05;
// A lost datagram is asked again this often within the wait.
constexpr std::chrono::milliseconds AskAgainEvery{1000};

DataError browserSilent(const ServerAddress &address)
{
    return DataError(ErrorNumber::ServerUnreachable,
                     QCoreApplication::translate("realm::ServerAddress", "%1 上的 SQL Server Browser 没有回答实例 %2 的询问（UDP 端口 1434），找不到该实例的端口；"
                                                                         "请确认实例名，或在 db.ini 的 serverip 中写上端口（主机,端口）。")
                         .arg(address.host, address.instance));
}

// The TCP port in an answer "...;tcp;PORT;...", or 0.
quint16 tcpPortIn(const QByteArray &answer)
{
    if (answer.size() < 3 || static_cast<unsigned char>(answer[0]) != BrowserAnswer)
        return 0;
    const QList<QByteArray> fields = answer.sliced(3).split(';');
    for (qsizetype i = 0; i + 1 < fields.size(); ++i) {
        if (fields[i].compare("tcp", Qt::CaseInsensitive) == 0) {
            bool isNumber = false;
            const uint port = fields[i + 1].toUInt(&isNumber);
            return isNumber && port > 0 && port <= 65535 ? quint16(port) : 0;
        }
    }
    return 0;
}

} // namespace

quint16 askBrowserForPort(const ServerAddress &address, std::chrono::milliseconds wait)
{
    const QByteArray query = char(InstanceQuery) + address.instance.toLocal8Bit() + '\0';
    const DatagramAnswer answer = askOverUdp(address.host, BrowserService, query, wait, AskAgainEvery);
    if (!answer.hostFound)
        throw DataError(ErrorNumber::ServerUnreachable, QCoreApplication::translate("realm::ServerAddress", "找不到主机 %1。").arg(address.host));
    const quint16 port = tcpPortIn(answer.reply);
    if (port == 0)
        throw browserSilent(address);
    return port;
}

} // namespace realm
