#include "InProcess.h"

#include "query/ResultList.h"
#include "query/Searches.h"
#include "ui/main/ResultColumns.h"

#include <stdexcept>

namespace bench {

namespace {

int rowsOf(const realm::SearchOutcome &outcome)
{
    if (outcome.status != realm::SearchOutcome::Status::Done)
        throw std::runtime_error(outcome.message.toStdString());
    return outcome.rowCount;
}

} // namespace

OpenFolder::OpenFolder(const QString &folder)
{
    realm::openSharedData(m_module, realm::readSettings(folder), folder);
    // The slots the item lookup and account windows make when they open.
    m_module.rsLookup = std::make_shared<realm::Recordset>();
    m_module.rsChars = std::make_shared<realm::Recordset>();
}

std::unique_ptr<realm::ui::ReportListModel> newResultList()
{
    return std::make_unique<realm::ui::ReportListModel>(realm::ui::headingsOf(realm::ui::resultColumns()));
}

int equipmentSearch(realm::Module1 &module, realm::ui::ReportListModel &list)
{
    const int rows = rowsOf(realm::runEquipmentSearch(module, {}, list));
    list.publishRows();
    return rows;
}

int petSearch(realm::Module1 &module, const QString &petName, realm::ui::ReportListModel &list)
{
    const int rows = rowsOf(realm::runPetSearch(module, petName, list));
    list.publishRows();
    return rows;
}

int itemLookup(realm::Module1 &module, const QString &nameFragment)
{
    return rowsOf(realm::runItemLookup(module, {}, nameFragment));
}

void preloadItems(const QString &folder)
{
    realm::Module1 module;
    module.itemConn = realm::openItemConnection(folder);
    realm::preloadItemNames(module);
}

int resolveItemNames(const realm::Module1 &module)
{
    const auto table = module.rsEquip->table();
    const int column = table->columnIndex(u"item_type");
    int found = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (module.itemNames.nameFor(table->integer(row, column)))
            ++found;
    }
    return found;
}

} // namespace bench
