#include "data/Settings.h"

#include "data/IniFile.h"

namespace realm {

namespace {

const QString Section = QStringLiteral("基础设置");

// The profile value with blanks trimmed once more, so that blanks inside
// its quotes do not reach the login either.
QString setting(const QString &path, const QString &key)
{
    QString value = GetFromINI(Section, key, path);
    while (value.startsWith(u' '))
        value.remove(0, 1);
    while (value.endsWith(u' '))
        value.chop(1);
    return value;
}

} // namespace

QString settingsPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/db.ini");
}

Settings readSettings(const QString &programFolder)
{
    const QString path = settingsPath(programFolder);
    Settings settings;
    settings.login.server = setting(path, QStringLiteral("serverip"));
    settings.login.userId = setting(path, QStringLiteral("userid"));
    settings.login.password = setting(path, QStringLiteral("password"));
    settings.gameDatabaseFile = setting(path, QStringLiteral("gamedb"));
    return settings;
}

} // namespace realm
