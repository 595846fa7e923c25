// Small measuring aids shared by the benchmarks.
#pragma once

#include <algorithm>
#include <sys/resource.h>
#include <vector>

// The middle value (the upper one of an even count).
inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// User plus system processor time of a resource usage record, in seconds.
inline double CpuSeconds(const rusage &u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Processor time this process has used so far, all threads.
inline double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return CpuSeconds(u);
}
