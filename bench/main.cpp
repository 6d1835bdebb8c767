#include "Audits.h"
#include "Fanout.h"
#include "InProcess.h"
#include "Measure.h"
#include "ReplayServer.h"
#include "Responsiveness.h"
#include "Spawn.h"
#include "Table.h"

#include "query/EquipmentQuery.h"
#include "ui/RowOrderModel.h"
#include "ui/TableExport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <stdexcept>

// Times the searches end to end on generated data (see scripts/bench.sh),
// against the sqlite3 shell running the same SQL as the reference.
namespace {

using namespace bench;

struct Config {
    QString dataDir;
    QString cli;
    QString sqlite3 = QStringLiteral("sqlite3");
    int repeat = 5;
};

// What the bars are checked against, gathered while the sections run.
struct Findings {
    double cliRatio = 0;
    double cliBestRatio = 0;
    double fillRatio = 0;
    double sqlServerCpuRatio = 0;
    double sqlServerPeakMegabytes = 0;
    WindowFigures window;
    double cliFirstRow = 0;
    double cliPeakMegabytes = 0;
    double addedMegabytes = 0;
    double preloadSeconds = 0;
    double resolutionDifference = 0;
    FanoutFindings fanout;
};

constexpr int SmallRows = 100'000;
constexpr int LargeRows = 1'000'000;
constexpr int FullItems = 20'000;
constexpr int FewItems = 200;
// The item types the rows of the name-resolution pair use, fewer than the
// small table holds: both folders then hold the same game rows, and the two
// tables name those types alike.
constexpr int UsedItems = 180;
const QString AllPets = QStringLiteral(" ");
const QString SwordFragment = QStringLiteral("剑");

// The folders scripts/bench.sh makes; `used` 0: the rows use every item id.
QString folderFor(const Config &config, int rows, int items, int used = 0)
{
    QString name = QStringLiteral("rows-%1-items-%2").arg(rows).arg(items);
    if (used > 0)
        name += QStringLiteral("-used-%1").arg(used);
    return QDir(config.dataDir).filePath(name);
}

QString gameFile(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("realmdb.sqlite"));
}

std::string rowsTitle(int rows, int items)
{
    return grouped(rows) + " user_item rows, " + grouped(items) + "-item db.mdb";
}

void memorySection(const Config &config, Findings &findings)
{
    OpenFolder open(folderFor(config, LargeRows, FullItems));
    auto list = newResultList(open.module());
    const long long before = residentBytes();
    const int rows = equipmentSearch(open, *list);
    const long long withResult = residentBytes();
    findings.addedMegabytes = megabytes(withResult - before);
    std::printf("\nResident memory (VmRSS) of a %s-row equipment result in the main window\n", grouped(rows).c_str());
    std::printf("  before the search                 %8.1f MB\n", megabytes(before));
    std::printf("  list filled (it holds the rows)   %8.1f MB  (+%.1f MB, %.0f bytes a row)\n", megabytes(withResult),
                findings.addedMegabytes, double(withResult - before) / rows);
}

Samples inProcessFill(const Config &config, OpenFolder &open)
{
    std::unique_ptr<realm::ui::RowListModel> list;
    return measure(
        config.repeat, [&] { equipmentSearch(open, *list); }, [&] { list = newResultList(open.module()); });
}

struct Command {
    QString program;
    QStringList arguments;
};

// Two programs in turns, so that a noisy moment hits each alike.
std::pair<SpawnedSamples, SpawnedSamples> spawnedInTurns(const Config &config, const Command &first, const Command &second)
{
    std::pair<SpawnedSamples, SpawnedSamples> samples;
    for (int i = 0; i < config.repeat; ++i) {
        samples.first.add(runMeasured(first.program, first.arguments));
        samples.second.add(runMeasured(second.program, second.arguments));
    }
    return samples;
}

void searchSection(const Config &config, int rows, Findings &findings)
{
    const QString folder = folderFor(config, rows, FullItems);
    Table table("Equipment search with no filter: " + rowsTitle(rows, FullItems));
    const auto [shell, spawnedCli] = spawnedInTurns(
        config, {config.sqlite3, {QStringLiteral("-csv"), gameFile(folder), realm::EquipmentSelect}},
        {config.cli, {QStringLiteral("--dir"), folder, QStringLiteral("--format"), QStringLiteral("tsv"), QStringLiteral("equip")}});
    table.reference("reference: sqlite3 -csv FILE \"SQL\" > /dev/null", shell.wall);
    const Samples &cli = spawnedCli.wall;
    table.line("realmquery-cli --format tsv equip > /dev/null", cli);
    table.lineAgainst("CPU time (user + sys) of sqlite3", shell.cpu, shell.cpu);
    table.lineAgainst("CPU time of realmquery-cli, x sqlite3's", spawnedCli.cpu, shell.cpu);
    if (rows == LargeRows)
        findings.cliBestRatio = cli.best() / shell.wall.best();
    OpenFolder open(folder);
    const Samples fill = inProcessFill(config, open);
    table.line("in process: query to the last row in the list", fill);
    std::unique_ptr<realm::ui::RowListModel> list;
    int pets = 0;
    table.line("in process: pet search ' ' (every pet) into the list",
               measure(
                   config.repeat, [&] { pets = petSearch(open, AllPets, *list); },
                   [&] { list = newResultList(open.module()); }));
    table.note(grouped(pets) + " pets");
    if (rows == LargeRows)
        findings.cliRatio = cli.median() / table.referenceMedian();
    if (rows == LargeRows)
        findings.fillRatio = fill.median() / table.referenceMedian();
}

// The real main window and the command line while a 1,000,000-row search
// runs: how live the window stays, how soon rows show, how soon a stop
// takes effect, and what memory each needs.
void responsivenessSection(const Config &config, Findings &findings)
{
    const QString folder = folderFor(config, LargeRows, FullItems);
    findings.window = measureMainWindow(folder);
    std::vector<double> firstRows;
    long long peak = 0;
    for (int i = 0; i < config.repeat; ++i) {
        firstRows.push_back(cliFirstRowSeconds(config.cli, folder));
        peak = std::max(peak, runMeasured(config.cli, {QStringLiteral("--dir"), folder, QStringLiteral("equip")}).peakBytes);
    }
    findings.cliFirstRow = Samples{firstRows}.median();
    findings.cliPeakMegabytes = megabytes(peak);
    const WindowFigures &window = findings.window;
    std::printf("\nSpeed and memory: unfiltered equipment search, %s rows, in the real main window\n",
                grouped(window.rows).c_str());
    std::printf("  longest gap between ticks of a 10 ms timer   %8.3f s\n", window.longestGapSeconds);
    std::printf("  click to the first rows in the list          %8.3f s\n", window.firstRowsSeconds);
    std::printf("  click to the end of the search (the fill)    %8.3f s\n", window.fillSeconds);
    std::printf("  stop request to the end of the search        %8.3f s\n", window.stopSeconds);
    std::printf("  resident memory the result adds              %8.1f MB\n", window.addedMegabytes);
    std::printf("  command line: start to the first row (median) %7.3f s\n", findings.cliFirstRow);
    std::printf("  command line: peak resident memory (largest) %8.1f MB\n", findings.cliPeakMegabytes);
}

struct SqlServerClients {
    SpawnedSamples cli;
    SpawnedSamples tsql;
    SpawnedSamples freebcp;
};

// The three clients in turns, so that a noisy moment hits each alike.
SqlServerClients runSqlServerClients(const Config &config, const ReplayServer &server, const QString &password,
                                     const QTemporaryDir &work)
{
    const QString port = server.port();
    const QString script = work.filePath(QStringLiteral("query.sql"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write((realm::EquipmentSelect + QStringLiteral("\ngo\n")).toUtf8()) < 0)
        throw std::runtime_error("cannot write the tsql script");
    file.close();
    const QString login = QStringLiteral("operator");
    const QString database = QStringLiteral("realmdb");
    SqlServerClients clients;
    for (int i = 0; i < config.repeat; ++i) {
        clients.cli.add(runMeasured(config.cli, {QStringLiteral("--dir"), work.path(), QStringLiteral("--format"), QStringLiteral("tsv"), QStringLiteral("equip")}));
        clients.tsql.add(runMeasured(QStringLiteral("tsql"), {QStringLiteral("-o"), QStringLiteral("q"), QStringLiteral("-H"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), port, QStringLiteral("-U"), login, QStringLiteral("-P"), password, QStringLiteral("-D"), database}, script));
        clients.freebcp.add(runMeasured(QStringLiteral("freebcp"), {realm::EquipmentSelect, QStringLiteral("queryout"), QStringLiteral("/dev/null"), QStringLiteral("-S"), QStringLiteral("127.0.0.1:") + port, QStringLiteral("-U"), login, QStringLiteral("-P"), password, QStringLiteral("-D"), database, QStringLiteral("-c")}));
    }
    return clients;
}

void printClient(const char *what, const SpawnedSamples &samples, const SpawnedSamples &reference)
{
    std::printf("  %-34s %8.3f %8.3f %8.2f   %8.3f %8.3f   %7.1f\n", what, samples.cpu.median(), samples.cpu.best(),
                samples.cpu.best() / reference.cpu.best(), samples.wall.median(), samples.wall.best(), megabytes(samples.peakBytes));
}

// The SQL Server path through unixODBC and FreeTDS against FreeTDS's own
// command-line clients on the same replayed reply, in the clients' CPU time.
void sqlServerSection(const Config &config, Findings &findings)
{
    const QString folder = folderFor(config, LargeRows, FullItems);
    const QString password = QStringLiteral("bench-word");
    const ReplayServer server(gameFile(folder), password);
    const QTemporaryDir work;
    if (!QFile::copy(QDir(folder).filePath(QStringLiteral("db.mdb")), work.filePath(QStringLiteral("db.mdb"))))
        throw std::runtime_error("cannot copy db.mdb");
    QFile ini(work.filePath(QStringLiteral("db.ini")));
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write(QStringLiteral("[基础设置]\nserverip=127.0.0.1,%1\nuserid=operator\npassword=%2\n").arg(server.port(), password).toUtf8()) < 0)
        throw std::runtime_error("cannot write db.ini");
    ini.close();
    // A password in a file others can read draws a warning on every run.
    ini.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const SqlServerClients clients = runSqlServerClients(config, server, password, work);
    std::printf("\nSQL Server path: unfiltered equipment search, %s rows, replayed by the TDS test server\n"
                "(client CPU time = user + sys of the client process; x tsql compares the best runs)\n",
                grouped(LargeRows).c_str());
    std::printf("  %-34s %8s %8s %8s   %8s %8s   %7s\n", "", "CPU med", "CPU best", "x tsql", "wall med", "wall best", "peak MB");
    printClient("reference: tsql", clients.tsql, clients.tsql);
    printClient("freebcp SQL queryout FILE -c", clients.freebcp, clients.tsql);
    printClient("realmquery-cli --format tsv equip", clients.cli, clients.tsql);
    findings.sqlServerCpuRatio = clients.cli.cpu.best() / clients.tsql.cpu.best();
    findings.sqlServerPeakMegabytes = megabytes(clients.cli.peakBytes);
}

void itemTableSection(const Config &config, Findings &findings)
{
    const QString folder = folderFor(config, SmallRows, FullItems);
    Table table("Item table: " + grouped(FullItems) + "-item db.mdb");
    const Samples preload = measure(config.repeat, [&] { preloadItems(folder); });
    table.line("start-up preload: openItemConnection + preloadItemNames", preload);
    findings.preloadSeconds = preload.median();
    OpenFolder open(folder);
    int found = 0;
    table.line("item lookup by a name fragment (\"sword\", like '%X%')",
               measure(config.repeat, [&] { found = itemLookup(open, SwordFragment); }));
    table.note(grouped(found) + " items found");
}

// A 1,000,000-row result with the small or the full item table; the two
// are measured in turns, each first every other time, so that neither
// gains from going first and a noisy moment hits both alike.
struct ResolutionRun {
    explicit ResolutionRun(const QString &folder)
        : open(folder) { }
    OpenFolder open;
    Samples fill;
    Samples resolve;
    int found = 0;

    void measureOnce()
    {
        auto list = newResultList(open.module());
        fill.seconds.push_back(processCpuSecondsOf([&] { equipmentSearch(open, *list); }));
        resolve.seconds.push_back(cpuSecondsOf([&] { found = resolveItemNames(*list); }));
    }
};

// Prints both per-row costs; returns the full table's relative change.
// The change is taken between the best runs: other work on the machine only
// ever adds time, so the best run is the one closest to the cost itself.
double printPerRow(const char *what, const Samples &few, const Samples &full)
{
    const auto perRow = [](double seconds) { return seconds * 1e9 / LargeRows; };
    const double change = full.best() / few.best() - 1;
    std::printf("  %-40s %8.0f %8.0f   %8.0f %8.0f   %+7.1f%%\n", what, perRow(few.median()), perRow(few.best()),
                perRow(full.median()), perRow(full.best()), change * 100);
    return change;
}

void resolutionSection(const Config &config, Findings &findings)
{
    ResolutionRun few(folderFor(config, LargeRows, FewItems, UsedItems));
    ResolutionRun full(folderFor(config, LargeRows, FullItems, UsedItems));
    // Twice the runs: the difference sought is small beside the noise.
    for (int i = 0; i < 2 * config.repeat; ++i) {
        ResolutionRun &first = i % 2 ? full : few;
        ResolutionRun &second = i % 2 ? few : full;
        first.measureOnce();
        second.measureOnce();
    }
    std::printf("\nName resolution: the same %s user_item rows of %d item types, named alike\n"
                "by a %s-item and a %s-item db.mdb (ns of CPU time a row; the fill counts every thread)\n",
                grouped(LargeRows).c_str(), UsedItems, grouped(FewItems).c_str(), grouped(FullItems).c_str());
    std::printf("  %-40s %17s   %17s   %8s\n", "", "200 items", "20,000 items", "change");
    std::printf("  %-40s %8s %8s   %8s %8s   %8s\n", "", "median", "best", "median", "best", "(best)");
    findings.resolutionDifference = printPerRow("list fill, query to the last row", few.fill, full.fill);
    printPerRow("item-name cells of every row", few.resolve, full.resolve);
    std::printf("  rows whose item name was found: %s and %s of %s\n", grouped(few.found).c_str(),
                grouped(full.found).c_str(), grouped(LargeRows).c_str());
}

void printBars(const Findings &findings)
{
    std::printf("\nBars\n");
    const WindowFigures &window = findings.window;
    printUpperBar("CLI equipment search, 1,000,000 rows: %.2fx sqlite3 (<= %gx)", findings.cliRatio, 2);
    printUpperBar("window's longest event-loop gap while searching: %.3f s (<= %g s)", window.longestGapSeconds, 0.05);
    printUpperBar("first rows in the list: %.3f s after the click (<= %g s)", window.firstRowsSeconds, 0.3);
    printUpperBar("command line's first row: %.3f s after its start (<= %g s)", findings.cliFirstRow, 0.2);
    printUpperBar("stop takes effect: %.3f s (<= %g s)", window.stopSeconds, 0.2);
    printUpperBar("command line's peak memory, 1,000,000 rows: %.1f MB (<= %g MB)", findings.cliPeakMegabytes, 30);
    printUpperBar("memory a 1,000,000-row result adds to the window: %.1f MB (<= %g MB)", window.addedMegabytes, 60);
    printUpperBar("CLI equipment search, 1,000,000 rows, best runs: %.2fx sqlite3 (<= %gx)", findings.cliBestRatio, 1.1);
    printUpperBar("window's fill, 1,000,000 rows: %.2fx sqlite3 (<= %gx)", findings.fillRatio, 1.3);
    printUpperBar("SQL Server path, 1,000,000 rows: CLI CPU %.2fx tsql's (<= %gx)", findings.sqlServerCpuRatio, 0.8);
    printUpperBar("SQL Server path, 1,000,000 rows: CLI peak memory %.1f MB (<= %g MB)", findings.sqlServerPeakMegabytes,
                  30);
    char line[128];
    std::snprintf(line, sizeof line, "fill per row, 20,000 vs 200 items: %+.1f%% (within 10%%)",
                  findings.resolutionDifference * 100);
    printBar(line, std::fabs(findings.resolutionDifference) <= 0.10);
    printUpperBar("memory added by a 1,000,000-row result: %.1f MB (<= %g MB)", findings.addedMegabytes, 200);
    std::snprintf(line, sizeof line, "preload of a 20,000-item db.mdb: %.3f s (< 0.3 s)", findings.preloadSeconds);
    printBar(line, findings.preloadSeconds < 0.3);
    printFanoutBars(findings.fanout);
}

// Sorting and exporting the main window's list of a 1,000,000-row result,
// in CPU time: one thread does the work without waiting, so on an idle
// machine the wall time is the same, and other work on a shared machine
// does not count against it.
struct WorksheetFindings {
    double slowestSort = 0;
    double exportSeconds = 0;
    double xlsxSeconds = 0;
    double xlsxAddedMegabytes = 0;
};

double exportCpuSeconds(const realm::ui::RowOrderModel &order, realm::ui::ExportFormat format, const QString &path)
{
    return cpuSecondsOf([&] {
        if (realm::ui::exportRows(order, format, path).status != realm::ui::ExportOutcome::Status::Written)
            throw std::runtime_error("export failed");
    });
}

Samples cpuSamples(int repeat, const std::function<void()> &run, const std::function<void()> &prepare = {})
{
    Samples samples;
    for (int i = 0; i < repeat; ++i) {
        if (prepare)
            prepare();
        samples.seconds.push_back(cpuSecondsOf(run));
    }
    return samples;
}

void worksheetSection(const Config &config, WorksheetFindings &findings)
{
    using realm::ui::ColumnKind;
    OpenFolder open(folderFor(config, LargeRows, FullItems));
    auto list = newResultList(open.module());
    const int rows = equipmentSearch(open, *list);
    const QList<ColumnKind> kinds = {ColumnKind::Text, ColumnKind::Number, ColumnKind::Text,
                                     ColumnKind::Number, ColumnKind::Number, ColumnKind::Text};
    const char *const columns[] = {"character name (text)", "item id (number)", "item name (text)", "amount (number)",
                                   "enchant (+number)"};
    Table table("Worksheet: sort and export the list of a " + grouped(rows) + "-row equipment result (CPU s)");
    for (int column = 0; column < 5; ++column) {
        std::unique_ptr<realm::ui::RowOrderModel> order;
        const Samples sort = cpuSamples(
            config.repeat, [&] { order->sort(column, Qt::DescendingOrder); },
            [&] { order = std::make_unique<realm::ui::RowOrderModel>(list.get(), kinds); });
        table.line(std::string("sort by ") + columns[column] + ", descending", sort);
        findings.slowestSort = std::max(findings.slowestSort, sort.median());
    }
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("export.csv"));
    realm::ui::RowOrderModel order(list.get(), kinds);
    order.sort(0);
    const QString xlsxPath = folder.filePath(QStringLiteral("export.xlsx"));
    // In turns, so that a change in the machine's load touches both alike.
    Samples exported;
    Samples xlsx;
    long long xlsxPeak = 0;
    const long long before = residentBytes();
    for (int i = 0; i < config.repeat; ++i) {
        exported.seconds.push_back(exportCpuSeconds(order, realm::ui::ExportFormat::Csv, path));
        xlsxPeak = std::max(xlsxPeak, peakResidentBytesOf([&] {
                                xlsx.seconds.push_back(exportCpuSeconds(order, realm::ui::ExportFormat::Xlsx, xlsxPath));
                            }));
    }
    table.line("export every row, sorted by name, to CSV", exported);
    table.line("export every row, sorted by name, to xlsx", xlsx);
    findings.exportSeconds = exported.median();
    findings.xlsxSeconds = xlsx.median();
    findings.xlsxAddedMegabytes = megabytes(xlsxPeak - before);
    char added[32];
    std::snprintf(added, sizeof added, "%.1f", findings.xlsxAddedMegabytes);
    table.note(grouped(QFileInfo(path).size() / 1024 / 1024) + " MB of CSV and " + grouped(QFileInfo(xlsxPath).size() / 1024 / 1024)
               + " MB of xlsx written; the xlsx export's resident peak " + added + " MB above the filled list");
}

void printWorksheetBars(const WorksheetFindings &findings)
{
    printUpperBar("slowest sort of the 1,000,000-row list: %.2f CPU s (<= %g s)", findings.slowestSort, 1.5);
    printUpperBar("export of the 1,000,000-row list: %.2f CPU s (<= %g s)", findings.exportSeconds, 3);
    printUpperBar("xlsx export of the 1,000,000-row list: %.2fx the CSV export's CPU (<= %gx)",
                  findings.xlsxSeconds / findings.exportSeconds, 2.5);
    printUpperBar("memory the xlsx export adds: %.1f MB (<= %g MB)", findings.xlsxAddedMegabytes, 60);
}

const char *const Usage = "usage: realmbench --data DIR --cli REALMQUERY-CLI [--sqlite3 PROGRAM] [--repeat N]\n"
                          "DIR holds the folders scripts/bench.sh generates.\n";

Config parseArguments(const QStringList &arguments)
{
    Config config;
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        const QString &option = arguments[i];
        const QString &value = arguments[i + 1];
        if (option == u"--data")
            config.dataDir = value;
        else if (option == u"--cli")
            config.cli = value;
        else if (option == u"--sqlite3")
            config.sqlite3 = value;
        else if (option == u"--repeat")
            config.repeat = std::max(1, value.toInt());
        else
            throw std::invalid_argument("unknown option " + option.toStdString());
    }
    if (config.dataDir.isEmpty() || config.cli.isEmpty() || arguments.size() % 2 == 0)
        throw std::invalid_argument("--data and --cli are needed");
    return config;
}

} // namespace

int main(int argc, char *argv[])
{
    // The real main window is measured; nothing needs to be seen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        const Config config = parseArguments(QCoreApplication::arguments());
        std::printf("realmbench: %d runs of each case; wall times in seconds\n", config.repeat);
        Findings findings;
        memorySection(config, findings);
        searchSection(config, SmallRows, findings);
        searchSection(config, LargeRows, findings);
        sqlServerSection(config, findings);
        itemTableSection(config, findings);
        resolutionSection(config, findings);
        findings.fanout = fanoutSection(config.dataDir, config.cli, config.repeat);
        responsivenessSection(config, findings);
        WorksheetFindings worksheet;
        worksheetSection(config, worksheet);
        AuditFindings audits;
        auditSection(QDir(config.dataDir).filePath(QStringLiteral("rows-%1-items-%2-dupes-1000").arg(LargeRows).arg(FullItems)),
                     config.cli, config.sqlite3, config.repeat, audits);
        printBars(findings);
        printWorksheetBars(worksheet);
        printAuditBars(audits);
        return 0;
    } catch (const std::invalid_argument &error) {
        std::fprintf(stderr, "realmbench: %s\n%s", error.what(), Usage);
        return 2;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "realmbench: %s\n", error.what());
        return 1;
    }
}
