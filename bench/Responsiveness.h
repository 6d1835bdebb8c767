#pragma once

#include <QString>

namespace bench {

// The real main window on a program folder, driven as a user drives it,
// with a 10 ms timer on its thread to see how long the event loop is held;
// with several servers configured, the searches read all of them.
struct WindowFigures {
    double longestGapSeconds = 0; // between two ticks of the 10 ms timer
    double firstRowsSeconds = 0; // from the click to the first rows in the list
    double fillSeconds = 0; // from the click to the end of the search
    double stopSeconds = 0; // from the stop request to the end of the search
    double addedMegabytes = 0; // resident memory the full result adds
    int rows = 0;
};

WindowFigures measureMainWindow(const QString &folder);

// The command line: from its start to its first row on standard output.
double cliFirstRowSeconds(const QString &cli, const QString &folder);

} // namespace bench
