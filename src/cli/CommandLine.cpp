#include "cli/CommandLine.h"

#include "startup/Language.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsTemplate.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <functional>

namespace realm::cli {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(realm::cli::CommandLine)
};

const QString ProgramName = QStringLiteral("realmquery-cli");

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
    return {QStringLiteral("dir"), Text::tr("从 <folder> 读取 db.ini 和 db.mdb。"),
            QStringLiteral("folder")};
}

QCommandLineOption formatOption()
{
    return {QStringLiteral("format"), Text::tr("输出格式：tsv（默认）、csv、json 或 xlsx（需要 --output）。"),
            QStringLiteral("format")};
}

QCommandLineOption outputOption()
{
    return {QStringLiteral("output"), Text::tr("把 xlsx 表格写入 <file>（只用于 --format xlsx）。"), QStringLiteral("file")};
}

QCommandLineOption languageOption()
{
    return {QStringLiteral("lang"), languageOptionDescription(), QStringLiteral("zh|en")};
}

QCommandLineOption itemNamesOption()
{
    return {QStringLiteral("item-names"),
            Text::tr("物品名称：c 为中文名称（默认）；e 为英文名称，没有英文名称的物品用中文名称。"),
            QStringLiteral("c|e")};
}

QCommandLineOption serverOption()
{
    return {QStringLiteral("server"), Text::tr("读取名为 <name> 的游戏服务器（可重复）；不给出时读取基础服务器。"),
            QStringLiteral("name")};
}

QCommandLineOption allServersOption()
{
    return {QStringLiteral("all-servers"), Text::tr("读取 db.ini 中的所有游戏服务器。")};
}

// The options taken on either side of the command.
QList<QCommandLineOption> commonOptions()
{
    return {helpOption(), dirOption(), formatOption(), outputOption(),
            itemNamesOption(), languageOption(), serverOption(), allServersOption()};
}

// A box of the windows: an option whose value is what would be typed there.
QCommandLineOption boxOption(const char *name, const QString &description, const QString &defaultValue = {})
{
    return QCommandLineOption(QString::fromLatin1(name), description, QStringLiteral("text"), defaultValue);
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

EquipmentFilters equipmentFilters(const QCommandLineParser &parser)
{
    return {value(parser, "name"), value(parser, "item-id"), value(parser, "amount"), value(parser, "amount-op"),
            value(parser, "enchant"), value(parser, "enchant-op"), value(parser, "item-name")};
}

Search equipmentSearch(const QCommandLineParser &parser)
{
    return EquipmentSearch{equipmentFilters(parser)};
}

Search totalsSearch(const QCommandLineParser &parser)
{
    const bool byCharacter = value(parser, "by") == u"character";
    return TotalsSearch{equipmentFilters(parser), byCharacter ? TotalsGrouping::ByCharacter : TotalsGrouping::ByItem};
}

Search duplicatesSearch(const QCommandLineParser &parser)
{
    return DuplicatesSearch{value(parser, "item-id"), value(parser, "item-name")};
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

QCommandLineOption itemNameOption()
{
    return boxOption("item-name", Text::tr("物品名称的一部分（界面为英文时也查英文名称）。"));
}

QList<QCommandLineOption> equipmentOptions()
{
    return {boxOption("name", Text::tr("角色名称的一部分。")),
            boxOption("item-id", Text::tr("物品ID。")),
            itemNameOption(),
            boxOption("amount", Text::tr("要比较的数量。")),
            boxOption("amount-op", Text::tr("数量的比较符：= < > <= >= <>（默认 =；空：不比较）。"), StartOperator),
            boxOption("enchant", Text::tr("要比较的强化等级。")),
            boxOption("enchant-op", Text::tr("强化等级的比较符（默认 =；空：不比较）。"), StartOperator)};
}

QList<CommandDefinition> commands()
{
    return {
        {QStringLiteral("equip"),
         Text::tr("按角色名称、物品ID、数量和强化等级查询角色持有的物品。"),
         equipmentOptions(),
         {},
         equipmentSearch},
        {QStringLiteral("totals"),
         Text::tr("装备查询会找到的物品的合计，按物品或按角色。"),
         equipmentOptions() << QCommandLineOption(QStringLiteral("by"), Text::tr("按 item（物品，默认）或 character（角色）合计。"), QStringLiteral("item|character"), QStringLiteral("item")),
         {},
         totalsSearch},
        {QStringLiteral("dupes"),
         Text::tr("被多行持有的同一物品实例（复制的物品），按实例ID排列。"),
         {boxOption("item-id", Text::tr("只列出有该物品ID的一行的实例。")), itemNameOption()},
         {},
         duplicatesSearch},
        {QStringLiteral("pet"),
         Text::tr("昵称包含该文本的宠物（% 和 _ 是通配符）。"),
         {},
         QStringLiteral("pet-name"),
         petSearch},
        {QStringLiteral("item"),
         Text::tr("按ID和/或中文名称的一部分查询物品文件中的条目。"),
         {boxOption("id", Text::tr("物品ID。")), boxOption("name", Text::tr("物品中文名称的一部分。"))},
         {},
         itemLookup},
        {QStringLiteral("account"),
         Text::tr("拥有该角色的帐号下的所有角色。"),
         {},
         QStringLiteral("character"),
         accountLookup},
        {QStringLiteral("servers"),
         Text::tr("列出 db.ini 中的游戏服务器：名称、地址或文件、登录名。"),
         {},
         {},
         {}},
    };
}

std::optional<CommandDefinition> findCommand(const QString &name)
{
    for (const CommandDefinition &command : commands()) {
        if (command.name == name)
            return command;
    }
    return std::nullopt;
}

// An option's name as it is typed: -h, --help.
QString typedOptionName(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

struct HelpEntry {
    QString name;
    QString description;
};

HelpEntry helpEntry(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << typedOptionName(name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" <%1>").arg(option.valueName());
    return {text, option.description()};
}

QString helpTable(const QString &heading, const QList<HelpEntry> &entries)
{
    qsizetype width = 0;
    for (const HelpEntry &entry : entries)
        width = std::max(width, entry.name.size());
    QString text = u'\n' + heading + u'\n';
    for (const HelpEntry &entry : entries)
        text += QStringLiteral("  ") + entry.name.leftJustified(width) + QStringLiteral("  ") + entry.description + u'\n';
    return text;
}

// The help is written here rather than by Qt, whose headings would stay
// English under the Chinese interface.
QString helpText(const QString &usage, const QString &description, const QList<QCommandLineOption> &options,
                 const QList<HelpEntry> &arguments = {})
{
    QList<HelpEntry> optionEntries;
    for (const QCommandLineOption &option : options)
        optionEntries << helpEntry(option);
    QString text = Text::tr("用法：%1").arg(usage) + u'\n' + description + u'\n' + helpTable(Text::tr("选项："), optionEntries);
    if (!arguments.isEmpty())
        text += helpTable(Text::tr("参数："), arguments);
    return text;
}

QString checkDescription()
{
    return Text::tr("检查与游戏服务器的连接。");
}

QString passwordDescription()
{
    return Text::tr("在密钥环中保存或删除服务器的密码。");
}

QString commandNames()
{
    return QStringLiteral("equip, totals, dupes, pet, item, account, servers, check, password");
}

QString programDescription()
{
    QString text = Text::tr("运行查询窗口的查询，把结果行写到标准输出。") + QStringLiteral("\n\n") + Text::tr("命令：") + u'\n';
    for (const CommandDefinition &command : commands())
        text += QStringLiteral("  %1  %2\n").arg(command.name, -8).arg(command.description);
    text += QStringLiteral("  %1  %2\n").arg(QStringLiteral("check"), -8).arg(checkDescription());
    text += QStringLiteral("  %1  %2\n").arg(QStringLiteral("password"), -8).arg(passwordDescription());
    return text + u'\n' + Text::tr("运行“%1 <命令> --help”查看命令的选项。").arg(ProgramName) + QStringLiteral("\n\n")
        + settingsSearchHelp();
}

// Qt's own wording of a parse error, in the interface language.
QString parseError(const QCommandLineParser &parser)
{
    QStringList unknown;
    for (const QString &name : parser.unknownOptionNames())
        unknown << typedOptionName(name);
    if (!unknown.isEmpty())
        return Text::tr("未知的选项：%1。").arg(unknown.join(QStringLiteral(", ")));
    static const QRegularExpression valueProblem(QStringLiteral("^(Missing|Unexpected) value after '(.*)'\\.$"));
    const QRegularExpressionMatch match = valueProblem.match(parser.errorText());
    if (!match.hasMatch())
        return parser.errorText();
    if (match.captured(1) == u"Missing")
        return Text::tr("选项 %1 缺少值。").arg(match.captured(2));
    return Text::tr("选项 %1 不带值。").arg(match.captured(2));
}

std::optional<OutputFormat> formatNamed(const QString &name)
{
    if (name == u"tsv")
        return OutputFormat::Tsv;
    if (name == u"csv")
        return OutputFormat::Csv;
    if (name == u"json")
        return OutputFormat::Json;
    if (name == u"xlsx")
        return OutputFormat::Xlsx;
    return std::nullopt;
}

std::optional<ItemNameLanguage> itemNamesNamed(const QString &name)
{
    if (name == u"c")
        return ItemNameLanguage::Chinese;
    if (name == u"e")
        return ItemNameLanguage::English;
    return std::nullopt;
}

// A worksheet is a file of its own, and standard output is for text only.
std::optional<UsageProblem> wrongOutput(OutputFormat format, const QString &output)
{
    if (format == OutputFormat::Xlsx && output.isEmpty())
        return UsageProblem{Text::tr("--format xlsx 写的是文件，请用 --output <file> 指定；标准输出只写文本。")};
    if (format != OutputFormat::Xlsx && !output.isNull())
        return UsageProblem{Text::tr("--output 只用于 --format xlsx；其他格式写到标准输出。")};
    return std::nullopt;
}

// --dir, --format, --output and --item-names given after the command win over those
// before it.
QString commonValue(const QCommandLineOption &option, const QCommandLineParser &program,
                    const QCommandLineParser &command)
{
    return command.isSet(option) ? command.value(option) : program.value(option);
}

std::optional<UsageProblem> wrongArgumentCount(const CommandDefinition &definition, const QCommandLineParser &parser)
{
    const qsizetype given = parser.positionalArguments().size();
    if (definition.argument.isEmpty() && given != 0)
        return UsageProblem{Text::tr("%1 除选项外不带参数。").arg(definition.name)};
    if (!definition.argument.isEmpty() && given != 1)
        return UsageProblem{Text::tr("%1 需要一个 <%2>。").arg(definition.name, definition.argument)};
    return std::nullopt;
}

std::optional<UsageProblem> unknownGrouping(const CommandDefinition &definition, const QCommandLineParser &parser)
{
    if (definition.name != u"totals")
        return std::nullopt;
    const QString by = value(parser, "by");
    if (by == u"item" || by == u"character")
        return std::nullopt;
    return UsageProblem{Text::tr("未知的合计方式“%1”，请用 item 或 character。").arg(by)};
}

ParsedCommandLine requestOf(const CommandDefinition &definition, const QCommandLineParser &program,
                            const QCommandLineParser &parser)
{
    const QString formatName = commonValue(formatOption(), program, parser);
    const auto format = formatName.isNull() ? OutputFormat::Tsv : formatNamed(formatName);
    if (!format)
        return UsageProblem{Text::tr("未知的输出格式“%1”，请用 tsv、csv、json 或 xlsx。").arg(formatName)};
    const QString output = commonValue(outputOption(), program, parser);
    if (const auto problem = wrongOutput(*format, output))
        return *problem;
    const QString itemNamesName = commonValue(itemNamesOption(), program, parser);
    const auto itemNames = itemNamesName.isNull() ? ItemNameLanguage::Chinese : itemNamesNamed(itemNamesName);
    if (!itemNames)
        return UsageProblem{Text::tr("未知的物品名称“%1”，请用 c 或 e。").arg(itemNamesName)};
    const QString folder = commonValue(dirOption(), program, parser);
    if (!definition.search)
        return ServerListing{folder, *format};
    return Request{folder,
                   *format,
                   output,
                   *itemNames,
                   definition.search(parser),
                   program.values(serverOption()) + parser.values(serverOption()),
                   program.isSet(allServersOption()) || parser.isSet(allServersOption())};
}

ParsedCommandLine commandRequest(const CommandDefinition &definition, const QCommandLineParser &program,
                                 const QStringList &arguments)
{
    QCommandLineParser parser;
    const QList<QCommandLineOption> options = commonOptions() + definition.options;
    parser.addOptions(options);
    QString usage = ProgramName + u' ' + definition.name + Text::tr(" [选项]");
    QList<HelpEntry> argumentEntries;
    if (!definition.argument.isEmpty()) {
        const QString description = Text::tr("在窗口的输入框中会输入的内容。");
        parser.addPositionalArgument(definition.argument, description);
        argumentEntries << HelpEntry{definition.argument, description};
        usage += QStringLiteral(" <%1>").arg(definition.argument);
    }
    if (!parser.parse(QStringList{ProgramName} + arguments))
        return UsageProblem{definition.name + QStringLiteral(": ") + parseError(parser)};
    if (parser.isSet(helpOption()))
        return InfoText{helpText(usage, definition.description, options, argumentEntries)};
    if (const auto problem = wrongArgumentCount(definition, parser))
        return *problem;
    if (const auto problem = unknownGrouping(definition, parser))
        return *problem;
    return requestOf(definition, program, parser);
}

ParsedCommandLine serverRequestOf(const QCommandLineParser &parser, const QCommandLineParser &program,
                                  ServerRequest::Kind kind, const QString &usage, const QString &description,
                                  const QList<QCommandLineOption> &options)
{
    if (parser.isSet(helpOption()))
        return InfoText{helpText(usage, description, options)};
    ServerRequest request{kind, commonValue(dirOption(), program, parser), {}, false};
    const QStringList rest = parser.positionalArguments();
    if (kind == ServerRequest::Kind::Check) {
        if (!rest.isEmpty())
            return UsageProblem{Text::tr("%1 除选项外不带参数。").arg(QStringLiteral("check"))};
        request.server = parser.isSet(QStringLiteral("all-servers")) ? QString() : parser.value(QStringLiteral("server"));
        return request;
    }
    if (rest.size() != 1)
        return UsageProblem{Text::tr("%1 需要一个 <%2>。").arg(QStringLiteral("password"), QStringLiteral("server"))};
    request.server = rest.constFirst();
    request.forget = parser.isSet(QStringLiteral("forget"));
    return request;
}

ParsedCommandLine serverCommandRequest(const QString &name, const QCommandLineParser &program, const QStringList &arguments)
{
    const bool isCheck = name == u"check";
    QList<QCommandLineOption> options = {helpOption(), dirOption(), languageOption()};
    if (isCheck)
        options << QCommandLineOption(QStringLiteral("server"), Text::tr("只检查这个服务器。"), QStringLiteral("name"))
                << QCommandLineOption(QStringLiteral("all-servers"), Text::tr("检查所有服务器（默认）。"));
    else
        options << QCommandLineOption(QStringLiteral("forget"), Text::tr("删除保存的密码。"));
    QCommandLineParser parser;
    parser.addOptions(options);
    if (!isCheck)
        parser.addPositionalArgument(QStringLiteral("server"), Text::tr("服务器的名称。"));
    if (!parser.parse(QStringList{ProgramName} + arguments))
        return UsageProblem{name + QStringLiteral(": ") + parseError(parser)};
    const QString usage = ProgramName + u' ' + name + Text::tr(" [选项]") + (isCheck ? QString() : QStringLiteral(" <server>"));
    return serverRequestOf(parser, program, isCheck ? ServerRequest::Kind::Check : ServerRequest::Kind::Password, usage,
                           isCheck ? checkDescription() : passwordDescription(), options);
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QList<QCommandLineOption> options = commonOptions() << versionOption();
    parser.addOptions(options);
    parser.addPositionalArgument(QStringLiteral("command"), commandNames());
    if (!parser.parse(arguments))
        return UsageProblem{parseError(parser)};
    if (parser.isSet(helpOption()))
        return InfoText{helpText(ProgramName + Text::tr(" [选项] <命令> [命令选项]"), programDescription(), options,
                                 {{Text::tr("命令"), commandNames()}})};
    if (parser.isSet(versionOption()))
        return InfoText{ProgramName + u' ' + QCoreApplication::applicationVersion()};
    QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return UsageProblem{Text::tr("请指定命令：%1。").arg(commandNames())};
    const QString name = rest.takeFirst();
    if (name == u"check" || name == u"password")
        return serverCommandRequest(name, parser, rest);
    const auto command = findCommand(name);
    if (!command)
        return UsageProblem{Text::tr("未知的命令“%1”，请用 %2。").arg(name, commandNames())};
    return commandRequest(*command, parser, rest);
}

namespace {

struct Dispatch {
    Streams streams;

    bool settingsFound(const QString &folder) const
    {
        if (!folder.isEmpty() || findSettingsFolder())
            return true;
        printProblem(streams.err, missingSettingsReport() + u'\n' + Text::tr("窗口程序 realmquery 可以在那里创建 db.ini。"));
        return false;
    }
    int operator()(const Request &request) const
    {
        return settingsFound(request.folder) ? runRequest(request, streams) : ExitFailure;
    }
    int operator()(const ServerListing &listing) const
    {
        return settingsFound(listing.folder) ? listServers(listing, streams) : ExitFailure;
    }
    int operator()(const ServerRequest &request) const
    {
        if (request.folder.isEmpty() && !findSettingsFolder()) {
            printProblem(streams.err, missingSettingsReport());
            return ExitFailure;
        }
        return runServerRequest(request, streams);
    }
    int operator()(const InfoText &info) const
    {
        if (printLineFlushed(streams.out, info.text.trimmed()))
            return ExitSuccess;
        printLine(streams.err, QStringLiteral("Writing the output failed: %1.").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return ExitFailure;
    }
    int operator()(const UsageProblem &problem) const
    {
        printUsageProblem(streams.err, problem.message);
        return ExitUsage;
    }
};

} // namespace

void printUsageProblem(std::FILE *err, const QString &message)
{
    printProblem(err, message + u'\n' + Text::tr("运行“realmquery-cli --help”查看用法。"));
}

int runCommandLine(const QStringList &arguments, Streams streams)
{
    return std::visit(Dispatch{streams}, parseCommandLine(arguments));
}

} // namespace realm::cli
