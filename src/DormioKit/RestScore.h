#pragma once

// The rest score of a night (0 to 100), its one-word grade and its ticks on a ten-step bar.

#include <cstdint>
#include <string>

namespace dormio {

struct Night;

namespace RestScore {

int64_t score(const Night& night);
std::string word(int64_t score); // "Sound", "Light", "Restless" or "Barely slept"
int64_t ticks(int64_t score);    // 0 to 10

} // namespace RestScore

} // namespace dormio
