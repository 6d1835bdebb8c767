#include "cli/CommandLine.h"
#include "cli/OutputBuffer.h"
#include "data/Arguments.h"
#include "startup/Language.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsTemplate.h"

#include <QCoreApplication>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>

namespace {

using namespace realm::cli;

void printUsageProblem(const QString &message)
{
    printProblem(stderr, message + u'\n' + QCoreApplication::translate("realm::cli::CommandLine", "运行“realmquery-cli --help”查看用法。"));
}

struct Dispatch {
    int operator()(const Request &request) const
    {
        if (request.folder.isEmpty() && !realm::findSettingsFolder()) {
            printProblem(stderr, realm::missingSettingsReport() + u'\n' + QCoreApplication::translate("realm::cli::CommandLine", "窗口程序 realmquery 可以在那里创建 db.ini。"));
            return ExitFailure;
        }
        return runRequest(request);
    }
    int operator()(const InfoText &info) const
    {
        if (printLineFlushed(stdout, info.text.trimmed()))
            return ExitSuccess;
        printLine(stderr, QStringLiteral("Writing the output failed: %1.").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return ExitFailure;
    }
    int operator()(const UsageProblem &problem) const
    {
        printUsageProblem(problem.message);
        return ExitUsage;
    }
};

// The interface language from `--lang`, else from the locale. Returns false
// for a `--lang` value that names no language, after saying so.
bool chooseLanguage(const QStringList &arguments)
{
    const realm::LanguageChoice choice = realm::languageOption(arguments);
    realm::useLanguage(choice.language.value_or(realm::systemLanguage()));
    if (choice.unknownValue) {
        printUsageProblem(realm::unknownLanguageMessage(*choice.unknownValue));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Each connection is used by one thread at a time: SQLite's locks around
    // every call would only cost time (a fifth of it on a million rows).
    sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("realmquery-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(REALMQUERY_VERSION));
    // A name typed as nothing but U+FEFF must reach the search as it is, and
    // a cut-off character must not shorten a name into another one.
    const realm::TypedArguments typed = realm::typedArguments(argc, argv);
    if (!chooseLanguage(typed.arguments))
        return ExitUsage;
    if (typed.undecodable) {
        printUsageProblem(realm::undecodableArgumentMessage(typed.arguments, *typed.undecodable));
        return ExitUsage;
    }
    return std::visit(Dispatch{}, parseCommandLine(typed.arguments));
}
