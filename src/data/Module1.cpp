#include "data/Module1.h"

#include "data/ItemDatabase.h"
#include "data/SqliteConnection.h"

#include <QDir>

namespace realm {

Recordset &renewSlot(Module1 &module, Slot slot)
{
    static constexpr std::shared_ptr<Recordset> Module1::*Members[] = {
        &Module1::rsEquip, &Module1::rsPet, &Module1::rsLookup, &Module1::rsItemNames, &Module1::rsChars};
    std::shared_ptr<Recordset> &member = module.*Members[static_cast<std::size_t>(slot)];
    member = std::make_shared<Recordset>();
    return *member;
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
    return std::make_shared<OdbcConnection>(settings.login);
}

void preloadItemNames(Module1 &module)
{
    renewSlot(module, Slot::ItemNames).open(QStringLiteral("select * from item "), *module.itemConn);
    module.itemNames = ItemNameIndex(module.rsItemNames->table());
}

void openSharedData(Module1 &module, const Settings &settings, const QString &programFolder)
{
    module.itemConn = openItemConnection(programFolder);
    module.gameConn = openGameConnection(settings, programFolder);
    renewSlot(module, Slot::Equip);
    renewSlot(module, Slot::Pet);
    preloadItemNames(module);
}

} // namespace realm
