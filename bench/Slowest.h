#pragma once

// Repeated runs reported as their median and their slowest, the two figures bench/README.md gives: a frame
// or a read must keep to its limit every time, not only on average.

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace bench {

inline double largest(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

inline benchmark::internal::Benchmark* withSlowest(benchmark::internal::Benchmark* run, int repetitions) {
    return run->Repetitions(repetitions)->ComputeStatistics("max", largest)->DisplayAggregatesOnly(true);
}

} // namespace bench
