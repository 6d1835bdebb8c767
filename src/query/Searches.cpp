#include "query/Searches.h"

#include "data/DataError.h"
#include "data/Module1.h"
#include "query/LookupQueries.h"
#include "query/Messages.h"

namespace realm {

namespace {

using Status = SearchOutcome::Status;

SearchOutcome failed(const DataError &error)
{
    return {Status::Failed, 0, error.message(), {}, error.number()};
}

SearchOutcome invalid(const InputError &error)
{
    return {Status::InvalidInput, 0, error.message(), {}};
}

SearchOutcome intoList(Connection &game, const SqlStatement &statement, ListFeed &list, StopFlag &stop)
{
    list.clearRows();
    try {
        game.run(statement.text, statement.parameters, list, stop);
    } catch (const DataError &error) {
        list.clearRows();
        return failed(error);
    }
    return {};
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

// One overload for each kind of search, chosen by std::visit.
struct Runner {
    Module1 &shared;
    // The game server's connection, or for a lookup the item file's.
    Connection &connection;
    ListFeed &list;
    StopFlag &stop;

    SearchOutcome operator()(const EquipmentSearch &search) const
    {
        TypedQuery query;
        try {
            query = equipmentQuery(search.filters);
        } catch (const InputError &error) {
            return invalid(error);
        }
        SearchOutcome outcome = intoList(connection, query.statement, list, stop);
        outcome.note = query.note;
        return outcome;
    }

    SearchOutcome operator()(const PetSearch &search) const
    {
        const auto statement = petQuery(search.petName);
        if (!statement)
            return {Status::NotRun, 0, messages::enterPetName(), {}};
        return intoList(connection, *statement, list, stop);
    }

    SearchOutcome operator()(const ItemLookup &search) const
    {
        std::optional<TypedQuery> query;
        try {
            query = itemLookupQuery(search.idText, search.nameText);
        } catch (const InputError &error) {
            return invalid(error);
        }
        if (!query)
            return {Status::NotRun, 0, messages::enterItemIdOrName(), {}};
        auto result = std::make_shared<Recordset>();
        list.clearRows();
        try {
            result->open(query->statement.text, *shared.itemConn, query->statement.parameters, stop, &list);
        } catch (const DataError &error) {
            return failed(error);
        }
        shared.rsLookup = result;
        return {Status::Done, 0, {}, query->note};
    }

    SearchOutcome operator()(const AccountLookup &search) const
    {
        if (search.characterName.isEmpty())
            return {Status::NotRun, 0, messages::enterCharacterName(), {}};
        const SqlStatement first = characterQuery(search.characterName);
        Recordset character;
        try {
            character.open(first.text, connection, first.parameters, stop);
        } catch (const DataError &error) {
            return failed(error);
        }
        // The list must not show another name's account under this message.
        if (character.recordCount() == 0) {
            list.clearRows();
            return {Status::NotFound, 0, messages::noSuchCharacter(first.parameters[0]), {}};
        }
        const QVariant account = character.field(u"account_name");
        if (account.isNull()) {
            listCharacterAlone(character.field(u"char_name"), list);
            return {Status::Done, 0, {}, messages::noAccount(first.parameters[0])};
        }
        return intoList(connection, accountCharactersQuery(account.toString()), list, stop);
    }
};

} // namespace

SearchOutcome runSearch(const Search &search, Module1 &shared, ListFeed &list, StopFlag &stop, std::size_t server)
{
    return std::visit(Runner{shared, *connectionOf(search, shared, server), list, stop}, search);
}

std::shared_ptr<Connection> gameConnectionOf(const Module1 &shared, std::size_t server)
{
    return server == 0 ? shared.gameConn : shared.servers.at(server).connection;
}

std::shared_ptr<Connection> connectionOf(const Search &search, const Module1 &shared, std::size_t server)
{
    return sourceOf(search) == SearchSource::ItemFile ? shared.itemConn : gameConnectionOf(shared, server);
}

} // namespace realm
