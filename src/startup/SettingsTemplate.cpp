#include "startup/SettingsTemplate.h"

#include "data/Module1.h"
#include "data/Settings.h"
#include "startup/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace realm {

QString missingSettingsReport()
{
    QString report = QCoreApplication::translate("realm::SettingsTemplate", "找不到 db.ini。依次查找过这些文件夹：") + u'\n';
    const QStringList folders = settingsSearchFolders();
    for (qsizetype i = 0; i < folders.size(); ++i)
        report += QStringLiteral("  %1. %2\n").arg(i + 1).arg(folders[i]);
    const QString folder = userSettingsFolder();
    report += QCoreApplication::translate("realm::SettingsTemplate", "请把 db.ini（[基础设置] 节：serverip、userid、password）放到 %1，\n"
                                                                     "并把物品文件 db.mdb 放在它旁边：%2。")
                  .arg(folder, itemDatabasePath(folder));
    // Only an installed program has the demo data beside it.
    if (QFileInfo(installedDemoFolder()).isDir())
        report += u'\n' + QCoreApplication::translate("realm::SettingsTemplate", "若要改用演示数据：--dir %1").arg(installedDemoFolder());
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
                          ";gamedb=%1\n"
                          "; name: what the windows and the command line call this server.\n"
                          ";name=\n"
                          "\n"
                          "; Each further game server: a section \"服务器:\" and its name, with the same\n"
                          "; keys (serverip, userid, password, querytimeout), for example:\n"
                          ";[服务器:二区]\n"
                          ";serverip=10.0.0.2\n"
                          ";userid=\n"
                          ";password=\n")
        .arg(demoGameDatabase)
        .toUtf8();
}

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// A folder that is there already is left as it is: the file's own mode
// keeps the password.
bool makeOwnFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    return QDir().mkpath(info.absolutePath()) && (QDir().mkdir(folder, OwnerOnly | QFile::ExeOwner) || QFileInfo(folder).isDir());
}

// Windows keeps who may read a file in access lists, which the mode bits Qt
// reports there do not show: the question has no answer from them.
bool othersMayRead(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    return QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther);
#endif
}

} // namespace

std::optional<QString> createSettingsTemplate(const QString &folder)
{
    if (!makeOwnFolder(folder))
        return QCoreApplication::translate("realm::SettingsTemplate", "无法创建文件夹 %1。").arg(folder);
    QFile file(settingsPath(folder));
    // NewOnly fails on any existing entry, a dangling link included.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly))
        return QCoreApplication::translate("realm::SettingsTemplate", "无法创建 %1：%2").arg(file.fileName(), file.errorString());
    const QByteArray text = settingsTemplate();
    if (file.write(text) == text.size() && file.flush())
        return std::nullopt;
    // A cut file would be found and read at the next start.
    const QString problem = QCoreApplication::translate("realm::SettingsTemplate", "无法写入 %1：%2").arg(file.fileName(), file.errorString());
    file.remove();
    return problem;
}

std::optional<QString> exposedPasswordNote(const QString &folder)
{
    const QString path = settingsPath(folder);
    if (!othersMayRead(path) || readSettings(folder).login.password.isEmpty())
        return std::nullopt;
    return QCoreApplication::translate("realm::SettingsTemplate", "警告：%1 中有 SQL Server 的密码，但其他用户也能读取这个文件。"
                                                                  "请只让自己可读：chmod 600 %1")
        .arg(path);
}

} // namespace realm
