#include "Fanout.h"

#include "ReplayServer.h"
#include "Spawn.h"
#include "Table.h"

#include "data/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace bench {

namespace {

constexpr int RowsEach = 250'000;
constexpr int Servers = 4;
const QString Password = QStringLiteral("bench-word");

QString fanoutFolder(const QString &dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("fanout-4x-%1-items-20000").arg(RowsEach));
}

std::vector<realm::Settings> profilesOf(const QString &folder)
{
    std::vector<realm::Settings> profiles = realm::readServerProfiles(folder);
    if (profiles.size() != Servers)
        throw std::runtime_error("the fan-out folder does not configure four servers: " + folder.toStdString());
    return profiles;
}

struct CliRuns {
    std::vector<SpawnedSamples> alone{Servers};
    SpawnedSamples together;

    // The server alone whose best run took longest.
    const SpawnedSamples &slowestAlone() const
    {
        return *std::ranges::max_element(alone, {}, [](const SpawnedSamples &runs) { return runs.wall.best(); });
    }
};

// Each server alone, then the four at once, `repeat` times, so that a
// noisy moment hits each alike.
CliRuns runInTurns(const QString &cli, const QString &folder, const std::vector<realm::Settings> &profiles, int repeat)
{
    const QStringList search = {QStringLiteral("--dir"), folder, QStringLiteral("--format"), QStringLiteral("tsv")};
    CliRuns runs;
    for (int i = 0; i < repeat; ++i) {
        for (std::size_t server = 0; server < profiles.size(); ++server)
            runs.alone[server].add(runMeasured(cli, search + QStringList{QStringLiteral("--server"), profiles[server].displayName, QStringLiteral("equip")}));
        runs.together.add(runMeasured(cli, search + QStringList{QStringLiteral("--all-servers"), QStringLiteral("equip")}));
    }
    return runs;
}

void printRuns(const char *what, const SpawnedSamples &runs)
{
    std::printf("  %-40s %8.3f %8.3f   %8.3f %8.3f   %7.1f\n", what, runs.wall.median(), runs.wall.best(),
                runs.cpu.median(), runs.cpu.best(), megabytes(runs.peakBytes));
}

void printWindow(const WindowFigures &window)
{
    std::printf("  main window, all four chosen: %s rows; longest gap between ticks of a 10 ms timer %.3f s,\n"
                "    first rows %.3f s after the click, the last %.3f s; stop %.3f s; the result adds %.1f MB\n",
                grouped(window.rows).c_str(), window.longestGapSeconds, window.firstRowsSeconds, window.fillSeconds,
                window.stopSeconds, window.addedMegabytes);
}

FanoutFigures measureServers(const char *title, const QString &cli, const QString &folder, int repeat)
{
    const std::vector<realm::Settings> profiles = profilesOf(folder);
    const CliRuns runs = runInTurns(cli, folder, profiles, repeat);
    std::printf(" %s\n", title);
    for (std::size_t server = 0; server < runs.alone.size(); ++server)
        printRuns(("server " + std::to_string(server + 1) + " alone (--server NAME)").c_str(), runs.alone[server]);
    printRuns("all four at once (--all-servers)", runs.together);
    FanoutFigures figures;
    const SpawnedSamples &slowest = runs.slowestAlone();
    figures.wallRatio = runs.together.wall.best() / slowest.wall.best();
    figures.cpuRatio = runs.together.cpu.best() / slowest.cpu.best();
    figures.peakMegabytes = megabytes(runs.together.peakBytes);
    std::printf("  four at once, best runs: %.2fx the slowest alone in wall time, %.2fx in CPU time\n", figures.wallRatio,
                figures.cpuRatio);
    figures.window = measureMainWindow(folder);
    printWindow(figures.window);
    return figures;
}

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
    // A password in a file others can read draws a warning on every run.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The servers of `folder`, with their names, each replaying its game
// file from a TDS test server of its own.
class ReplayedFolder {
public:
    explicit ReplayedFolder(const QString &folder)
    {
        const std::vector<realm::Settings> profiles = profilesOf(folder);
        if (!QFile::copy(QDir(folder).filePath(QStringLiteral("db.mdb")), m_work.filePath(QStringLiteral("db.mdb"))))
            throw std::runtime_error("cannot copy db.mdb");
        QString ini;
        for (std::size_t server = 0; server < profiles.size(); ++server) {
            const realm::Settings &profile = profiles[server];
            m_servers.push_back(std::make_unique<ReplayServer>(QDir(folder).filePath(profile.gameDatabaseFile), Password));
            ini += server == 0 ? QStringLiteral("[%1]\nname=%2\n").arg(profile.section, profile.displayName)
                               : QStringLiteral("\n[%1]\n").arg(profile.section);
            ini += QStringLiteral("serverip=127.0.0.1,%1\nuserid=operator\npassword=%2\n").arg(m_servers.back()->port(), Password);
        }
        writeFile(m_work.filePath(QStringLiteral("db.ini")), ini);
    }

    QString path() const { return m_work.path(); }

private:
    QTemporaryDir m_work;
    std::vector<std::unique_ptr<ReplayServer>> m_servers;
};

void printFigureBars(const char *kind, const FanoutFigures &figures)
{
    constexpr double PeakLimit = 30 + 8 * (Servers - 1);
    char format[128];
    std::snprintf(format, sizeof format, "fan-out CLI, %s: %%.2fx the slowest alone (<= %%gx)", kind);
    printUpperBar(format, figures.wallRatio, 1.2);
    std::snprintf(format, sizeof format, "fan-out CLI, %s: peak memory %%.1f MB (<= %%g MB)", kind);
    printUpperBar(format, figures.peakMegabytes, PeakLimit);
    std::snprintf(format, sizeof format, "fan-out window, %s: longest gap %%.3f s (<= %%g s)", kind);
    printUpperBar(format, figures.window.longestGapSeconds, 0.05);
    std::snprintf(format, sizeof format, "fan-out window, %s: first rows %%.3f s (<= %%g s)", kind);
    printUpperBar(format, figures.window.firstRowsSeconds, 0.3);
}

} // namespace

FanoutFindings fanoutSection(const QString &dataDir, const QString &cli, int repeat)
{
    const QString folder = fanoutFolder(dataDir);
    std::printf("\nFan-out: unfiltered equipment search on four game servers of %s rows each, each alone and all\n"
                "four at once, in turns (%u processors; wall and CPU s of the command line, its peak resident MB)\n",
                grouped(RowsEach).c_str(), std::thread::hardware_concurrency());
    std::printf("  %-40s %8s %8s   %8s %8s   %7s\n", "", "wall med", "best", "CPU med", "best", "peak MB");
    FanoutFindings findings;
    findings.embedded = measureServers("four embedded game files", cli, folder, repeat);
    const ReplayedFolder replayed(folder);
    findings.replayed = measureServers("four TDS test servers, each replaying one of the files", cli, replayed.path(), repeat);
    return findings;
}

void printFanoutBars(const FanoutFindings &findings)
{
    printFigureBars("4 game files", findings.embedded);
    printFigureBars("4 TDS servers", findings.replayed);
}

} // namespace bench
