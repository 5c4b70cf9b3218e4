#pragma once

// The small box beside the night trace's cursor that tells in words what the trace shows there: the clock
// time, the state, the charge and, when a moment explains the instant, that moment and who held the Mac up.

#include "Dormio/UI/Charts/ScrubReading.h"

#include <QString>
#include <optional>

namespace dormio::ScrubReadout {

struct Text {
    QString time;
    QString state;                 // the state's label in capitals
    std::optional<QString> charge; // only with battery data
    std::optional<QString> event;  // the moment's label
    std::optional<QString> holder; // who scheduled the wake, else who held the Mac up

    bool operator==(const Text&) const = default;
};

Text text(const ScrubReading& reading);

} // namespace dormio::ScrubReadout
