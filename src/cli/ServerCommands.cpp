#include "cli/ServerCommands.h"

#include "cli/OutputBuffer.h"
#include "cli/Terminal.h"
#include "data/DataError.h"
#include "startup/Keyring.h"
#include "startup/ProgramFolder.h"
#include "startup/ServerPassword.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <mutex>

namespace realm::cli {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(realm::cli::ServerCommands)
};

// SQL Server's number for a refused login: the server answered.
constexpr long LoginRefused = 18456;

QString passwordPrompt(const QString &serverName, const QString &userId)
{
    return Text::tr("服务器 %1（登录名 %2）的密码：").arg(serverName, userId);
}

// The server named `name`, or every server of the settings for no name; or
// why there is none of that name.
std::variant<std::vector<Settings>, QString> serversNamed(const QString &name)
{
    std::vector<Settings> servers = readServerProfiles(programFolder());
    if (name.isEmpty())
        return servers;
    QStringList names;
    for (Settings &server : servers) {
        if (server.displayName == name)
            return std::vector<Settings>{std::move(server)};
        names << server.displayName;
    }
    return Text::tr("没有名为“%1”的服务器；db.ini 中的服务器是：%2。").arg(name, names.join(Text::tr("、")));
}

QString yesOrNo(bool yes)
{
    return yes ? Text::tr("是") : Text::tr("否");
}

QString encryptionText(const ConnectionSecurity &security)
{
    switch (security.offer) {
    case ServerOffer::Full:
        if (security.verified())
            return Text::tr("开启，证书已验证（按 %1）").arg(security.caFile);
        return Text::tr("开启，证书未验证（没有设置 cafile）");
    case ServerOffer::LoginOnly:
        if (security.verdict == CertificateVerdict::Verified)
            return Text::tr("只加密登录数据包，证书已验证（按 %1）").arg(security.caFile);
        return Text::tr("只加密登录数据包，证书未验证");
    case ServerOffer::Unreachable:
        return Text::tr("由 ODBC 驱动程序决定（程序没能查看服务器的回答）");
    case ServerOffer::NoTls:
        break;
    }
    return Text::tr("关闭");
}

void writeFact(std::FILE *out, const QString &name, const QString &value)
{
    printLine(out, QStringLiteral("  %1: %2").arg(name, value));
}

// The facts of one server; false when it failed.
bool checkServer(const Settings &settings, Streams streams)
{
    printLine(streams.out, Text::tr("服务器 %1（%2）").arg(settings.displayName, settings.login.server));
    if (!isUsable(settings)) {
        printProblem(streams.err, settings.problem);
        return false;
    }
    std::shared_ptr<Connection> connection;
    try {
        connection = openGameServer(settings, programFolder());
        StopFlag neverRaised;
        const ConnectionFacts facts = connection->facts(neverRaised);
        writeFact(streams.out, Text::tr("应答"), yesOrNo(true));
        writeFact(streams.out, Text::tr("登录"), Text::tr("成功（登录名 %1）").arg(settings.login.userId));
        if (!facts.driver.isEmpty())
            writeFact(streams.out, Text::tr("ODBC 驱动程序"), facts.driver);
        writeFact(streams.out, Text::tr("TDS 版本"), facts.tdsVersion);
        writeFact(streams.out, Text::tr("服务器版本"), facts.serverVersion);
        writeFact(streams.out, Text::tr("加密"), encryptionText(facts.security));
        writeFact(streams.out, Text::tr("排序规则"), facts.collation);
        writeFact(streams.out, Text::tr("往返时间"), Text::tr("%1 毫秒").arg(facts.roundTrip.count()));
        return true;
    } catch (const DataError &error) {
        writeFact(streams.out, Text::tr("应答"), yesOrNo(error.number() == LoginRefused));
        writeFact(streams.out, Text::tr("登录"), Text::tr("失败"));
        printProblem(streams.err, error.message());
        return false;
    }
}

int changePassword(const ServerRequest &request, const std::vector<Settings> &servers, Streams streams)
{
    if (servers.size() != 1) {
        QStringList names;
        for (const Settings &server : servers)
            names << server.displayName;
        printProblem(streams.err, Text::tr("请指定一个服务器：%1。").arg(names.join(Text::tr("、"))));
        return ExitUsage;
    }
    const Settings &settings = servers.front();
    const QString &name = settings.displayName;
    if (request.forget) {
        const QString problem = keyring::forget(settings.login.server, settings.login.userId);
        if (!problem.isEmpty()) {
            printProblem(streams.err, problem);
            return ExitFailure;
        }
        printLine(streams.out, Text::tr("已从系统密钥环中删除服务器 %1（登录名 %2）的密码。").arg(name, settings.login.userId));
        return ExitSuccess;
    }
    const auto password = hasTerminal() ? readHidden(passwordPrompt(name, settings.login.userId)) : readLine(stdin);
    if (!password) {
        printProblem(streams.err, Text::tr("没有读到密码。"));
        return ExitFailure;
    }
    try {
        storeServerPassword(settings, programFolder(), *password);
    } catch (const DataError &error) {
        printProblem(streams.err, error.message() + u'\n' + Text::tr("系统密钥环中的密码没有改变。"));
        return ExitFailure;
    }
    printLine(streams.out, Text::tr("登录成功，服务器 %1（登录名 %2）的密码已保存在系统密钥环中。").arg(name, settings.login.userId));
    return ExitSuccess;
}

} // namespace

void askPasswordsOnTerminal()
{
    setPasswordPrompt([](const PasswordQuestion &question) -> std::optional<PasswordAnswer> {
        // Servers that connect at the same time ask one after another.
        static std::mutex oneAtATime;
        const std::lock_guard lock(oneAtATime);
        if (!question.keyringProblem.isEmpty())
            printProblem(stderr, question.keyringProblem);
        if (question.refused || !hasTerminal())
            return std::nullopt;
        const auto password = readHidden(passwordPrompt(question.serverName, question.userId));
        if (!password)
            return std::nullopt;
        return PasswordAnswer{*password, false};
    });
}

int runServerRequest(const ServerRequest &request, Streams streams)
{
    setProgramFolder(request.folder);
    const auto chosen = serversNamed(request.server);
    if (const auto *problem = std::get_if<QString>(&chosen)) {
        printProblem(streams.err, *problem);
        return ExitFailure;
    }
    const auto &servers = std::get<std::vector<Settings>>(chosen);
    if (request.kind == ServerRequest::Kind::Password)
        return changePassword(request, servers, streams);
    bool allAnswered = true;
    for (const Settings &server : servers)
        allAnswered = checkServer(server, streams) && allAnswered;
    return allAnswered ? ExitSuccess : ExitFailure;
}

} // namespace realm::cli
