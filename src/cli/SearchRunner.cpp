#include "cli/SearchRunner.h"

#include "cli/RowStream.h"
#include "data/DataError.h"
#include "data/Module1.h"
#include "data/ProgramFolder.h"
#include "query/Searches.h"

#include <QCoreApplication>

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

// The searches into the result list need what the main window opens.
void openForResultList(Module1 &module, const QString &folder)
{
    openSharedData(module, readSettings(folder), folder);
}

// Runs a search that fills a report list, with the rows going to `writer`.
template <class ListSearch>
SearchOutcome streamRows(TableWriter &writer, ListSearch search)
{
    RowStream rows(writer);
    const SearchOutcome outcome = search(rows);
    rows.writePendingRow();
    return outcome;
}

SearchOutcome run(const EquipmentSearch &search, Module1 &module, const QString &folder, TableWriter &writer)
{
    openForResultList(module, folder);
    return streamRows(writer, [&](ReportSink &rows) { return runEquipmentSearch(module, search.filters, rows); });
}

SearchOutcome run(const PetSearch &search, Module1 &module, const QString &folder, TableWriter &writer)
{
    openForResultList(module, folder);
    return streamRows(writer, [&](ReportSink &rows) { return runPetSearch(module, search.petName, rows); });
}

// The grid's designed fields, by name; a Null value or a field the result
// lacks has no value.
void writeGridRows(const ResultTable &table, TableWriter &writer)
{
    std::vector<int> fields;
    for (const QString &name : ItemLookupFields)
        fields.push_back(table.columnIndex(name));
    Cells cells(fields.size());
    for (int row = 0; row < table.rowCount(); ++row) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int field = fields[i];
            cells[i] = field >= 0 && !table.isNull(row, field) ? std::optional(table.displayText(row, field))
                                                               : std::nullopt;
        }
        writer.writeRow(cells);
    }
}

SearchOutcome run(const ItemLookup &search, Module1 &module, const QString &folder, TableWriter &writer)
{
    module.itemConn = openItemConnection(folder);
    module.rsLookup = std::make_shared<Recordset>();
    const SearchOutcome outcome = runItemLookup(module, search.idText, search.nameText);
    if (outcome.status == Status::Done)
        writeGridRows(*module.rsLookup->table(), writer);
    return outcome;
}

SearchOutcome run(const AccountLookup &search, Module1 &module, const QString &folder, TableWriter &writer)
{
    module.gameConn = openGameConnection(readSettings(folder), folder);
    module.rsChars = std::make_shared<Recordset>();
    return streamRows(writer,
                      [&](ReportSink &rows) { return runAccountLookup(module, search.characterName, rows); });
}

int finishOutput(TableWriter &writer, const OutputBuffer &out)
{
    writer.finish();
    if (!out.failed())
        return ExitSuccess;
    printProblem(QCoreApplication::translate("realm::cli::SearchRunner", "写入输出失败。"));
    return ExitFailure;
}

int conclude(const SearchOutcome &outcome, TableWriter &writer, const OutputBuffer &out)
{
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
        break;
    }
    printProblem(outcome.message);
    return ExitFailure;
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
    OutputBuffer out(stdout);
    const auto writer = makeTableWriter(request.format, std::visit([](const auto &search) { return columnsOf(search); }, request.search),
                                        out);
    Module1 module;
    module.itemNameLanguage = request.itemNames;
    try {
        const SearchOutcome outcome = std::visit(
            [&](const auto &search) { return run(search, module, folder, *writer); }, request.search);
        return conclude(outcome, *writer, out);
    } catch (const DataError &error) {
        printProblem(error.message());
        return ExitFailure;
    }
}

} // namespace realm::cli
