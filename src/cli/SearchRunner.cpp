#include "cli/SearchRunner.h"

#include "cli/StopSignals.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "query/ListFormat.h"
#include "query/SearchChannel.h"
#include "startup/ProgramFolder.h"
#include "startup/ServerPassword.h"
#include "startup/SettingsTemplate.h"
#include "startup/Startup.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>

namespace realm::cli {

namespace {

using Status = SearchOutcome::Status;

// Column names as the output's header and keys, in the windows' order.
const QStringList ResultListColumns = {QStringLiteral("char_name"), QStringLiteral("item_id"),
                                       QStringLiteral("item_name"), QStringLiteral("amount"),
                                       QStringLiteral("enchant"), QStringLiteral("pet_name")};
const QStringList ItemGridColumns = {QStringLiteral("id"), QStringLiteral("name_c"), QStringLiteral("name_e")};
const QStringList CharacterListColumns = {QStringLiteral("char_name"), QStringLiteral("account_name")};
const QStringList ItemTotalsColumns = {QStringLiteral("item_id"), QStringLiteral("item_name"),
                                       QStringLiteral("characters"), QStringLiteral("rows"),
                                       QStringLiteral("amount"), QStringLiteral("max_enchant")};
const QStringList CharacterTotalsColumns = {QStringLiteral("char_name"), QStringLiteral("item_id"),
                                            QStringLiteral("item_name"), QStringLiteral("rows"),
                                            QStringLiteral("amount")};
const QStringList DuplicatesColumns = {QStringLiteral("instance_id"), QStringLiteral("char_name"),
                                       QStringLiteral("item_id"), QStringLiteral("item_name"),
                                       QStringLiteral("amount"), QStringLiteral("enchant")};

// What a search needs opened, and how its rows are shown, by kind.
struct Preparation {
    Module1 &shared;
    const QString &folder;
    ItemNameLanguage itemNames;

    // The result list needs what the main window has before it shows.
    ListFormat resultList() const
    {
        openProgramData(shared, itemNames);
        return resultListFormat(shared.itemNames);
    }
    ListFormat operator()(const EquipmentSearch &) const { return resultList(); }
    ListFormat operator()(const PetSearch &) const { return resultList(); }
    ListFormat operator()(const TotalsSearch &search) const
    {
        openProgramData(shared, itemNames);
        return totalsFormat(search.grouping, shared.itemNames);
    }
    ListFormat operator()(const DuplicatesSearch &) const
    {
        openProgramData(shared, itemNames);
        return duplicatesFormat(shared.itemNames);
    }
    ListFormat operator()(const ItemLookup &) const
    {
        shared.itemConn = openItemConnection(folder);
        return itemGridFormat();
    }
    ListFormat operator()(const AccountLookup &) const
    {
        openGameServers(shared, readServerProfiles(folder), folder, openGameServer);
        return characterListFormat();
    }
};

// The servers a request reads, as positions in `profiles`, each once; or
// the usage problem of a name no section gives.
std::variant<std::vector<std::size_t>, QString> chosenServers(const Request &request, const std::vector<Settings> &profiles)
{
    std::vector<std::size_t> chosen;
    if (request.allServers) {
        for (std::size_t server = 0; server < profiles.size(); ++server)
            chosen.push_back(server);
        return chosen;
    }
    for (const QString &name : request.serverNames) {
        const auto found = std::ranges::find(profiles, name, &Settings::displayName);
        if (found == profiles.end()) {
            QStringList known;
            for (const Settings &profile : profiles)
                known << profile.displayName;
            return QCoreApplication::translate("realm::cli::SearchRunner", "没有名为“%1”的服务器；db.ini 中的服务器：%2。")
                .arg(name, known.join(QStringLiteral(", ")));
        }
        const auto position = std::size_t(found - profiles.begin());
        if (std::ranges::find(chosen, position) == chosen.end())
            chosen.push_back(position);
    }
    if (chosen.empty())
        chosen.push_back(0);
    return chosen;
}

// A damaged section nobody chose is told, and the search goes on without
// it; one that was chosen fails as its search.
void tellUnchosenProblems(const std::vector<Settings> &profiles, const std::vector<std::size_t> &chosen, std::FILE *err)
{
    for (std::size_t server = 1; server < profiles.size(); ++server) {
        if (!isUsable(profiles[server]) && std::ranges::find(chosen, server) == chosen.end())
            printProblem(err, profiles[server].displayName + QStringLiteral(": ") + profiles[server].problem);
    }
}

const QString ServerColumn = QStringLiteral("server");

QStringList columnsOf(const Search &search)
{
    if (std::holds_alternative<ItemLookup>(search))
        return ItemGridColumns;
    if (std::holds_alternative<AccountLookup>(search))
        return CharacterListColumns;
    if (const auto *totals = std::get_if<TotalsSearch>(&search))
        return totals->grouping == TotalsGrouping::ByItem ? ItemTotalsColumns : CharacterTotalsColumns;
    if (std::holds_alternative<DuplicatesSearch>(search))
        return DuplicatesColumns;
    return ResultListColumns;
}

// Writes each batch as the channel delivers it, and hands it to the
// stream at once, so a reader sees rows as they come.
class BatchWriter {
public:
    // With `serverNames`, each row starts with the name of its batch's
    // server.
    BatchWriter(const ListFormat &format, TableWriter &writer, OutputBuffer &out, QStringList serverNames)
        : m_format(format), m_writer(writer), m_out(out), m_serverNames(std::move(serverNames)),
          m_cells(std::size_t(format.columnCount() + (m_serverNames.isEmpty() ? 0 : 1))) { }

    // False once the output cannot take more.
    bool write(const ResultTable &batch, std::size_t server)
    {
        if (m_positions.empty())
            m_positions = m_format.positionsIn(batch);
        ListFormat::ShownCell *cells = m_cells.data();
        if (!m_serverNames.isEmpty()) {
            cells->isSet = true;
            cells->value = {ResultTable::Kind::Text, 0, 0, m_serverNames.at(qsizetype(server))};
            ++cells;
        }
        for (int row = 0; row < batch.rowCount(); ++row) {
            m_format.prefetchAhead(batch, row, m_positions);
            m_format.shownRow(batch, row, m_positions, cells);
            m_writer.writeRow(m_cells);
        }
        m_out.flush();
        return !m_out.failed() && m_writer.failure().isEmpty();
    }

private:
    const ListFormat &m_format;
    TableWriter &m_writer;
    OutputBuffer &m_out;
    const QStringList m_serverNames;
    Cells m_cells;
    std::vector<int> m_positions;
};

// How a search ended: its outcome, and the signal that stopped it, if one
// did.
struct SearchEnd {
    SearchOutcome outcome;
    int stopSignal = 0;
    bool someServerRan = false; // of several servers, one at least
};

struct ServerRun {
    const std::vector<std::size_t> &servers;
    std::FILE *err;
};

SearchEnd runToEnd(Module1 &shared, const Search &search, const ServerRun &run, BatchWriter &rows)
{
    SearchChannel channel(shared);
    StopSignals stopSignals;
    QEventLoop loop;
    SearchEnd end;
    QObject::connect(&channel, &SearchChannel::rowsArrived, &loop,
                     [&](const std::shared_ptr<const ResultTable> &batch, std::size_t server) {
                         if (!rows.write(*batch, std::size_t(std::ranges::find(run.servers, server) - run.servers.begin())))
                             channel.stop();
                     });
    QObject::connect(&channel, &SearchChannel::serverFinished, &loop, [&](std::size_t server, const SearchOutcome &outcome) {
        end.someServerRan = end.someServerRan || outcome.status == Status::Done || outcome.status == Status::NotFound;
        if (outcome.status == Status::Failed)
            printProblem(run.err, shared.servers.at(server).settings.displayName + QStringLiteral(": ") + outcome.message);
    });
    QObject::connect(&channel, &SearchChannel::finished, &loop, [&](const SearchOutcome &outcome) {
        end.outcome = outcome;
        loop.quit();
    });
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &channel, &SearchChannel::stop);
    channel.start(search, run.servers);
    loop.exec();
    end.stopSignal = stopSignals.received();
    return end;
}

// Ends the output and gives the exit status of a search that ended.
class Conclusion {
public:
    Conclusion(TableWriter &writer, const OutputBuffer &out, std::FILE *err)
        : m_writer(writer), m_out(out), m_err(err) { }

    int operator()(const SearchEnd &end) const
    {
        if (end.outcome.status == Status::Stopped)
            return stopped(end);
        if (!end.outcome.note.isEmpty())
            printLine(m_err, end.outcome.note);
        switch (end.outcome.status) {
        case Status::Done:
            return finishOutput();
        case Status::NotFound:
            printProblem(m_err, end.outcome.message);
            return finishOutput();
        case Status::NotRun:
        case Status::InvalidInput:
            printProblem(m_err, end.outcome.message);
            return ExitUsage;
        case Status::Failed:
        case Status::Stopped:
            break;
        }
        // The rows received before a failure are written whole; a failure
        // without rows leaves the output empty, unless other servers ran.
        printProblem(m_err, end.outcome.message);
        if (m_writer.wroteRows() || end.someServerRan)
            m_writer.finishIncomplete();
        return ExitFailure;
    }

private:
    int finishOutput() const
    {
        m_writer.finish();
        if (m_out.readerGone())
            return ExitReaderGone;
        const QString failure = m_writer.failure();
        if (!m_out.failed() && failure.isEmpty())
            return ExitSuccess;
        printProblem(m_err, failure.isEmpty() ? QCoreApplication::translate("realm::cli::SearchRunner", "写入输出失败。") : failure);
        return ExitFailure;
    }

    int stopped(const SearchEnd &end) const
    {
        // Without a signal, a failed write is what stopped the search.
        if (end.stopSignal == 0)
            return finishOutput();
        if (m_out.readerGone())
            return ExitReaderGone;
        m_writer.finishIncomplete();
        return 128 + end.stopSignal;
    }

    TableWriter &m_writer;
    const OutputBuffer &m_out;
    std::FILE *m_err;
};

} // namespace

void printProblem(std::FILE *err, const QString &message)
{
    printLine(err, QStringLiteral("realmquery-cli: ") + message);
}

int runRequest(const Request &request, Streams streams)
{
    setProgramFolder(request.folder);
    const QString folder = programFolder();
    if (const auto note = exposedPasswordNote(folder))
        printProblem(streams.err, *note);
    std::vector<std::size_t> servers{0};
    if (sourceOf(request.search) == SearchSource::GameDatabase) {
        const std::vector<Settings> profiles = readServerProfiles(folder);
        auto chosen = chosenServers(request, profiles);
        if (const auto *problem = std::get_if<QString>(&chosen)) {
            printProblem(streams.err, *problem);
            return ExitUsage;
        }
        servers = std::get<std::vector<std::size_t>>(chosen);
        tellUnchosenProblems(profiles, servers, streams.err);
    }
    const bool severalServers = servers.size() > 1;
    OutputBuffer out(streams.out);
    const QStringList columns = columnsOf(request.search);
    const auto writer = makeTableWriter(request.format, severalServers ? QStringList{ServerColumn} + columns : columns, out,
                                        request.output);
    if (!writer->failure().isEmpty()) {
        printProblem(streams.err, writer->failure());
        return ExitFailure;
    }
    Module1 shared;
    try {
        requireFolder(folder);
        const ListFormat format = std::visit(Preparation{shared, folder, request.itemNames}, request.search);
        QStringList serverNames;
        for (const std::size_t server : servers)
            serverNames << (severalServers ? shared.servers.at(server).settings.displayName : QString());
        // Rows of AllServers are found past the chosen servers.
        serverNames << allServersName();
        BatchWriter rows(format, *writer, out, severalServers ? serverNames : QStringList());
        const SearchEnd end = runToEnd(shared, request.search, {servers, streams.err}, rows);
        return Conclusion(*writer, out, streams.err)(end);
    } catch (const DataError &error) {
        printProblem(streams.err, error.message());
        return ExitFailure;
    }
}

int listServers(const ServerListing &listing, Streams streams)
{
    setProgramFolder(listing.folder);
    const std::vector<Settings> profiles = readServerProfiles(programFolder());
    OutputBuffer out(streams.out);
    const auto writer = makeTableWriter(listing.format,
                                        {QStringLiteral("name"), QStringLiteral("address"), QStringLiteral("login")}, out);
    for (const Settings &profile : profiles) {
        const QString address = profile.gameDatabaseFile.isEmpty() ? profile.login.server : profile.gameDatabaseFile;
        const QString login = profile.gameDatabaseFile.isEmpty() ? profile.login.userId : QString();
        Cells cells(3);
        const QString *texts[] = {&profile.displayName, &address, &login};
        for (std::size_t column = 0; column < cells.size(); ++column)
            cells[column] = {!texts[column]->isEmpty(), false, {ResultTable::Kind::Text, 0, 0, *texts[column]}};
        writer->writeRow(cells);
        if (!isUsable(profile))
            printProblem(streams.err, profile.displayName + QStringLiteral(": ") + profile.problem);
    }
    writer->finish();
    return out.failed() ? ExitFailure : ExitSuccess;
}

} // namespace realm::cli
