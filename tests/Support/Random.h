#pragma once

// The random source of the generated power logs (bench/make-power-log and the tests' own logs).

#include <cstdint>
#include <vector>

namespace dormio {

// splitmix64: tiny, and the same sequence on every platform and standard library.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    int64_t between(int64_t low, int64_t high) { // both ends included
        return low + static_cast<int64_t>(next() % static_cast<uint64_t>(high - low + 1));
    }
    bool chance(double p) { return unit() < p; }
    template <typename T> const T& pick(const std::vector<T>& items) { return items[next() % items.size()]; }

private:
    uint64_t state_;
};

} // namespace dormio
