#pragma once

#include "cli/TableWriters.h"
#include "data/ItemNameIndex.h"
#include "query/Search.h"

#include <cstdio>

namespace realm::cli {

struct Request {
    QString folder; // empty: the program's own folder
    OutputFormat format = OutputFormat::Tsv;
    QString output; // the file an xlsx table goes to
    ItemNameLanguage itemNames = ItemNameLanguage::Chinese;
    Search search;
    // The game servers to read, by display name; empty: the base server.
    QStringList serverNames;
    bool allServers = false;
};

// The `servers` command: the configured servers, without passwords.
struct ServerListing {
    QString folder;
    OutputFormat format = OutputFormat::Tsv;
};

// Where the rows and the messages go: standard output and standard error
// for the program, files of their own for a test.
struct Streams {
    std::FILE *out = stdout;
    std::FILE *err = stderr;
};

enum ExitStatus : int {
    ExitSuccess = 0,
    ExitFailure = 1, // the data could not be opened or the search failed
    ExitUsage = 2, // the command line, or the boxes, ask for no search
    ExitReaderGone = 141, // the output's reader closed it: stopped quietly, as by SIGPIPE
};

// Opens the connections the search needs, runs it in the background as the
// windows do and writes its rows to `streams.out` as they come, messages to
// `streams.err`. SIGINT and SIGTERM stop the search, leave whole lines and
// exit with 128 and the signal's number. Returns the exit status.
//
// With several servers each server's search runs at once; the output then
// begins with a column "server", each server's failure is told on `err`
// behind its name, and one failure makes the status ExitFailure once every
// other server's rows are written.
int runRequest(const Request &request, Streams streams = {});
int listServers(const ServerListing &listing, Streams streams = {});

// Writes a message to `err` behind the program's name.
void printProblem(std::FILE *err, const QString &message);

} // namespace realm::cli
