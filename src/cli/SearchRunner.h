#pragma once

#include "cli/TableWriters.h"
#include "query/EquipmentQuery.h"

#include <variant>

namespace realm::cli {

// What the user would type into each search's boxes.
struct EquipmentSearch {
    EquipmentFilters filters;
};
struct PetSearch {
    QString petName;
};
struct ItemLookup {
    QString idText;
    QString nameText;
};
struct AccountLookup {
    QString characterName;
};
using Search = std::variant<EquipmentSearch, PetSearch, ItemLookup, AccountLookup>;

struct Request {
    QString folder; // empty: the program's own folder
    OutputFormat format = OutputFormat::Tsv;
    Search search;
};

enum ExitStatus : int {
    ExitSuccess = 0,
    ExitFailure = 1, // the data could not be opened or the search failed
    ExitUsage = 2, // the command line, or the boxes, ask for no search
    ExitReaderGone = 141, // the output's reader closed it: stopped quietly, as by SIGPIPE
};

// Opens the connections the search needs, runs it in the background
// through the windows' own search functions and writes its rows to
// standard output as they come, messages to standard error. SIGINT and
// SIGTERM stop the search, leave whole lines and exit with 128 and the
// signal's number. Returns the exit status.
int runRequest(const Request &request);

} // namespace realm::cli
