#include "data/ProgramFolder.h"

#include "data/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace realm {

namespace {
QString &chosenFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolder()
{
    if (!chosenFolder().isEmpty())
        return chosenFolder();
    return findSettingsFolder().value_or(QCoreApplication::applicationDirPath());
}

void setProgramFolder(const QString &folder)
{
    chosenFolder() = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString userSettingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/realmquery");
}

QStringList settingsSearchFolders()
{
    return {QCoreApplication::applicationDirPath(), userSettingsFolder()};
}

std::optional<QString> findSettingsFolder()
{
    for (const QString &folder : settingsSearchFolders()) {
        if (QFileInfo(settingsPath(folder)).isFile())
            return folder;
    }
    return std::nullopt;
}

QString installedDemoFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" REALMQUERY_DATA_FROM_PROGRAM "/realmquery/demo"));
}

QString settingsSearchHelp()
{
    return QStringLiteral("Settings: db.ini is read from the folder given with --dir; without it, from the\n"
                          "program's own folder when that holds db.ini, else from $XDG_CONFIG_HOME/realmquery\n"
                          "(usually ~/.config/realmquery). db.mdb is read from the same folder as db.ini.");
}

} // namespace realm
