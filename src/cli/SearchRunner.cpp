#include "cli/SearchRunner.h"

#include "cli/StopSignals.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "query/ListFormat.h"
#include "query/SearchChannel.h"
#include "startup/ProgramFolder.h"
#include "startup/SettingsTemplate.h"
#include "startup/Startup.h"

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
        shared.gameConn = openGameConnection(readSettings(folder), folder);
        return characterListFormat();
    }
};

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
    BatchWriter(const ListFormat &format, TableWriter &writer, OutputBuffer &out)
        : m_format(format), m_writer(writer), m_out(out), m_cells(std::size_t(format.columnCount())) { }

    // False once the output cannot take more.
    bool write(const ResultTable &batch)
    {
        if (m_positions.empty())
            m_positions = m_format.positionsIn(batch);
        for (int row = 0; row < batch.rowCount(); ++row) {
            m_format.prefetchAhead(batch, row, m_positions);
            m_format.shownRow(batch, row, m_positions, m_cells.data());
            m_writer.writeRow(m_cells);
        }
        m_out.flush();
        return !m_out.failed();
    }

private:
    const ListFormat &m_format;
    TableWriter &m_writer;
    OutputBuffer &m_out;
    Cells m_cells;
    std::vector<int> m_positions;
};

// How a search ended: its outcome, and the signal that stopped it, if one
// did.
struct SearchEnd {
    SearchOutcome outcome;
    int stopSignal = 0;
};

SearchEnd runToEnd(Module1 &shared, const Search &search, BatchWriter &rows)
{
    SearchChannel channel(shared);
    StopSignals stopSignals;
    QEventLoop loop;
    SearchEnd end;
    QObject::connect(&channel, &SearchChannel::rowsArrived, &loop, [&](const std::shared_ptr<const ResultTable> &batch) {
        if (!rows.write(*batch))
            channel.stop();
    });
    QObject::connect(&channel, &SearchChannel::finished, &loop, [&](const SearchOutcome &outcome) {
        end.outcome = outcome;
        loop.quit();
    });
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &channel, &SearchChannel::stop);
    channel.start(search);
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
        // without rows leaves the output empty.
        printProblem(m_err, end.outcome.message);
        if (m_writer.wroteRows())
            finishOutput();
        return ExitFailure;
    }

private:
    int finishOutput() const
    {
        m_writer.finish();
        if (m_out.readerGone())
            return ExitReaderGone;
        if (!m_out.failed())
            return ExitSuccess;
        printProblem(m_err, QCoreApplication::translate("realm::cli::SearchRunner", "写入输出失败。"));
        return ExitFailure;
    }

    int stopped(const SearchEnd &end) const
    {
        // Without a signal, a failed write is what stopped the search.
        if (end.stopSignal == 0)
            return finishOutput();
        if (m_out.readerGone())
            return ExitReaderGone;
        m_writer.finish();
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
    OutputBuffer out(streams.out);
    const auto writer = makeTableWriter(request.format, columnsOf(request.search), out);
    Module1 shared;
    try {
        const ListFormat format = std::visit(Preparation{shared, folder, request.itemNames}, request.search);
        BatchWriter rows(format, *writer, out);
        return Conclusion(*writer, out, streams.err)(runToEnd(shared, request.search, rows));
    } catch (const DataError &error) {
        printProblem(streams.err, error.message());
        return ExitFailure;
    }
}

} // namespace realm::cli
