#pragma once
// What the benchmarks share: timing in processor time of this thread (which
// other programs on the machine disturb less than the wall clock), medians of
// repeated runs, files in the temporary folder, and prompts that show
// nothing.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/game/UserPrompts.h"

namespace qmx::bench {

// CPU seconds of this thread.
inline double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The median of `times` (not empty); reorders them.
inline double medianOf(std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                     times.end());
    return times[times.size() / 2];
}

// Median time of one run of `op`, over at least 5 runs and then as many as
// fit in `budget` seconds, at most `maxRuns`.
template <class Op>
double medianSeconds(Op op, double budget = 0.3, std::size_t maxRuns = 200) {
    std::vector<double> times;
    const double start = threadSeconds();
    while (times.size() < 5 || (times.size() < maxRuns && threadSeconds() - start < budget)) {
        const double t0 = threadSeconds();
        op();
        times.push_back(threadSeconds() - t0);
    }
    return medianOf(times);
}

// "qmx_bench_<name>_<process id>_<size><suffix>" in the temporary folder.
inline std::string benchFilePath(const std::string& name, int size, const std::string& suffix) {
    return (std::filesystem::temp_directory_path() /
            ("qmx_bench_" + name + "_" + std::to_string(::getpid()) + "_" + std::to_string(size) +
             suffix))
        .string();
}

using qmx::NoPrompts;

}  // namespace qmx::bench
