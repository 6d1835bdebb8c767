#pragma once

#include "cli/SearchRunner.h"

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
using ParsedCommandLine = std::variant<Request, InfoText, UsageProblem>;

// The program's options, then a command and its own options; --dir and
// --format are taken on either side of the command.
ParsedCommandLine parseCommandLine(const QStringList &arguments);

} // namespace realm::cli
