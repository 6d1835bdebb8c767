#include "startup/Startup.h"

#include "startup/Language.h"
#include "startup/ProgramFolder.h"
#include "startup/ServerPassword.h"

namespace realm {

void openProgramData(Module1 &module, ItemNameLanguage itemNames)
{
    const QString folder = programFolder();
    module.itemNameLanguage = itemNames;
    openSharedData(module, readSettings(folder), folder, openGameServer);
}

ItemNameLanguage itemNamesOfInterface()
{
    return currentLanguage() == Language::English ? ItemNameLanguage::English : ItemNameLanguage::Chinese;
}

} // namespace realm
