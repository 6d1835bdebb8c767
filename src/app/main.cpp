#include "data/Module1.h"
#include "data/ProgramFolder.h"
#include "data/SettingsTemplate.h"
#include "ui/FirstRun.h"
#include "ui/Fonts.h"
#include "ui/Form.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <optional>

namespace {

const QString ProgramName = QStringLiteral("realmquery");

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
const QCommandLineOption VersionOption(QStringLiteral("version"), QStringLiteral("Show the version."));
const QCommandLineOption DirOption(QStringLiteral("dir"), QStringLiteral("Read db.ini and db.mdb from <folder>."),
                                   QStringLiteral("folder"));

void nameApplication()
{
    QCoreApplication::setApplicationName(ProgramName);
    QCoreApplication::setApplicationVersion(QStringLiteral(REALMQUERY_VERSION));
}

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Game database query tool: searches a game server's items, "
                                                    "pets and accounts in its windows.\n\n")
                                     + realm::settingsSearchHelp());
    parser.addOption(HelpOption);
    parser.addOption(VersionOption);
    parser.addOption(DirOption);
}

void printText(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// Qt's usage line names the program by the path it was started with; the
// help names it plainly.
QString helpText(const QCommandLineParser &parser)
{
    const QString help = parser.helpText();
    const QString usage = QStringLiteral("Usage: %1 [options]").arg(ProgramName) + help.mid(help.indexOf(u'\n'));
    return usage.trimmed();
}

// --help and --version answer before the window system is touched, so they
// work without a display. The window system's own options are not known
// here; QApplication takes them later.
std::optional<int> answerInfoOptions(int &argc, char **argv)
{
    const QCoreApplication core(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    describeOptions(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(HelpOption)) {
        printText(stdout, helpText(parser));
        return 0;
    }
    if (parser.isSet(VersionOption)) {
        printText(stdout, ProgramName + u' ' + QCoreApplication::applicationVersion());
        return 0;
    }
    return std::nullopt;
}

// Without a display Qt's default platform aborts; say so plainly instead.
bool windowSystemReachable(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// No folder holds db.ini: say what to set up, and offer to start it where a
// user can answer.
int firstRun()
{
    printText(stderr, realm::missingSettingsReport());
    if (QGuiApplication::platformName() == u"offscreen")
        return 1;
    return realm::ui::offerSettingsTemplate() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto status = answerInfoOptions(argc, argv))
        return *status;
    if (!windowSystemReachable(argc, argv)) {
        printText(stderr, ProgramName + QStringLiteral(" is a desktop program and needs a display (DISPLAY or WAYLAND_DISPLAY)."
                                                       "\nrealmquery-cli runs the same searches without one."));
        return 1;
    }
    QApplication app(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);
    realm::setProgramFolder(parser.value(DirOption));
    if (!parser.isSet(DirOption) && !realm::findSettingsFolder())
        return firstRun();

    realm::ui::installFontSubstitutes();
    // The runner goes before the shared objects: its threads end first.
    realm::Module1 module;
    realm::BackgroundRunner runner;
    realm::ui::FormSlot<realm::ui::Form1>::instance().show({module, runner});
    return QApplication::exec();
}
