#pragma once

// The per-app energy history of "energy.json" and the arithmetic that splits a window's energy among
// apps. Energy is in millijoules throughout; an app key is the app's bundle path, executable path or
// "pid-N".

#include "DormioKit/Date.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio {

struct EnergySample {
    Date t;
    std::map<std::string, double> apps; // app key to millijoules used since the previous sample

    bool operator==(const EnergySample&) const = default;
};

struct EnergyAppInfo {
    std::string name;
    std::optional<std::string> path;

    bool operator==(const EnergyAppInfo&) const = default;
};

struct EnergyFile {
    std::vector<EnergySample> samples; // oldest first
    std::map<std::string, EnergyAppInfo> apps;

    // Drops the samples taken strictly before `before`; app information is never pruned.
    void prune(Date before);
    bool operator==(const EnergyFile&) const = default;
};

struct EnergyShare {
    std::string key;
    std::string name;
    std::optional<std::string> path;
    double millijoules = 0;
    double share = 0; // of the window's measured energy, 0 to 1
    std::optional<double> estimatedPercent;

    const std::string& id() const { return key; }
    // "13 %" or "≈ 2.5 %" (a narrow no-break space before the sign), the same in every locale.
    std::string label() const;
    bool operator==(const EnergyShare&) const = default;
};

namespace EnergyMath {

// Millijoules from nanojoules and CPU nanoseconds; CPU time is charged at least 0.4 W.
double estimate(uint64_t energy, uint64_t cpu);
// A counter that went backwards yields 0, never a wrapped amount.
uint64_t delta(uint64_t newer, uint64_t older);
// Each app's part of the samples in (from, to + slack], largest first; empty when nothing was measured.
std::vector<EnergyShare> shares(const EnergyFile& file, Date from, Date to,
                                std::optional<int64_t> lostPercent, double slack);

} // namespace EnergyMath

} // namespace dormio

template <> struct std::hash<dormio::EnergyShare> {
    std::size_t operator()(const dormio::EnergyShare&) const noexcept;
};
