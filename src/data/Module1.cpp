#include "data/Module1.h"

#include "data/DataError.h"
#include "data/ItemDatabase.h"
#include "data/LazyConnection.h"
#include "data/SqliteConnection.h"
#include "data/odbc/OdbcConnection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace realm {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(realm::Module1)
};

// A failure to open, told again with what the user can do about it.
template <class Open>
std::shared_ptr<Connection> openWithAdvice(Open open, const QString &advice)
{
    try {
        return open();
    } catch (const DataError &error) {
        throw DataError(error.number(), error.text() + u'\n' + advice);
    }
}

QString itemFileAdvice(const QString &programFolder)
{
    return Text::tr("程序在文件夹 %1 中查找物品文件 db.mdb。").arg(QDir::toNativeSeparators(programFolder));
}

QString settingsAdvice(const Settings &settings, const QString &programFolder)
{
    const QString path = QDir::toNativeSeparators(settingsPath(programFolder));
    const QString section = settings.section.isEmpty() ? QStringLiteral("基础设置") : settings.section;
    QString advice = Text::tr("游戏数据库的服务器设置在 %1 的 [%2] 节中：serverip、userid 和 password。").arg(path, section);
    const QFileInfo file(path);
    if (!file.exists())
        advice += u'\n' + Text::tr("该文件不存在。");
    else if (file.isFile() && settings.login.server.isEmpty() && settings.gameDatabaseFile.isEmpty())
        advice += u'\n' + Text::tr("其中没有设置服务器（serverip）。");
    return advice;
}

// A new recordset open on `sql`, fetched on the item connection's thread;
// the caller waits, so no lookup runs there meanwhile.
std::shared_ptr<Recordset> openOnItemThread(Module1 &module, const QString &sql)
{
    Connection &items = *module.itemConn;
    return module.runner.call(items, [&items, &sql] {
        auto recordset = std::make_shared<Recordset>();
        recordset->open(sql, items);
        return recordset;
    });
}

} // namespace

QString itemDatabasePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/db.mdb");
}

std::shared_ptr<Connection> openItemConnection(const QString &programFolder)
{
    return openWithAdvice([&] { return openItemDatabase(itemDatabasePath(programFolder)); },
                          itemFileAdvice(programFolder));
}

std::shared_ptr<Connection> openGameConnection(const Settings &settings, const QString &programFolder)
{
    return openWithAdvice(
        [&]() -> std::shared_ptr<Connection> {
            if (!settings.gameDatabaseFile.isEmpty())
                return SqliteConnection::openFile(QDir(programFolder).absoluteFilePath(settings.gameDatabaseFile));
            if (!settings.problem.isEmpty())
                throw DataError(ErrorNumber::SettingsFile, settings.problem);
            return std::make_shared<OdbcConnection>(settings.login);
        },
        settingsAdvice(settings, programFolder));
}

std::shared_ptr<Connection> openGameConnectionLater(const Settings &settings, const QString &programFolder, GameOpener openGame)
{
    const QString description = settings.gameDatabaseFile.isEmpty() ? settings.login.server : settings.gameDatabaseFile;
    return std::make_shared<LazyConnection>([settings, programFolder, openGame] { return openGame(settings, programFolder); },
                                            description);
}

void preloadItemNames(Module1 &module)
{
    module.rsItemNames = openOnItemThread(module, QStringLiteral("select * from item "));
    module.itemNames = ItemNameIndex(module.rsItemNames->table(), module.itemNameLanguage);
}

void openLookupSlot(Module1 &module)
{
    module.rsLookup = openOnItemThread(module, QStringLiteral("select * from item where id=1"));
}

void openSharedData(Module1 &module, const Settings &settings, const QString &programFolder, GameOpener openGame)
{
    module.itemConn = openItemConnection(programFolder);
    module.gameConn = openGame(settings, programFolder);
    module.servers = {{settings, module.gameConn}};
    preloadItemNames(module);
}

namespace {

// A server's trouble, behind its name.
QString serverProblem(const Settings &server, const QString &problem)
{
    return Text::tr("%1：%2").arg(server.displayName, problem);
}

std::shared_ptr<Connection> openBaseServer(Module1 &module, const Settings &base, const QString &programFolder, GameOpener openGame)
{
    if (!isUsable(base)) {
        module.serverProblems << serverProblem(base, base.problem);
        return openGameConnectionLater(base, programFolder, openGame);
    }
    try {
        return openGame(base, programFolder);
    } catch (const DataError &error) {
        module.serverProblems << serverProblem(base, error.message());
        return openGameConnectionLater(base, programFolder, openGame);
    }
}

} // namespace

void openGameServers(Module1 &module, const std::vector<Settings> &servers, const QString &programFolder, GameOpener openGame)
{
    if (servers.size() == 1) {
        module.gameConn = openGame(servers.front(), programFolder);
        module.servers = {{servers.front(), module.gameConn}};
        return;
    }
    module.gameConn = openBaseServer(module, servers.front(), programFolder, openGame);
    module.servers = {{servers.front(), module.gameConn}};
    for (auto server = servers.begin() + 1; server != servers.end(); ++server) {
        if (!isUsable(*server))
            module.serverProblems << serverProblem(*server, server->problem);
        module.servers.push_back({*server, openGameConnectionLater(*server, programFolder, openGame)});
    }
}

void openSharedData(Module1 &module, const std::vector<Settings> &servers, const QString &programFolder, GameOpener openGame)
{
    module.itemConn = openItemConnection(programFolder);
    openGameServers(module, servers, programFolder, openGame);
    preloadItemNames(module);
}

} // namespace realm
