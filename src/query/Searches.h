#pragma once

#include "query/EquipmentQuery.h"
#include "query/ReportSink.h"

namespace realm {

struct Module1;

// How a search ended, for the window's status line and the command line's
// exit status.
struct SearchOutcome {
    enum class Status {
        Done, // the query ran; rowCount rows
        NotRun, // nothing to search for: the window does nothing
        InvalidInput, // no query was built; message names the box
        Failed, // the database refused; message holds its text
        NotFound, // the account lookup found no such character
    };
    Status status = Status::Done;
    int rowCount = 0;
    QString message;
    // What the operator should know beside the rows: a number box read
    // differently than typed, a character without an account.
    QString note;
};

// The main window's two searches: the slot is closed and opened again with
// the query on the game connection, and the list is refilled from it, also
// when the query failed (then the list ends up empty).
SearchOutcome runEquipmentSearch(Module1 &module, const EquipmentFilters &filters, ReportSink &list);
SearchOutcome runPetSearch(Module1 &module, const QString &petName, ReportSink &list);

// The item lookup on the item connection. Only a query that worked replaces
// the rows of `rsLookup`; after a failure it keeps the last good result.
SearchOutcome runItemLookup(Module1 &module, const QString &idText, const QString &nameText);

// The account lookup: the account of the first character with that name,
// then every character of that account, into the two-column list. A name
// that matches nobody leaves the list as it was; a failing second query
// leaves it empty.
SearchOutcome runAccountLookup(Module1 &module, const QString &characterName, ReportSink &list);

// The designed columns of the item lookup's grid, by field name.
inline const QStringList ItemLookupFields = {QStringLiteral("id"), QStringLiteral("C"), QStringLiteral("E")};

} // namespace realm
