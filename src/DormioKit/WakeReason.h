#pragma once

// A wake or sleep cause from the power log in plain words, with a symbol to show beside it.

#include "DormioKit/PowerLog.h"

#include <string>
#include <string_view>
#include <vector>

namespace dormio {

struct WakeReason {
    std::string label;  // the cause in plain words
    std::string symbol; // the name of a symbol image
    bool isYou = false; // whether the user caused the wake

    // The first of an ordered table of rules on the cause (in lower case) that matches; never fails.
    static WakeReason classify(std::string_view cause, PowerEventKind kind);
    // The words for the cause of a sleep, compared exactly.
    static std::string sleepLabel(std::string_view cause);
    // Every symbol `classify` can give, one per rule (so some repeat).
    static std::vector<std::string_view> allSymbols();

    bool operator==(const WakeReason&) const = default;
};

} // namespace dormio
