#include "query/Searches.h"

#include "data/DataError.h"
#include "data/Module1.h"
#include "query/AuditResults.h"
#include "query/BoxText.h"
#include "query/ItemIds.h"
#include "query/LookupQueries.h"
#include "query/Messages.h"
#include "query/NumberText.h"

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

const QString ItemTypeIn = QStringLiteral(" and user_item.item_type in ");

// The statement once for each slice of the ids that one request can carry,
// its rows streamed to the list as one result.
SearchOutcome slicesIntoList(Connection &game, const SqlStatement &statement, const std::vector<qint64> &ids,
                             ListFeed &list, StopFlag &stop)
{
    list.clearRows();
    try {
        for (const auto slice : requestSlices(ids, statement)) {
            const SqlStatement narrowed = withIdList(statement, slice, ItemTypeIn);
            game.run(narrowed.text, narrowed.parameters, list, stop);
        }
    } catch (const DataError &error) {
        list.clearRows();
        return failed(error);
    }
    return {};
}

// A name that no item has: no query runs, and the list is left empty, as
// by a search without rows.
SearchOutcome noItemNamed(const QString &nameText, ListFeed &list)
{
    list.clearRows();
    return {Status::Done, 0, {}, messages::noItemNamed(trimBlanks(nameText))};
}

QString joinedNotes(const QString &first, const QString &second)
{
    if (first.isEmpty() || second.isEmpty())
        return first + second;
    return first + messages::noteSeparator() + second;
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
        SearchOutcome outcome;
        if (search.filters.itemName.isEmpty())
            outcome = intoList(connection, query.statement, list, stop);
        else if (const std::vector<qint64> ids = namedIds(search.filters.itemName); ids.empty())
            outcome = noItemNamed(search.filters.itemName, list);
        else
            outcome = slicesIntoList(connection, query.statement, ids, list, stop);
        outcome.note = joinedNotes(query.note, outcome.note);
        return outcome;
    }

    SearchOutcome operator()(const TotalsSearch &search) const
    {
        TypedQuery query;
        try {
            query = equipmentQuery(search.filters);
        } catch (const InputError &error) {
            return invalid(error);
        }
        const SqlStatement totals = totalsQuery(query.statement, search.grouping);
        std::vector<SqlStatement> requests;
        if (search.filters.itemName.isEmpty())
            requests.push_back(totals);
        const std::vector<qint64> ids = namedIds(search.filters.itemName);
        for (const auto slice : requestSlices(ids, totals))
            requests.push_back(withIdList(totals, slice, ItemTypeIn, {}, itemListPlace(totals)));
        if (requests.empty())
            return withNote(noItemNamed(search.filters.itemName, list), query.note);
        list.clearRows();
        TotalsSum sum(search.grouping);
        try {
            for (const SqlStatement &request : requests)
                sum.add(*connection.query(request.text, request.parameters, stop));
            list.receive(sum.sortedTable());
        } catch (const DataError &error) {
            return failed(error);
        }
        return {Status::Done, 0, {}, query.note};
    }

    SearchOutcome operator()(const DuplicatesSearch &search) const
    {
        QString itemIdSql;
        QString note;
        if (!search.itemId.isEmpty()) {
            const auto id = readNumberBox(search.itemId, messages::itemIdBox());
            if (!id)
                return invalid(InputError(messages::numberOutOfRange(messages::itemIdBox())));
            itemIdSql = id->sqlText;
            note = id->note;
        }
        if (search.itemName.isEmpty())
            return withNote(intoList(connection, duplicatesQuery(itemIdSql), list, stop), note);
        std::vector<qint64> ids = namedIds(search.itemName);
        if (!itemIdSql.isEmpty())
            std::erase_if(ids, [number = itemIdSql.toDouble()](qint64 id) { return double(id) != number; });
        if (ids.empty())
            return withNote(noItemNamed(search.itemName, list), note);
        return withNote(duplicatesOfSlices(ids), note);
    }

    // Each slice's duplicates, merged by instance: an instance whose rows
    // are of several item types may be found by more than one slice.
    SearchOutcome duplicatesOfSlices(const std::vector<qint64> &ids) const
    {
        const SqlStatement duplicates = duplicatesQuery({});
        std::vector<std::shared_ptr<const ResultTable>> results;
        list.clearRows();
        try {
            for (const auto slice : requestSlices(ids, duplicates)) {
                const SqlStatement request = duplicatesOfItems(duplicates, slice);
                results.push_back(connection.query(request.text, request.parameters, stop));
            }
            list.receive(mergeDuplicates(results));
        } catch (const DataError &error) {
            return failed(error);
        }
        return {};
    }

    // The ids of the item file's entries named by the box; none for an
    // empty box.
    std::vector<qint64> namedIds(const QString &itemName) const
    {
        if (itemName.isEmpty() || !shared.rsItemNames)
            return {};
        return itemIdsNamed(*shared.rsItemNames->table(), itemName, shared.itemNameLanguage);
    }

    static SearchOutcome withNote(SearchOutcome outcome, const QString &note)
    {
        outcome.note = joinedNotes(note, outcome.note);
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
