#include "cli/SearchRunner.h"

#include "cli/StopSignals.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "data/ProgramFolder.h"
#include "data/SettingsTemplate.h"
#include "query/ListFormat.h"
#include "query/SearchChannel.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace realm::cli {

namespace {

using Status = SearchOutcome::Status;

// Column names as the output's header and keys, in the windows' order.
const QStringList ResultListColumns = {QStringLiteral("char_name"), QStringLiteral("item_id"),
                                       QStringLiteral("item_name"), QStringLiteral("amount"),
                                       QStringLiteral("enchant"), QStringLiteral("pet_name")};
const QStringList ItemGridColumns = {QStringLiteral("id"), QStringLiteral("name_c"), QStringLiteral("name_e")};
const QStringList CharacterListColumns = {QStringLiteral("char_name"), QStringLiteral("account_name")};

QStringList columnsOf(const EquipmentSearch &)
{
    return ResultListColumns;
}
QStringList columnsOf(const PetSearch &)
{
    return ResultListColumns;
}
QStringList columnsOf(const ItemLookup &)
{
    return ItemGridColumns;
}
QStringList columnsOf(const AccountLookup &)
{
    return CharacterListColumns;
}

// A search made ready to run: the connection it runs on, the work, and
// how its rows are written.
struct PreparedSearch {
    std::shared_ptr<Connection> connection;
    SearchChannel::Work work;
    ListFormat format;
};

// The searches into the result list need what the main window opens.
PreparedSearch resultListSearch(Module1 &module, const QString &folder, SearchChannel::Work work)
{
    openSharedData(module, readSettings(folder), folder);
    return {module.gameConn, std::move(work), resultListFormat(module.itemNames)};
}

PreparedSearch prepare(const EquipmentSearch &search, Module1 &module, const QString &folder)
{
    return resultListSearch(module, folder, [&module, filters = search.filters](ListFeed &rows, StopFlag &stop) {
        return runEquipmentSearch(*module.gameConn, *module.rsEquip, filters, rows, stop);
    });
}

PreparedSearch prepare(const PetSearch &search, Module1 &module, const QString &folder)
{
    return resultListSearch(module, folder, [&module, petName = search.petName](ListFeed &rows, StopFlag &stop) {
        return runPetSearch(*module.gameConn, *module.rsPet, petName, rows, stop);
    });
}

PreparedSearch prepare(const ItemLookup &search, Module1 &module, const QString &folder)
{
    module.itemConn = openItemConnection(folder);
    renewSlot(module, Slot::Lookup);
    return {module.itemConn,
            [&module, search](ListFeed &rows, StopFlag &stop) {
                return runItemLookup(*module.itemConn, module.rsLookup, search.idText, search.nameText, rows, stop);
            },
            itemGridFormat()};
}

PreparedSearch prepare(const AccountLookup &search, Module1 &module, const QString &folder)
{
    module.gameConn = openGameConnection(readSettings(folder), folder);
    renewSlot(module, Slot::Chars);
    return {module.gameConn,
            [&module, name = search.characterName](ListFeed &rows, StopFlag &stop) {
                return runAccountLookup(*module.gameConn, *module.rsChars, name, rows, stop);
            },
            characterListFormat()};
}

// The list as the command line gives it to a search: each batch is written
// and handed to the stream the moment it is full, on the search's own
// thread, while its rows are still in that core's cache. The rows never
// gather in memory, a reader sees them as they come, and the command
// line's own thread only waits for the end and for stop signals. A failed
// write stops the search.
class BatchWriter : public ListFeed {
public:
    BatchWriter(const ListFormat &format, TableWriter &writer, OutputBuffer &out, StopFlag &stop)
        : m_format(format), m_writer(writer), m_out(out), m_stop(stop), m_cells(std::size_t(format.columnCount())) { }

    void clearRows() override { }
    void receive(std::shared_ptr<const ResultTable> batch) override
    {
        write(*batch);
        if (!m_out.failed())
            return;
        m_stop.raise();
        throw StatementStopped();
    }

private:
    void write(const ResultTable &batch)
    {
        if (m_positions.empty())
            m_positions = m_format.positionsIn(batch);
        for (int row = 0; row < batch.rowCount(); ++row) {
            m_format.prefetchAhead(batch, row, m_positions);
            m_format.shownRow(batch, row, m_positions, m_cells.data());
            m_writer.writeRow(m_cells);
        }
        m_out.flush();
    }

    const ListFormat &m_format;
    TableWriter &m_writer;
    OutputBuffer &m_out;
    StopFlag &m_stop;
    Cells m_cells;
    std::vector<int> m_positions;
};

int finishOutput(TableWriter &writer, const OutputBuffer &out)
{
    writer.finish();
    if (out.readerGone())
        return ExitReaderGone;
    if (!out.failed())
        return ExitSuccess;
    printProblem(QCoreApplication::translate("realm::cli::SearchRunner", "写入输出失败。"));
    return ExitFailure;
}

int conclude(const SearchOutcome &outcome, TableWriter &writer, const OutputBuffer &out)
{
    if (!outcome.note.isEmpty())
        printLine(stderr, outcome.note);
    switch (outcome.status) {
    case Status::Done:
        return finishOutput(writer, out);
    case Status::NotFound:
        printProblem(outcome.message);
        return finishOutput(writer, out);
    case Status::NotRun:
    case Status::InvalidInput:
        printProblem(outcome.message);
        return ExitUsage;
    case Status::Failed:
        // The rows received before the failure are written whole; a
        // failure without rows leaves the output empty.
        printProblem(outcome.message);
        if (writer.wroteRows())
            finishOutput(writer, out);
        return ExitFailure;
    case Status::Stopped:
        break;
    }
    printProblem(outcome.message);
    return ExitFailure;
}

// Runs the search in the background and writes its rows as they come,
// until it ends, a signal stops it, or the reader of the output is gone.
struct SearchEnd {
    SearchOutcome outcome;
    int stopSignal = 0;
};

SearchEnd runToEnd(PreparedSearch &search, TableWriter &writer, OutputBuffer &out, BackgroundRunner &runner)
{
    SearchChannel channel(runner);
    StopSignals stopSignals;
    QEventLoop loop;
    SearchEnd end;
    QObject::connect(&channel, &SearchChannel::finished, &loop, [&](const SearchOutcome &outcome) {
        end.outcome = outcome;
        loop.quit();
    });
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &channel, &SearchChannel::stop);
    channel.start(search.connection, [&](ListFeed &, StopFlag &stop) {
        BatchWriter rows(search.format, writer, out, stop);
        return search.work(rows, stop);
    });
    loop.exec();
    end.stopSignal = stopSignals.received();
    return end;
}

int concludeStopped(const SearchEnd &end, TableWriter &writer, OutputBuffer &out)
{
    // Without a signal, a failed write is what stopped the search.
    if (end.stopSignal == 0)
        return finishOutput(writer, out);
    if (out.readerGone())
        return ExitReaderGone;
    writer.finish();
    return 128 + end.stopSignal;
}

} // namespace

void printProblem(const QString &message)
{
    printLine(stderr, QStringLiteral("realmquery-cli: ") + message);
}

int runRequest(const Request &request)
{
    setProgramFolder(request.folder);
    const QString folder = programFolder();
    if (const auto note = exposedPasswordNote(folder))
        printProblem(*note);
    OutputBuffer out(stdout);
    const auto writer = makeTableWriter(request.format, std::visit([](const auto &search) { return columnsOf(search); }, request.search),
                                        out);
    Module1 module;
    module.itemNameLanguage = request.itemNames;
    // Declared after the shared objects, so its threads end before them.
    BackgroundRunner runner;
    try {
        PreparedSearch search = std::visit([&](const auto &what) { return prepare(what, module, folder); }, request.search);
        const SearchEnd end = runToEnd(search, *writer, out, runner);
        if (end.outcome.status == Status::Stopped)
            return concludeStopped(end, *writer, out);
        return conclude(end.outcome, *writer, out);
    } catch (const DataError &error) {
        printProblem(error.message());
        return ExitFailure;
    }
}

} // namespace realm::cli
