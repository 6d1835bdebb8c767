#include "query/Searches.h"

#include "data/DataError.h"
#include "data/Module1.h"
#include "query/LookupQueries.h"
#include "query/ResultList.h"

#include <QCoreApplication>

namespace realm {

namespace {

using Status = SearchOutcome::Status;

SearchOutcome failed(const DataError &error)
{
    return {Status::Failed, 0, error.message()};
}

// A search closes its slot before opening it again; closing one that is
// not open is no fault.
void closeIfOpen(Recordset &recordset)
{
    if (recordset.isOpen())
        recordset.close();
}

SearchOutcome searchIntoList(Module1 &module, Recordset &slot, const SqlStatement &statement, ReportSink &list)
{
    closeIfOpen(slot);
    SearchOutcome outcome;
    try {
        slot.open(statement.text, *module.gameConn, statement.parameters);
        outcome.rowCount = slot.recordCount();
    } catch (const DataError &error) {
        outcome = failed(error);
    }
    fillResultList(slot, module.itemNames, list);
    return outcome;
}

void listCharacters(const Recordset &characters, ReportSink &list)
{
    const auto table = characters.table();
    const int name = table->columnIndex(u"char_name");
    const int account = table->columnIndex(u"account_name");
    list.clearRows();
    for (int row = 0; row < table->rowCount(); ++row) {
        list.addRow(name >= 0 && !table->isNull(row, name) ? std::optional(table->displayText(row, name)) : std::nullopt);
        if (account >= 0 && !table->isNull(row, account))
            list.setSubItem(1, table->displayText(row, account));
    }
}

} // namespace

SearchOutcome runEquipmentSearch(Module1 &module, const EquipmentFilters &filters, ReportSink &list)
{
    SqlStatement statement;
    try {
        statement = equipmentQuery(filters);
    } catch (const InputError &error) {
        return {Status::InvalidInput, 0, error.message()};
    }
    return searchIntoList(module, *module.rsEquip, statement, list);
}

SearchOutcome runPetSearch(Module1 &module, const QString &petName, ReportSink &list)
{
    const auto statement = petQuery(petName);
    if (!statement)
        return {Status::NotRun, 0, QCoreApplication::translate("realm::Searches", "请输入宠物名称。")};
    return searchIntoList(module, *module.rsPet, *statement, list);
}

SearchOutcome runItemLookup(Module1 &module, const QString &idText, const QString &nameText)
{
    std::optional<SqlStatement> statement;
    try {
        statement = itemLookupQuery(idText, nameText);
    } catch (const InputError &error) {
        return {Status::InvalidInput, 0, error.message()};
    }
    if (!statement)
        return {Status::NotRun, 0, QCoreApplication::translate("realm::Searches", "请输入装备ID或装备名称。")};
    auto result = std::make_shared<Recordset>();
    try {
        result->open(statement->text, *module.itemConn, statement->parameters);
    } catch (const DataError &error) {
        return failed(error);
    }
    if (module.rsLookup)
        closeIfOpen(*module.rsLookup);
    module.rsLookup = result;
    return {Status::Done, result->recordCount(), {}};
}

SearchOutcome runAccountLookup(Module1 &module, const QString &characterName, ReportSink &list)
{
    if (characterName.isEmpty())
        return {Status::NotRun, 0, QCoreApplication::translate("realm::Searches", "请输入角色名称。")};
    Recordset &slot = *module.rsChars;
    try {
        closeIfOpen(slot);
        const SqlStatement first = characterQuery(characterName);
        slot.open(first.text, *module.gameConn, first.parameters);
        if (slot.recordCount() == 0)
            return {Status::NotFound, 0, QCoreApplication::translate("realm::Searches", "没有名为“%1”的角色。").arg(first.parameters[0])};
        const QString account = slot.field(u"account_name").toString();
        slot.close();
        const SqlStatement second = accountCharactersQuery(account);
        try {
            slot.open(second.text, *module.gameConn, second.parameters);
        } catch (const DataError &) {
            list.clearRows();
            throw;
        }
    } catch (const DataError &error) {
        return failed(error);
    }
    listCharacters(slot, list);
    return {Status::Done, slot.recordCount(), {}};
}

} // namespace realm
