#pragma once

#include "Measure.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace bench {

// One run of a program: wall time, CPU time (user and system) and peak
// resident memory.
struct ChildUsage {
    double seconds = 0;
    double cpuSeconds = 0;
    long long peakBytes = 0;
};
// Runs a program with standard input from `input` (empty: /dev/null) and
// standard output to /dev/null, and waits for it. Throws std::runtime_error
// when it cannot start or does not exit with status 0.
ChildUsage runMeasured(const QString &program, const QStringList &arguments, const QString &input = {});

// Repeated runs of one program: wall and CPU time, and the largest peak
// of resident memory.
struct SpawnedSamples {
    Samples wall;
    Samples cpu;
    long long peakBytes = 0;

    void add(const ChildUsage &usage)
    {
        wall.seconds.push_back(usage.seconds);
        cpu.seconds.push_back(usage.cpuSeconds);
        peakBytes = std::max(peakBytes, usage.peakBytes);
    }
};

} // namespace bench
