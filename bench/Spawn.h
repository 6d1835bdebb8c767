#pragma once

#include <QString>
#include <QStringList>

namespace bench {

// Runs a program with standard output going to /dev/null and returns its
// wall time in seconds. Throws std::runtime_error when it cannot start or
// does not exit with status 0.
double runToNull(const QString &program, const QStringList &arguments);

// The same, giving the program's peak resident memory in bytes as well.
struct SpawnedRun {
    double seconds;
    long long peakBytes;
};
SpawnedRun runToNullWithPeak(const QString &program, const QStringList &arguments);

} // namespace bench
