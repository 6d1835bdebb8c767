#include "data/Module1.h"

#include "data/DataError.h"
#include "data/ItemDatabase.h"
#include "data/SqliteConnection.h"

#include <QDir>

namespace realm {

Module1 &Module1::instance()
{
    static Module1 module;
    return module;
}

QString itemDatabasePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/db.mdb");
}

std::shared_ptr<Connection> openItemConnection(const QString &programFolder)
{
    return openItemDatabase(itemDatabasePath(programFolder));
}

std::shared_ptr<Connection> openGameConnection(const Settings &settings, const QString &programFolder)
{
    if (!settings.gameDatabaseFile.isEmpty())
        return SqliteConnection::openFile(QDir(programFolder).absoluteFilePath(settings.gameDatabaseFile));
    if (!settings.problem.isEmpty())
        throw DataError(ErrorNumber::SettingsFile, settings.problem);
    return std::make_shared<OdbcConnection>(settings.login);
}

void preloadItemNames(Module1 &module)
{
    module.rsItemNames = std::make_shared<Recordset>();
    module.rsItemNames->open(QStringLiteral("select * from item "), *module.itemConn);
    module.itemNames = ItemNameIndex(module.rsItemNames->table());
}

void openSharedData(Module1 &module, const Settings &settings, const QString &programFolder)
{
    module.itemConn = openItemConnection(programFolder);
    module.gameConn = openGameConnection(settings, programFolder);
    module.rsEquip = std::make_shared<Recordset>();
    module.rsPet = std::make_shared<Recordset>();
    preloadItemNames(module);
}

} // namespace realm
