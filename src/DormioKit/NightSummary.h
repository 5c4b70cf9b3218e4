#pragma once

// A night told in a few fixed phrasings: figures, one line, a sentence, a narrative, the morning, averages.

#include "DormioKit/Night.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dormio::NightSummary {

struct Averages {
    int64_t rest = 0;
    int64_t wakes = 0;
    std::optional<int64_t> drain; // absent when no night has battery points

    bool operator==(const Averages&) const = default;
};

// Sleep, wakes and, when there is something to say, battery.
std::vector<std::string> figures(const Night& night);
// The figures joined with " · ".
std::string line(const Night& night);
std::string sentence(const Night& night);
// Up to two sentences on why it stirred and where the time awake went; empty when there is nothing to say.
std::string narrative(const Night& night);
// How the morning found the Mac.
std::string morningLine(const Night& night);
// Rounded averages over the nights; absent for none.
std::optional<Averages> averages(const std::vector<Night>& nights);

} // namespace dormio::NightSummary
