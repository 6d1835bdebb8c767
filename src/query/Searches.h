#pragma once

#include "query/EquipmentQuery.h"
#include "query/ListFeed.h"

namespace realm {

class Connection;
class Recordset;

// How a search ended, for the window's status line and the command line's
// exit status.
struct SearchOutcome {
    enum class Status {
        Done, // the query ran; rowCount rows
        NotRun, // nothing to search for: the window does nothing
        InvalidInput, // no query was built; message names the box
        Failed, // the database refused; message holds its text
        NotFound, // the account lookup found no such character
        Stopped, // stopped on request; the rows that came stay
    };
    Status status = Status::Done;
    int rowCount = 0;
    QString message;
};

// Each search runs on the thread its caller gives it, hands its rows to the
// list as they are fetched and ends with StatementStopped once `stop` is
// raised.

// The main window's two searches: the slot is closed and opened again,
// forward-only, with the query on the game connection; the list is emptied
// as the rows start, and again when the query fails.
SearchOutcome runEquipmentSearch(Connection &game, Recordset &slot, const EquipmentFilters &filters, ListFeed &list,
                                 StopFlag &stop);
SearchOutcome runPetSearch(Connection &game, Recordset &slot, const QString &petName, ListFeed &list, StopFlag &stop);

// The item lookup on the item connection, its rows shown in `grid` as they
// come. Only a query that worked replaces the slot's recordset; after a
// failure the slot keeps the last good result.
SearchOutcome runItemLookup(Connection &items, std::shared_ptr<Recordset> &slot, const QString &idText,
                            const QString &nameText, ListFeed &grid, StopFlag &stop);

// The account lookup: the account of the first character with that name,
// then every character of that account, into the two-column list. A name
// that matches nobody leaves the list as it was; a failing second query
// leaves it empty.
SearchOutcome runAccountLookup(Connection &game, Recordset &slot, const QString &characterName, ListFeed &list,
                               StopFlag &stop);

} // namespace realm
