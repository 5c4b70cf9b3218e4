#pragma once

// What the night trace knows about one instant: the state, the charge and the moment that explains it.

#include "DormioKit/Night.h"

#include <cstdint>
#include <optional>

namespace dormio {

struct ScrubReading {
    Date date;
    PowerState state = PowerState::asleep;
    std::optional<int64_t> charge;   // none for a night without battery data
    std::optional<NightEvent> event; // the moment that explains the instant, if any

    ScrubReading(const Night& night, Date at);
};

} // namespace dormio
