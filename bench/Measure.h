#pragma once

#include <functional>
#include <vector>

namespace bench {

// Wall times of repeated runs of one case, in seconds.
struct Samples {
    std::vector<double> seconds;

    double median() const;
    double best() const;
};

// Runs `prepare` untimed, then times `run`, `repeat` times.
Samples measure(int repeat, const std::function<void()> &run, const std::function<void()> &prepare = {});

double secondsOf(const std::function<void()> &run);
// The CPU time of the calling thread: unlike wall time, it leaves out the
// moments other processes had the processor.
double cpuSecondsOf(const std::function<void()> &run);
// The CPU time of every thread of the process, for work that runs on the
// background runner's threads.
double processCpuSecondsOf(const std::function<void()> &run);

double megabytes(long long bytes);

// The process's resident memory (VmRSS) in bytes, after handing freed heap
// pages back to the system so that earlier work does not hide growth.
long long residentBytes();
// The highest resident memory (VmHWM) of the process while `run` runs, in
// bytes: the peak is reset first (Linux's clear_refs).
long long peakResidentBytesOf(const std::function<void()> &run);

} // namespace bench
