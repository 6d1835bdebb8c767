#include "query/Searches.h"

#include "data/DataError.h"
#include "data/Recordset.h"
#include "query/LookupQueries.h"
#include "query/Messages.h"
#include "query/NumberText.h"

namespace realm {

namespace {

using Status = SearchOutcome::Status;

SearchOutcome failed(const DataError &error)
{
    return {Status::Failed, 0, error.message(), {}};
}

// A search closes its slot before opening it again; closing one that is
// not open is no fault.
void closeIfOpen(Recordset &recordset)
{
    if (recordset.isOpen())
        recordset.close();
}

SearchOutcome searchIntoList(Connection &game, Recordset &slot, const SqlStatement &statement, ListFeed &list,
                             StopFlag &stop)
{
    closeIfOpen(slot);
    list.clearRows();
    try {
        slot.openForwardOnly(statement.text, game, statement.parameters, list, stop);
    } catch (const DataError &error) {
        list.clearRows();
        return failed(error);
    }
    return {Status::Done, slot.recordCount(), {}, {}};
}

// A character whose account is Null has no account whose characters could
// be listed: it stands alone, with an empty account.
void listCharacterAlone(const QVariant &name, ListFeed &list)
{
    auto row = std::make_shared<ResultTable>(QStringList{QStringLiteral("char_name"), QStringLiteral("account_name")});
    name.isNull() ? row->appendNull() : row->appendText(name.toString());
    row->appendNull();
    list.clearRows();
    list.receive(row);
}

} // namespace

SearchOutcome runEquipmentSearch(Connection &game, Recordset &slot, const EquipmentFilters &filters, ListFeed &list,
                                 StopFlag &stop)
{
    SqlStatement statement;
    try {
        statement = equipmentQuery(filters);
    } catch (const InputError &error) {
        return {Status::InvalidInput, 0, error.message(), {}};
    }
    SearchOutcome outcome = searchIntoList(game, slot, statement, list, stop);
    outcome.note = equipmentNumberNotes(filters);
    return outcome;
}

SearchOutcome runPetSearch(Connection &game, Recordset &slot, const QString &petName, ListFeed &list, StopFlag &stop)
{
    const auto statement = petQuery(petName);
    if (!statement)
        return {Status::NotRun, 0, messages::enterPetName(), {}};
    return searchIntoList(game, slot, *statement, list, stop);
}

SearchOutcome runItemLookup(Connection &items, std::shared_ptr<Recordset> &slot, const QString &idText,
                            const QString &nameText, ListFeed &grid, StopFlag &stop)
{
    std::optional<SqlStatement> statement;
    try {
        statement = itemLookupQuery(idText, nameText);
    } catch (const InputError &error) {
        return {Status::InvalidInput, 0, error.message(), {}};
    }
    if (!statement)
        return {Status::NotRun, 0, messages::enterItemIdOrName(), {}};
    auto result = std::make_shared<Recordset>();
    grid.clearRows();
    try {
        result->open(statement->text, items, statement->parameters, stop, &grid);
    } catch (const DataError &error) {
        return failed(error);
    }
    if (slot)
        closeIfOpen(*slot);
    slot = result;
    return {Status::Done, result->recordCount(), {}, idText.isEmpty() ? QString() : numberReadNote(idText, messages::itemIdBox())};
}

SearchOutcome runAccountLookup(Connection &game, Recordset &slot, const QString &characterName, ListFeed &list,
                               StopFlag &stop)
{
    if (characterName.isEmpty())
        return {Status::NotRun, 0, messages::enterCharacterName(), {}};
    try {
        closeIfOpen(slot);
        const SqlStatement first = characterQuery(characterName);
        slot.open(first.text, game, first.parameters, stop);
        if (slot.recordCount() == 0)
            return {Status::NotFound, 0, messages::noSuchCharacter(first.parameters[0]), {}};
        const QVariant account = slot.field(u"account_name");
        if (account.isNull()) {
            listCharacterAlone(slot.field(u"char_name"), list);
            return {Status::Done, 1, {}, messages::noAccount(first.parameters[0])};
        }
        slot.close();
        const SqlStatement second = accountCharactersQuery(account.toString());
        list.clearRows();
        try {
            slot.open(second.text, game, second.parameters, stop, &list);
        } catch (const DataError &) {
            list.clearRows();
            throw;
        }
    } catch (const DataError &error) {
        return failed(error);
    }
    return {Status::Done, slot.recordCount(), {}, {}};
}

} // namespace realm
