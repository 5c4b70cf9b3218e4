#include "DormioKit/Energy.h"

#include "DormioKit/Hash.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace dormio {

namespace {

constexpr std::string_view narrowSpacePercent = "\u202F%";

// The C library's formatting follows the process locale, which the app sets from the user's; a share
// must read "2.5", not "2,5", so numbers are written with to_chars.
std::string fixed(double number, int decimals) {
    std::array<char, 400> buffer{};
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), error == std::errc{} ? end : buffer.data());
}

// A key without app information is shown by its last path component: "/usr/libexec/foo" is "foo".
std::string lastPathComponent(std::string_view key) {
    std::size_t last = key.find_last_not_of('/');
    if (last == std::string_view::npos) return std::string(key.empty() ? "" : "/");
    key = key.substr(0, last + 1);
    std::size_t slash = key.rfind('/');
    return std::string(slash == std::string_view::npos ? key : key.substr(slash + 1));
}

} // namespace

void EnergyFile::prune(Date before) {
    std::erase_if(samples, [before](const EnergySample& sample) { return sample.t < before; });
}

std::string EnergyShare::label() const {
    // Totals past the range of a double leave a share that is not a number; it reads 0, not "nan".
    auto shown = [](double value) { return std::isfinite(value) ? value : 0.0; };
    if (estimatedPercent) return "≈ " + fixed(shown(*estimatedPercent), 1) + std::string(narrowSpacePercent);
    // Adding 0 turns a rounded -0 into 0, so a tiny negative share does not read "-0".
    return fixed(std::round(shown(share) * 100) + 0.0, 0) + std::string(narrowSpacePercent);
}

namespace EnergyMath {

double estimate(uint64_t energy, uint64_t cpu) {
    return std::max(static_cast<double>(energy) / 1'000'000, static_cast<double>(cpu) / 1'000'000 * 0.4);
}

uint64_t delta(uint64_t newer, uint64_t older) {
    return newer >= older ? newer - older : 0;
}

std::vector<EnergyShare> shares(const EnergyFile& file, Date from, Date to,
                                std::optional<int64_t> lostPercent, double slack) {
    const Date last = to + slack;
    std::map<std::string, double> totals;
    for (const EnergySample& sample : file.samples) {
        if (!(sample.t > from && sample.t <= last)) continue;
        for (const auto& [key, millijoules] : sample.apps)
            if (std::isfinite(millijoules) && millijoules > 0) totals[key] += millijoules;
    }

    double sum = 0;
    for (const auto& [key, total] : totals)
        sum += total;
    if (!(sum > 0)) return {};

    std::vector<EnergyShare> shares;
    shares.reserve(totals.size());
    for (const auto& [key, total] : totals) {
        EnergyShare share{key, {}, {}, total, total / sum, {}};
        if (auto info = file.apps.find(key); info != file.apps.end()) {
            share.name = info->second.name;
            share.path = info->second.path;
        } else {
            share.name = lastPathComponent(key);
        }
        if (lostPercent) share.estimatedPercent = share.share * static_cast<double>(*lostPercent);
        shares.push_back(std::move(share));
    }
    std::stable_sort(shares.begin(), shares.end(), [](const EnergyShare& a, const EnergyShare& b) {
        if (a.millijoules != b.millijoules) return a.millijoules > b.millijoules;
        return a.key < b.key;
    });
    return shares;
}

} // namespace EnergyMath

} // namespace dormio

std::size_t std::hash<dormio::EnergyShare>::operator()(const dormio::EnergyShare& share) const noexcept {
    dormio::Hasher hasher;
    hasher.add(share.key);
    hasher.add(share.name);
    hasher.add(share.path);
    hasher.add(share.millijoules);
    hasher.add(share.share);
    hasher.add(share.estimatedPercent);
    return hasher.value();
}
