#include "data/Settings.h"

#include "data/IniFile.h"

namespace realm {

namespace {
const QString Section = QStringLiteral("基础设置");
}

QString settingsPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/db.ini");
}

Settings readSettings(const QString &programFolder)
{
    const QString path = settingsPath(programFolder);
    Settings settings;
    settings.login.server = trimBlanks(GetFromINI(Section, QStringLiteral("serverip"), path));
    settings.login.userId = trimBlanks(GetFromINI(Section, QStringLiteral("userid"), path));
    settings.login.password = trimBlanks(GetFromINI(Section, QStringLiteral("password"), path));
    settings.gameDatabaseFile = trimBlanks(GetFromINI(Section, QStringLiteral("gamedb"), path));
    return settings;
}

} // namespace realm
