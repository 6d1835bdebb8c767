#include "cli/CommandLine.h"
#include "data/Arguments.h"
#include "startup/Language.h"

#include <QCoreApplication>

#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

using namespace realm::cli;

// The interface language from `--lang`, else from the locale. Returns false
// for a `--lang` value that names no language, after saying so.
bool chooseLanguage(const QStringList &arguments)
{
    const realm::LanguageChoice choice = realm::languageOption(arguments);
    realm::useLanguage(choice.language.value_or(realm::systemLanguage()));
    if (choice.unknownValue) {
        printUsageProblem(stderr, realm::unknownLanguageMessage(*choice.unknownValue));
        return false;
    }
    return true;
}

#ifdef Q_OS_WIN
// The rows go out as the bytes written, as on every other system: without
// this the C run time makes each "\n" a "\r\n" (and CSV's "\r\n" a
// "\r\r\n"). A console is told the bytes are UTF-8.
void writeStreamsAsBytes()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}
#endif

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    writeStreamsAsBytes();
#endif
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
        printUsageProblem(stderr, realm::undecodableArgumentMessage(typed.arguments, *typed.undecodable));
        return ExitUsage;
    }
    askPasswordsOnTerminal();
    return runCommandLine(typed.arguments);
}
