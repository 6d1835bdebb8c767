#include "cli/CommandLine.h"

#include "data/ProgramFolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <functional>

namespace realm::cli {

namespace {

const QString ProgramName = QStringLiteral("realmquery-cli");

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
const QCommandLineOption VersionOption(QStringLiteral("version"), QStringLiteral("Show the version."));
const QCommandLineOption DirOption(QStringLiteral("dir"),
                                   QStringLiteral("Read db.ini and db.mdb from <folder>."),
                                   QStringLiteral("folder"));
const QCommandLineOption FormatOption(QStringLiteral("format"), QStringLiteral("Output as tsv (the default), csv or json."),
                                      QStringLiteral("format"));

// A box of the windows: an option whose value is what would be typed there.
QCommandLineOption boxOption(const char *name, const char *description, const QString &defaultValue = {})
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description), QStringLiteral("text"),
                              defaultValue);
}

struct CommandDefinition {
    QString name;
    QString description;
    QList<QCommandLineOption> options;
    QString argument; // the one positional argument, if the command takes one
    std::function<Search(const QCommandLineParser &)> search;
};

QString value(const QCommandLineParser &parser, const char *name)
{
    return parser.value(QString::fromLatin1(name));
}

Search equipmentSearch(const QCommandLineParser &parser)
{
    return EquipmentSearch{{value(parser, "name"), value(parser, "item-id"), value(parser, "amount"),
                            value(parser, "amount-op"), value(parser, "enchant"), value(parser, "enchant-op")}};
}

Search petSearch(const QCommandLineParser &parser)
{
    return PetSearch{parser.positionalArguments().constFirst()};
}

Search itemLookup(const QCommandLineParser &parser)
{
    return ItemLookup{value(parser, "id"), value(parser, "name")};
}

Search accountLookup(const QCommandLineParser &parser)
{
    return AccountLookup{parser.positionalArguments().constFirst()};
}

// The operator boxes start with "=" selected.
const QString StartOperator = QStringLiteral("=");

const QList<CommandDefinition> &commands()
{
    static const QList<CommandDefinition> definitions = {
        {QStringLiteral("equip"),
         QStringLiteral("Items of characters, by character name, item id, amount and enchant level."),
         {boxOption("name", "Part of the character name."), boxOption("item-id", "The item id."),
          boxOption("amount", "The amount to compare with."),
          boxOption("amount-op", "The amount's comparison: = < > <= >= <> (default =; empty: none).", StartOperator),
          boxOption("enchant", "The enchant level to compare with."),
          boxOption("enchant-op", "The enchant level's comparison (default =; empty: none).", StartOperator)},
         {},
         equipmentSearch},
        {QStringLiteral("pet"),
         QStringLiteral("Pets whose nickname contains the text (% and _ are wildcards)."),
         {},
         QStringLiteral("pet-name"),
         petSearch},
        {QStringLiteral("item"),
         QStringLiteral("Entries of the item file by id and/or part of the Chinese name."),
         {boxOption("id", "The item id."), boxOption("name", "Part of the item's Chinese name.")},
         {},
         itemLookup},
        {QStringLiteral("account"),
         QStringLiteral("Every character of the account that owns the named character."),
         {},
         QStringLiteral("character"),
         accountLookup},
    };
    return definitions;
}

const CommandDefinition *findCommand(const QString &name)
{
    for (const CommandDefinition &command : commands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

// Qt's help starts with a usage line naming the program as it was started;
// ours names it plainly and puts the command where it is typed.
QString helpWithUsage(const QCommandLineParser &parser, const QString &usage)
{
    const QString help = parser.helpText();
    return QStringLiteral("Usage: ") + usage + help.mid(help.indexOf(u'\n'));
}

QString programDescription()
{
    QString text = QStringLiteral("Runs the query windows' searches and writes their rows to standard output.\n\n"
                                  "Commands:\n");
    for (const CommandDefinition &command : commands())
        text += QStringLiteral("  %1  %2\n").arg(command.name, -8).arg(command.description);
    return text + QStringLiteral("\nRun \"%1 <command> --help\" for a command's options.\n\n").arg(ProgramName)
        + settingsSearchHelp();
}

void addCommonOptions(QCommandLineParser &parser)
{
    parser.addOption(HelpOption);
    parser.addOption(DirOption);
    parser.addOption(FormatOption);
}

std::optional<OutputFormat> formatNamed(const QString &name)
{
    if (name == u"tsv")
        return OutputFormat::Tsv;
    if (name == u"csv")
        return OutputFormat::Csv;
    if (name == u"json")
        return OutputFormat::Json;
    return std::nullopt;
}

// --dir and --format given after the command win over those before it.
QString commonValue(const QCommandLineOption &option, const QCommandLineParser &program,
                    const QCommandLineParser &command)
{
    return command.isSet(option) ? command.value(option) : program.value(option);
}

std::optional<UsageProblem> wrongArgumentCount(const CommandDefinition &definition, const QCommandLineParser &parser)
{
    const qsizetype given = parser.positionalArguments().size();
    if (definition.argument.isEmpty() && given != 0)
        return UsageProblem{QStringLiteral("%1 takes no arguments besides its options.").arg(definition.name)};
    if (!definition.argument.isEmpty() && given != 1)
        return UsageProblem{QStringLiteral("%1 takes one <%2>.").arg(definition.name, definition.argument)};
    return std::nullopt;
}

ParsedCommandLine commandRequest(const CommandDefinition &definition, const QCommandLineParser &program,
                                 const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(definition.description);
    addCommonOptions(parser);
    parser.addOptions(definition.options);
    QString usage = ProgramName + u' ' + definition.name + QStringLiteral(" [options]");
    if (!definition.argument.isEmpty()) {
        parser.addPositionalArgument(definition.argument, QStringLiteral("What would be typed into the window's box."));
        usage += QStringLiteral(" <%1>").arg(definition.argument);
    }
    if (!parser.parse(QStringList{ProgramName} + arguments))
        return UsageProblem{definition.name + QStringLiteral(": ") + parser.errorText()};
    if (parser.isSet(HelpOption))
        return InfoText{helpWithUsage(parser, usage)};
    if (const auto problem = wrongArgumentCount(definition, parser))
        return *problem;
    const QString formatName = commonValue(FormatOption, program, parser);
    const auto format = formatName.isNull() ? OutputFormat::Tsv : formatNamed(formatName);
    if (!format)
        return UsageProblem{QStringLiteral("Unknown format \"%1\"; use tsv, csv or json.").arg(formatName)};
    return Request{commonValue(DirOption, program, parser), *format, definition.search(parser)};
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(programDescription());
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    addCommonOptions(parser);
    parser.addOption(VersionOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("equip, pet, item or account."));
    if (!parser.parse(arguments))
        return UsageProblem{parser.errorText()};
    if (parser.isSet(HelpOption))
        return InfoText{helpWithUsage(parser, ProgramName + QStringLiteral(" [options] <command> [command options]"))};
    if (parser.isSet(VersionOption))
        return InfoText{ProgramName + u' ' + QCoreApplication::applicationVersion()};
    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return UsageProblem{QStringLiteral("Name a command: equip, pet, item or account.")};
    const QString name = rest.takeFirst();
    const CommandDefinition *command = findCommand(name);
    if (!command)
        return UsageProblem{QStringLiteral("Unknown command \"%1\"; use equip, pet, item or account.").arg(name)};
    return commandRequest(*command, parser, rest);
}

} // namespace realm::cli
