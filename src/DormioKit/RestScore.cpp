#include "DormioKit/RestScore.h"

#include "DormioKit/Night.h"

#include <algorithm>
#include <cmath>

namespace dormio::RestScore {

namespace {

constexpr double eightHours = 28800;

// Halves round away from zero; a score that is not a number (a night with non-finite times) is 0.
int64_t roundedAndClamped(double score) {
    double rounded = std::round(score);
    if (!(rounded > 0)) return 0;
    if (rounded >= 100) return 100;
    return static_cast<int64_t>(rounded);
}

} // namespace

int64_t score(const Night& night) {
    const double length = night.end - night.start;
    if (!(length > 0)) return 0;

    const double darkWakePenalty = std::min(static_cast<double>(night.darkWakeCount()) * 1.2, 30.0);
    const double screenOnPenalty = std::min(static_cast<double>(night.screenOnCount()) * 2, 10.0);
    const double upPenalty =
        std::min((night.time(PowerState::dark) + night.time(PowerState::awake)) / length * 80, 40.0);
    const double screenTimePenalty = std::min(night.time(PowerState::screenOn) / length * 40, 20.0);
    double s = 100 - darkWakePenalty - screenOnPenalty - upPenalty - screenTimePenalty;

    if (auto lost = night.lost()) {
        // Points lost per eight hours beyond an allowance; a night counts as at least two hours here.
        const double rate = static_cast<double>(*lost) / std::max(length / eightHours, 0.25) - 2.5;
        if (rate >= 0) s -= std::min(rate * 3, 25.0);
    }

    const double cap = std::min(night.time(PowerState::asleep) / length / 0.7, 1.0) * 75 + 25;
    return roundedAndClamped(std::min(s, cap));
}

std::string word(int64_t score) {
    if (score >= 85) return "Sound";
    if (score >= 65) return "Light";
    if (score >= 40) return "Restless";
    return "Barely slept";
}

int64_t ticks(int64_t score) {
    return std::clamp<int64_t>(score / 10, 0, 10);
}

} // namespace dormio::RestScore
