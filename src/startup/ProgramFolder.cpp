#include "startup/ProgramFolder.h"

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
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" REALMQUERY_DEMO_FROM_PROGRAM));
}

QString settingsSearchHelp()
{
#ifdef Q_OS_WIN
    return QCoreApplication::translate("realm::ProgramFolder", "设置：db.ini 从 --dir 指定的文件夹读取；没有 --dir 时，若程序所在的文件夹中有 db.ini\n"
                                                               "就从那里读取，否则从 %LOCALAPPDATA%\\realmquery 读取。\n"
                                                               "db.mdb 从 db.ini 所在的文件夹读取。");
#else
    return QCoreApplication::translate("realm::ProgramFolder", "设置：db.ini 从 --dir 指定的文件夹读取；没有 --dir 时，若程序所在的文件夹中有 db.ini\n"
                                                               "就从那里读取，否则从 $XDG_CONFIG_HOME/realmquery（通常是 ~/.config/realmquery）\n"
                                                               "读取。db.mdb 从 db.ini 所在的文件夹读取。");
#endif
}

} // namespace realm
