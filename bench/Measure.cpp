#include "Measure.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <string>

namespace bench {

double Samples::median() const
{
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

double Samples::best() const
{
    return *std::min_element(seconds.begin(), seconds.end());
}

double megabytes(long long bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

double secondsOf(const std::function<void()> &run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

namespace {

double cpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace

double cpuSecondsOf(const std::function<void()> &run)
{
    const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    run();
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
}

double processCpuSecondsOf(const std::function<void()> &run)
{
    const double start = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    run();
    return cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - start;
}

Samples measure(int repeat, const std::function<void()> &run, const std::function<void()> &prepare)
{
    Samples samples;
    for (int i = 0; i < repeat; ++i) {
        if (prepare)
            prepare();
        samples.seconds.push_back(secondsOf(run));
    }
    return samples;
}

namespace {

long long statusBytes(const char *key)
{
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(key) + ':';
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0)
            return std::stoll(line.substr(prefix.size())) * 1024;
    }
    return -1;
}

} // namespace

long long residentBytes()
{
    malloc_trim(0);
    return statusBytes("VmRSS");
}

long long peakResidentBytesOf(const std::function<void()> &run)
{
    std::ofstream("/proc/self/clear_refs") << "5";
    run();
    return statusBytes("VmHWM");
}

} // namespace bench
