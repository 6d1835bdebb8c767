#include "startup/ServerPassword.h"

#include "data/DataError.h"
#include "data/Module1.h"
#include "startup/Keyring.h"

#include <QCoreApplication>

#include <atomic>

namespace realm {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(realm::ServerPassword)
};

// SQL Server's number for a refused login.
constexpr long LoginRefused = 18456;

PasswordPrompt &prompt()
{
    static PasswordPrompt kept;
    return kept;
}

// The keyring's problem, the first time it is seen in this process.
QString keyringProblemOnce(const QString &problem)
{
    // Servers that connect at the same time may ask at once.
    static std::atomic<bool> told = false;
    if (problem.isEmpty() || told.exchange(true))
        return {};
    return problem;
}

DataError noPassword(const PasswordQuestion &question)
{
    return DataError(LoginRefused,
                     Text::tr("系统密钥环中没有服务器 %1（登录名 %2）的密码。请用“realmquery-cli password %1”保存一个，或在 db.ini 中写上 password。")
                         .arg(question.serverName, question.userId));
}

DataError storedPasswordRefused(const DataError &error, const PasswordQuestion &question)
{
    return DataError(error.number(), error.text() + u'\n' + Text::tr("系统密钥环中为 %1 保存的密码被拒绝。请用“realmquery-cli password %1”保存正确的密码。").arg(question.serverName));
}

std::shared_ptr<Connection> openWith(Settings settings, const QString &programFolder, const QString &password)
{
    settings.login.password = password;
    return openGameConnection(settings, programFolder);
}

std::optional<PasswordAnswer> ask(const PasswordQuestion &question)
{
    if (!prompt())
        return std::nullopt;
    return prompt()(question);
}

} // namespace

void setPasswordPrompt(PasswordPrompt given)
{
    prompt() = std::move(given);
}

std::shared_ptr<Connection> openGameServer(const Settings &settings, const QString &programFolder)
{
    if (!settings.login.passwordFromKeyring || !settings.gameDatabaseFile.isEmpty() || !settings.problem.isEmpty())
        return openGameConnection(settings, programFolder);
    const keyring::Lookup stored = keyring::read(settings.login.server, settings.login.userId);
    PasswordQuestion question{settings.displayName, settings.login.server, settings.login.userId, false,
                              keyringProblemOnce(stored.problem), stored.problem.isEmpty()};
    // The last refusal, told when the user is not asked again.
    std::optional<DataError> refusal;
    if (stored.password) {
        try {
            return openWith(settings, programFolder, *stored.password);
        } catch (const DataError &error) {
            if (error.number() != LoginRefused)
                throw;
            question.refused = true;
            refusal = storedPasswordRefused(error, question);
        }
    }
    for (;;) {
        const std::optional<PasswordAnswer> answer = ask(question);
        if (!answer)
            throw refusal.value_or(noPassword(question));
        try {
            auto connection = openWith(settings, programFolder, answer->password);
            if (answer->remember && question.keyringAvailable)
                keyring::store(settings.login.server, settings.login.userId, answer->password);
            return connection;
        } catch (const DataError &error) {
            if (error.number() != LoginRefused)
                throw;
            question.refused = true;
            question.keyringProblem.clear();
            refusal = error;
        }
    }
}

void storeServerPassword(const Settings &settings, const QString &programFolder, const QString &password)
{
    openWith(settings, programFolder, password);
    const QString problem = keyring::store(settings.login.server, settings.login.userId, password);
    if (!problem.isEmpty())
        throw DataError(ErrorNumber::SettingsFile, problem);
}

} // namespace realm
