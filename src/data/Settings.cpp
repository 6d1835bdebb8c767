#include "data/Settings.h"

#include "data/IniFile.h"
#include "data/ServerAddress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
GameServerLogin readLogin(const IniFile &file, const QString &programFolder, bool &encryptionIsValid)
{
    GameServerLogin login;
    login.server = setting(file, QStringLiteral("serverip"));
    login.userId = setting(file, QStringLiteral("userid"));
    login.password = setting(file, QStringLiteral("password"));
    login.passwordFromKeyring = !login.userId.isEmpty() && !file.hasKey(Section, QStringLiteral("password"));
    const auto encryption = parseEncryption(setting(file, QStringLiteral("encrypt")));
    encryptionIsValid = encryption.has_value();
    login.encryption = encryption.value_or(login.encryption);
    login.caFile = caFilePath(setting(file, QStringLiteral("cafile")), programFolder);
    return login;
}

struct Validity {
    bool timeout = true;
    bool encryption = true;
};

QString settingsProblem(const Settings &settings, const IniFile &file, const QString &path, Validity valid)
{
    const QString fileProblem = file.problem(Section);
    if (!fileProblem.isEmpty())
        return fileProblem;
    if (!valid.timeout)
        return QStringLiteral("The settings file %1: querytimeout must be a whole number of seconds, 0 for none.").arg(path);
    if (!valid.encryption)
        return QCoreApplication::translate("realm::Settings", "设置文件 %1 中 [%2] 的 encrypt 只能是 no、request 或 require。").arg(path, Section);
    if (settings.login.server.isEmpty())
        return QStringLiteral("The settings file %1 names no game server: serverip in section [%2] is missing or empty.").arg(path, Section);
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
    Validity valid;
    settings.login = readLogin(file, programFolder, valid.encryption);
    settings.displayName = setting(file, QStringLiteral("name"));
    settings.gameDatabaseFile = setting(file, QStringLiteral("gamedb"));
    const auto timeout = parseQueryTimeout(setting(file, QStringLiteral("querytimeout")));
    settings.login.queryTimeoutSeconds = timeout.value_or(settings.login.queryTimeoutSeconds);
    valid.timeout = timeout.has_value();
    settings.problem = settingsProblem(settings, file, path, valid);
    return settings;
}

QString serverDisplayName(const Settings &settings)
{
    if (!settings.displayName.isEmpty())
        return settings.displayName;
    if (!settings.login.server.isEmpty())
        return settings.login.server;
    return QFileInfo(settings.gameDatabaseFile).fileName();
}

} // namespace realm
