#include "startup/Startup.h"

#include "data/DataError.h"
#include "startup/Language.h"
#include "startup/ProgramFolder.h"
#include "startup/ServerPassword.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace realm {

void requireFolder(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        throw DataError(ErrorNumber::FolderNotFound,
                        QCoreApplication::translate("realm::Startup", "找不到文件夹 %1。").arg(QDir::toNativeSeparators(folder)));
}

void openProgramData(Module1 &module, ItemNameLanguage itemNames)
{
    const QString folder = programFolder();
    requireFolder(folder);
    module.itemNameLanguage = itemNames;
    openSharedData(module, readServerProfiles(folder), folder, openGameServer);
}

ItemNameLanguage itemNamesOfInterface()
{
    return currentLanguage() == Language::English ? ItemNameLanguage::English : ItemNameLanguage::Chinese;
}

} // namespace realm
