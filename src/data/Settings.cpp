#include "data/Settings.h"

#include "data/IniFile.h"
#include "data/ServerAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace realm {

namespace {

const QString BaseSection = QStringLiteral("基础设置");

// The sections of further servers: "服务器:" and the display name; a
// full-width colon, as a Chinese keyboard types it, counts too.
std::optional<QString> furtherServerName(const QString &section)
{
    for (const QString &prefix : {QStringLiteral("服务器:"), QStringLiteral("服务器：")}) {
        if (section.startsWith(prefix))
            return section.sliced(prefix.size()).trimmed();
    }
    return std::nullopt;
}

// The profile value with blanks trimmed once more, so that blanks inside
// its quotes do not reach the login either.
QString setting(const IniFile &file, const QString &section, const QString &key)
{
    QString value = file.value(section, key);
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

std::optional<Encryption> parseEncryption(const QString &text)
{
    if (text.isEmpty() || text.compare(u"request", Qt::CaseInsensitive) == 0)
        return Encryption::Request;
    if (text.compare(u"no", Qt::CaseInsensitive) == 0)
        return Encryption::No;
    if (text.compare(u"require", Qt::CaseInsensitive) == 0)
        return Encryption::Require;
    return std::nullopt;
}

// A relative certificate file is found beside the settings file.
QString caFilePath(const QString &value, const QString &programFolder)
{
    return value.isEmpty() ? value : QDir(programFolder).absoluteFilePath(value);
}

// Reads the login of the section; the keys that may be missing say so.
GameServerLogin readLogin(const IniFile &file, const QString &section, const QString &programFolder, bool &encryptionIsValid)
{
    GameServerLogin login;
    login.server = setting(file, section, QStringLiteral("serverip"));
    login.userId = setting(file, section, QStringLiteral("userid"));
    login.password = setting(file, section, QStringLiteral("password"));
    login.passwordFromKeyring = !login.userId.isEmpty() && !file.hasKey(section, QStringLiteral("password"));
    const auto encryption = parseEncryption(setting(file, section, QStringLiteral("encrypt")));
    encryptionIsValid = encryption.has_value();
    login.encryption = encryption.value_or(login.encryption);
    login.caFile = caFilePath(setting(file, section, QStringLiteral("cafile")), programFolder);
    return login;
}

struct Validity {
    bool timeout = true;
    bool encryption = true;
};

QString settingsProblem(const Settings &settings, const IniFile &file, const QString &path, Validity valid)
{
    const QString &section = settings.section;
    const QString fileProblem = file.problem(section);
    if (!fileProblem.isEmpty())
        return fileProblem;
    if (!valid.timeout)
        return QCoreApplication::translate("realm::Settings", "设置文件 %1：[%2] 节的 querytimeout 必须是整数秒，0 表示不限时。").arg(path, section);
    if (!valid.encryption)
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 中 [%2] 的 encrypt 只能是 no、request 或 require。").arg(path, section);
    if (settings.login.server.isEmpty())
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 没有指定游戏服务器：[%2] 节的 serverip 缺失或为空。").arg(path, section);
    const auto address = parseServerAddress(settings.login.server);
    if (const auto *problem = std::get_if<QString>(&address))
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 中 [%2] 的 serverip 写得不对：%3").arg(path, section, *problem);
    return {};
}

// The base server's name: its "name", else its game file without the
// folder, else its address.
QString baseDisplayName(const Settings &base, const IniFile &file)
{
    const QString name = setting(file, BaseSection, QStringLiteral("name"));
    if (!name.isEmpty())
        return name;
    if (!base.gameDatabaseFile.isEmpty())
        return QFileInfo(base.gameDatabaseFile).fileName();
    return base.login.server;
}

// One section's keys, the same for every server.
Settings readSection(const IniFile &file, const QString &path, const QString &programFolder, const QString &section)
{
    Settings settings;
    Validity valid;
    settings.section = section;
    settings.login = readLogin(file, section, programFolder, valid.encryption);
    settings.gameDatabaseFile = setting(file, section, QStringLiteral("gamedb"));
    const auto timeout = parseQueryTimeout(setting(file, section, QStringLiteral("querytimeout")));
    settings.login.queryTimeoutSeconds = timeout.value_or(settings.login.queryTimeoutSeconds);
    valid.timeout = timeout.has_value();
    settings.problem = settingsProblem(settings, file, path, valid);
    return settings;
}

QString nameProblem(const std::vector<Settings> &before, const Settings &server, const QString &path)
{
    if (server.displayName.isEmpty())
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 中的节 [%2] 没有给出服务器名称。").arg(path, server.section);
    for (const Settings &earlier : before) {
        if (earlier.displayName.compare(server.displayName, Qt::CaseInsensitive) == 0)
            return QCoreApplication::translate("realm::Settings", "设置文件 %1 中的节 [%2]：服务器名称“%3”已被 [%4] 使用。")
                .arg(path, server.section, server.displayName, earlier.section);
    }
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
    Settings base = readSection(file, path, programFolder, BaseSection);
    base.displayName = baseDisplayName(base, file);
    return base;
}

std::vector<Settings> readServerProfiles(const QString &programFolder)
{
    const QString path = settingsPath(programFolder);
    const IniFile file(path);
    std::vector<Settings> servers{readSection(file, path, programFolder, BaseSection)};
    servers.front().displayName = baseDisplayName(servers.front(), file);
    for (const QString &section : file.sectionNames()) {
        const auto name = furtherServerName(section);
        if (!name)
            continue;
        Settings server = readSection(file, path, programFolder, section);
        server.displayName = *name;
        const QString problem = nameProblem(servers, server, path);
        if (!problem.isEmpty()) {
            server.problem = problem;
            server.gameDatabaseFile.clear();
        }
        servers.push_back(std::move(server));
    }
    return servers;
}

bool isUsable(const Settings &server)
{
    return !server.gameDatabaseFile.isEmpty() || server.problem.isEmpty();
}

} // namespace realm
