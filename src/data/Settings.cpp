#include "data/Settings.h"

#include "data/IniFile.h"
#include "data/ServerAddress.h"

#include <QCoreApplication>

#include <optional>

namespace realm {

namespace {

const QString Section = QStringLiteral("基础设置");

// The profile value with blanks trimmed once more, so that blanks inside
// its quotes do not reach the login either.
QString setting(const IniFile &file, const QString &key)
{
    QString value = file.value(Section, key);
    while (value.startsWith(u' '))
        value.remove(0, 1);
    while (value.endsWith(u' '))
        value.chop(1);
    return value;
}

// Empty: the default; otherwise a whole number of seconds from 0 up.
std::optional<int> parseQueryTimeout(const QString &text)
{
    if (text.isEmpty())
        return GameServerLogin{}.queryTimeoutSeconds;
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < 0)
        return std::nullopt;
    return seconds;
}

QString settingsProblem(const Settings &settings, const IniFile &file, const QString &path, bool timeoutIsValid)
{
    const QString fileProblem = file.problem(Section);
    if (!fileProblem.isEmpty())
        return fileProblem;
    if (!timeoutIsValid)
        return QCoreApplication::translate("realm::Settings", "设置文件 %1：querytimeout 必须是整数秒，0 表示不限时。").arg(path);
    if (settings.login.server.isEmpty())
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 没有指定游戏服务器：[%2] 节的 serverip 缺失或为空。").arg(path, Section);
    const auto address = parseServerAddress(settings.login.server);
    if (const auto *problem = std::get_if<QString>(&address))
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 中 [%2] 的 serverip 写得不对：%3").arg(path, Section, *problem);
    return {};
}

} // namespace

QString settingsPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/db.ini");
}

Settings readSettings(const QString &programFolder)
{
    const QString path = settingsPath(programFolder);
    const IniFile file(path);
    Settings settings;
    settings.login.server = setting(file, QStringLiteral("serverip"));
    settings.login.userId = setting(file, QStringLiteral("userid"));
    settings.login.password = setting(file, QStringLiteral("password"));
    settings.gameDatabaseFile = setting(file, QStringLiteral("gamedb"));
    const auto timeout = parseQueryTimeout(setting(file, QStringLiteral("querytimeout")));
    settings.login.queryTimeoutSeconds = timeout.value_or(settings.login.queryTimeoutSeconds);
    settings.problem = settingsProblem(settings, file, path, timeout.has_value());
    return settings;
}

} // namespace realm
