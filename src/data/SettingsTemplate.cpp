#include "data/SettingsTemplate.h"

#include "data/Module1.h"
#include "data/ProgramFolder.h"
#include "data/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace realm {

QString missingSettingsReport()
{
    QString report = QStringLiteral("No db.ini found. Looked in these folders, in this order:\n");
    const QStringList folders = settingsSearchFolders();
    for (qsizetype i = 0; i < folders.size(); ++i)
        report += QStringLiteral("  %1. %2\n").arg(i + 1).arg(folders[i]);
    const QString folder = userSettingsFolder();
    report += QStringLiteral("Put db.ini (section [基础设置]: serverip, userid, password) in %1,\n"
                             "and the item file db.mdb beside it: %2.")
                  .arg(folder, itemDatabasePath(folder));
    // Only an installed program has the demo data beside it.
    if (QFileInfo(installedDemoFolder()).isDir())
        report += QStringLiteral("\nTo try the demo data instead: --dir %1").arg(installedDemoFolder());
    return report;
}

QByteArray settingsTemplate()
{
    const QString demoGameDatabase = installedDemoFolder() + QStringLiteral("/realmdb.sqlite");
    return QStringLiteral("; Settings of realmquery. Fill in the game's SQL Server and a login that may\n"
                          "; read its database realmdb. The item file db.mdb goes into this folder.\n"
                          "[基础设置]\n"
                          "; host, host,port or host\\instance\n"
                          "serverip=\n"
                          "userid=\n"
                          "password=\n"
                          "; To try the program on the demo game database instead of SQL Server, remove\n"
                          "; the semicolon below and copy db.mdb from the demo folder here.\n"
                          ";gamedb=%1\n")
        .arg(demoGameDatabase)
        .toUtf8();
}

std::optional<QString> createSettingsTemplate(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("Could not make the folder %1.").arg(folder);
    QFile file(settingsPath(folder));
    // NewOnly fails on any existing entry, a dangling link included.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("Could not create %1: %2").arg(file.fileName(), file.errorString());
    const QByteArray text = settingsTemplate();
    if (file.write(text) == text.size() && file.flush())
        return std::nullopt;
    // A cut file would be found and read at the next start.
    const QString problem = QStringLiteral("Could not write %1: %2").arg(file.fileName(), file.errorString());
    file.remove();
    return problem;
}

} // namespace realm
