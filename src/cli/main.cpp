#include "cli/CommandLine.h"
#include "cli/OutputBuffer.h"
#include "data/ProgramFolder.h"
#include "data/SettingsTemplate.h"

#include <QCoreApplication>

#include <sqlite3.h>

namespace {

using namespace realm::cli;

struct Dispatch {
    int operator()(const Request &request) const
    {
        if (request.folder.isEmpty() && !realm::findSettingsFolder()) {
            printLine(stderr, realm::missingSettingsReport() + QStringLiteral("\nThe window program realmquery offers to create db.ini there."));
            return ExitFailure;
        }
        return runRequest(request);
    }
    int operator()(const InfoText &info) const
    {
        printLine(stdout, info.text.trimmed());
        return ExitSuccess;
    }
    int operator()(const UsageProblem &problem) const
    {
        printLine(stderr, QStringLiteral("realmquery-cli: %1\nRun \"realmquery-cli --help\" for the usage.").arg(problem.message));
        return ExitUsage;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    // Each connection is used by one thread at a time: SQLite's locks around
    // every call would only cost time (a fifth of it on a million rows).
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("realmquery-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(REALMQUERY_VERSION));
    return std::visit(Dispatch{}, parseCommandLine(QCoreApplication::arguments()));
}
