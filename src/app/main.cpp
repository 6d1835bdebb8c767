#include "data/Arguments.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "startup/Language.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsTemplate.h"
#include "startup/Startup.h"
#include "ui/FirstRun.h"
#include "ui/Fonts.h"
#include "ui/Form.h"
#include "ui/PasswordDialog.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(realm::ui::Program)
};

const QString ProgramName = QStringLiteral("realmquery");

// Built after the interface language is chosen, so their help is in it.
QCommandLineOption helpOption()
{
    return {{QStringLiteral("h"), QStringLiteral("help")}, Text::tr("显示本帮助。")};
}
QCommandLineOption versionOption()
{
    return {QStringLiteral("version"), Text::tr("显示版本。")};
}
QCommandLineOption dirOption()
{
    return {QStringLiteral("dir"), Text::tr("从 <folder> 读取 db.ini 和 db.mdb。"), QStringLiteral("folder")};
}
QCommandLineOption languageOption()
{
    return {QStringLiteral("lang"), realm::languageOptionDescription(), QStringLiteral("zh|en")};
}

void nameApplication()
{
    QCoreApplication::setApplicationName(ProgramName);
    QCoreApplication::setApplicationVersion(QStringLiteral(REALMQUERY_VERSION));
}

void describeOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(Text::tr("游戏数据库查询工具：在窗口中查询游戏服务器的物品、宠物和帐号。")
                                     + QStringLiteral("\n\n") + realm::settingsSearchHelp());
    parser.addOption(helpOption());
    parser.addOption(versionOption());
    parser.addOption(dirOption());
    parser.addOption(languageOption());
}

void printText(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// Exit status 0 when the text reached standard output whole, else 1 with
// the system's reason on standard error.
int printInfo(const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    const std::size_t written = std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    if (std::fflush(stdout) == 0 && written == std::size_t(line.size()))
        return 0;
    std::fprintf(stderr, "%s: writing the output failed: %s.\n", qPrintable(ProgramName), std::strerror(errno));
    return 1;
}

// Qt's usage line names the program by the path it was started with; the
// help names it plainly.
QString helpText(const QCommandLineParser &parser)
{
    const QString help = parser.helpText();
    const QString usage = Text::tr("用法：%1 [选项]").arg(ProgramName) + help.mid(help.indexOf(u'\n'));
    return usage.trimmed();
}

// The interface language from `--lang` or the locale. Returns false for a
// `--lang` value that names no language, after saying so.
bool chooseLanguage(const QStringList &arguments)
{
    const realm::LanguageChoice choice = realm::languageOption(arguments);
    realm::useLanguage(choice.language.value_or(realm::systemLanguage()));
    if (!choice.unknownValue)
        return true;
    printText(stderr, ProgramName + QStringLiteral(": ") + realm::unknownLanguageMessage(*choice.unknownValue));
    return false;
}

// --help, --version, a wrong --lang and an undecodable argument answer
// before the window system is touched, so they work without a display. The
// window system's own options are not known here; QApplication takes them
// later.
std::optional<int> answerInfoOptions(int &argc, char **argv)
{
    const QCoreApplication core(argc, argv);
    nameApplication();
    if (!chooseLanguage(QCoreApplication::arguments()))
        return 2;
    // Qt reads such bytes as U+FFFD: a folder nobody named.
    const realm::TypedArguments typed = realm::typedArguments(argc, argv);
    if (typed.undecodable) {
        printText(stderr, ProgramName + QStringLiteral(": ") + realm::undecodableArgumentMessage(typed.arguments, *typed.undecodable));
        return 2;
    }
    QCommandLineParser parser;
    describeOptions(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(helpOption()))
        return printInfo(helpText(parser));
    if (parser.isSet(versionOption()))
        return printInfo(ProgramName + u' ' + QCoreApplication::applicationVersion());
    return std::nullopt;
}

// Without a display Qt's default platform aborts; say so plainly instead.
// A Windows desktop always has its window system.
bool windowSystemReachable(int argc, char **argv)
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc)
    Q_UNUSED(argv)
    return true;
#else
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform")
            return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#endif
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

// The connections and the preload, before the main window shows; a failure
// is told and ends the start.
bool openSharedData(realm::Module1 &module)
{
    try {
        realm::openProgramData(module, realm::itemNamesOfInterface());
    } catch (const realm::DataError &error) {
        realm::ui::showFatal(error.number(), error.text());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto status = answerInfoOptions(argc, argv))
        return *status;
    if (!windowSystemReachable(argc, argv)) {
        printText(stderr, Text::tr("%1 是桌面程序，需要显示器（DISPLAY 或 WAYLAND_DISPLAY）。\n"
                                   "realmquery-cli 不需要显示器，也能运行同样的查询。")
                              .arg(ProgramName));
        return 1;
    }
    QApplication app(argc, argv);
    nameApplication();
    chooseLanguage(QApplication::arguments());
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);
    realm::setProgramFolder(parser.value(dirOption()));
    if (!parser.isSet(dirOption()) && !realm::findSettingsFolder())
        return firstRun();
    if (const auto note = realm::exposedPasswordNote(realm::programFolder()))
        printText(stderr, ProgramName + QStringLiteral(": ") + *note);

    realm::ui::installFontSubstitutes();
    realm::ui::askPasswordsInDialogs();
    realm::Module1 module;
    if (!openSharedData(module))
        return 1;
    realm::ui::FormSlot<realm::ui::Form1>::instance().show({module});
    return QApplication::exec();
}
