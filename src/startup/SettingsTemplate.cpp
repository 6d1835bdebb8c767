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
    const auto comment = [](const char *text) { return QCoreApplication::translate("realm::SettingsTemplate", text); };
    return (comment(QT_TRANSLATE_NOOP("realm::SettingsTemplate",
                                      "; realmquery 的设置。请填写游戏的 SQL Server 和一个可以读取其数据库 realmdb 的登录名。\n"
                                      "; 物品文件 db.mdb 放在这个文件夹中。\n"))
            + QStringLiteral("[基础设置]\n")
            + comment(QT_TRANSLATE_NOOP("realm::SettingsTemplate", "; 主机、主机,端口 或 主机\\实例\n"))
            + QStringLiteral("serverip=\nuserid=\npassword=\n")
            + comment(QT_TRANSLATE_NOOP("realm::SettingsTemplate",
                                        "; 若要用演示游戏数据库代替 SQL Server 试用本程序，请删去下一行开头的分号，\n"
                                        "; 并把演示文件夹中的 db.mdb 复制到这里。\n"))
            + QStringLiteral(";gamedb=%1\n").arg(demoGameDatabase)
            + comment(QT_TRANSLATE_NOOP("realm::SettingsTemplate", "; name：窗口和命令行对这台服务器的称呼。\n"))
            + QStringLiteral(";name=\n\n")
            + comment(QT_TRANSLATE_NOOP("realm::SettingsTemplate",
                                        "; 其他每台游戏服务器：一个名为“服务器:”加名称的节，键与上面相同\n"
                                        "; （serverip、userid、password、querytimeout），例如：\n"))
            + QStringLiteral(";[服务器:二区]\n;serverip=10.0.0.2\n;userid=\n;password=\n"))
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
