#pragma once

#include "query/ListFeed.h"
#include "query/Search.h"

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
        Stopped, // stopped on request; the rows that came stay
    };
    Status status = Status::Done;
    int rowCount = 0; // the rows the list was given, counted as it took them
    QString message;
    // What the operator should know beside the rows: a number box read
    // differently than typed, a character without an account.
    QString note;
    long errorNumber = 0; // of a failure: the driver's or this layer's number
};

// Runs any search on the thread of the connection it reads (see
// sourceOf), handing its rows to `list` as they are fetched; ends with
// StatementStopped once `stop` is raised. The list is emptied as the rows
// start and again when the query fails, except by the item lookup, whose
// caller keeps its last good grid; the rowCount is left to the caller,
// which counts what the list took.
//
// - Equipment and pet searches: one query on the game connection.
// - The item lookup: one query on the item connection; only a query that
//   worked replaces the shared lookup recordset.
// - The account lookup: the account of the first character with that
//   name, then every character of that account. A name that matches nobody
//   leaves the list as it was; a failing second query leaves it empty.
//
// `server` picks the game server of Module1::servers that the game
// searches read; 0, the base one, is gameConn.
SearchOutcome runSearch(const Search &search, Module1 &shared, ListFeed &list, StopFlag &stop, std::size_t server = 0);

// The connection a search reads, on `server` for the game searches.
std::shared_ptr<Connection> gameConnectionOf(const Module1 &shared, std::size_t server);
std::shared_ptr<Connection> connectionOf(const Search &search, const Module1 &shared, std::size_t server = 0);

} // namespace realm
