#pragma once

#include "cli/SearchRunner.h"
#include "cli/ServerCommands.h"

#include <QStringList>

#include <variant>

namespace realm::cli {

// Help or version text, for standard output.
struct InfoText {
    QString text;
};
// Why the command line asks for nothing that can run.
struct UsageProblem {
    QString message;
};
using ParsedCommandLine = std::variant<Request, ServerListing, ServerRequest, InfoText, UsageProblem>;

// The program's options, then a command and its own options; --dir and
// --format are taken on either side of the command, as are the server
// choices --server and --all-servers.
ParsedCommandLine parseCommandLine(const QStringList &arguments);

// Parses the arguments (the program's name first) and does what they ask:
// the search, the help or version text, or the usage problem told.
// Returns the exit status.
int runCommandLine(const QStringList &arguments, Streams streams = {});

// A usage problem on `err`, with where to find the usage.
void printUsageProblem(std::FILE *err, const QString &message);

} // namespace realm::cli
