#pragma once

#include "Responsiveness.h"

#include <QString>

namespace bench {

// One kind of game server, four of them searched at once.
struct FanoutFigures {
    // The command line's wall time for the four at once, best run, as a
    // multiple of the slowest server's best run alone.
    double wallRatio = 0;
    // The same in CPU time: how much more work the four are.
    double cpuRatio = 0;
    double peakMegabytes = 0; // the largest of the four-server runs
    WindowFigures window; // the main window with all four chosen
};

struct FanoutFindings {
    FanoutFigures embedded;
    FanoutFigures replayed;
};

// The unfiltered equipment search on the four game files of the folder
// scripts/bench.sh makes under `dataDir`, then on four TDS test servers
// replaying them: each server alone and all four at once, in turns, on
// the command line `cli`; then in the real main window.
FanoutFindings fanoutSection(const QString &dataDir, const QString &cli, int repeat);

void printFanoutBars(const FanoutFindings &findings);

} // namespace bench
