#pragma once

// The records of one night, as night building makes them and "nights.json" stores them.

#include "DormioKit/Date.h"
#include "DormioKit/PowerLog.h"
#include "DormioKit/SharedText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dormio {

struct Segment {
    Date start;
    Date end;
    PowerState state = PowerState::asleep;

    double seconds() const { return end - start; }
    bool operator==(const Segment&) const = default;
};

struct BatteryPoint {
    Date date;
    int64_t charge = 0;

    bool operator==(const BatteryPoint&) const = default;
};

struct NightEvent {
    enum class Kind { awakeAtStart, fellAsleep, darkWake, stayedAwake, screenOn };

    Date date;
    Kind kind = Kind::fellAsleep;
    // Shared texts: a night repeats the same few of each, and a storm's log lines repeat too.
    SharedText label;
    SharedText symbol;
    SharedText raw;
    double duration = 0;
    std::optional<int64_t> charge;
    std::optional<SharedText> scheduledBy;
    std::optional<SharedText> culprit;

    // Seconds since 1970 in shortest round-trip form with a fractional part, "-", the kind:
    // "86400.0-darkWake".
    std::string id() const;
    bool operator==(const NightEvent&) const = default;
};

std::string_view rawValue(NightEvent::Kind kind);
std::optional<NightEvent::Kind> nightEventKindFromRaw(std::string_view text);

struct KeptAwake {
    std::string process;
    std::string detail;
    std::string type;
    double seconds = 0;

    const std::string& id() const { return process; }
    bool operator==(const KeptAwake&) const = default;
};

struct Night {
    std::string id; // the morning's date, "yyyy-MM-dd"
    Date start;
    Date end;
    std::vector<Segment> segments;
    std::vector<NightEvent> events;
    std::vector<BatteryPoint> battery;
    bool hasBattery = false;
    bool pluggedIn = false;
    std::vector<KeptAwake> keptAwake;
    bool isDemo = false;
    bool inProgress = false;

    bool operator==(const Night&) const = default;

    // The night figures (NightFigures.cpp), derived afresh from the fields on every call.
    double duration() const;
    double time(PowerState state) const;
    double asleep() const { return time(PowerState::asleep); }
    double darkTime() const { return time(PowerState::dark); }
    double awakeTime() const { return time(PowerState::awake); }
    double screenTime() const { return time(PowerState::screenOn); }
    int64_t darkWakeCount() const;
    int64_t screenOnCount() const;
    int64_t upCount() const;
    int64_t wakeCount() const;
    std::optional<int64_t> startCharge() const;
    std::optional<int64_t> endCharge() const;
    std::optional<int64_t> lost() const;
    std::optional<NightEvent> bedtime() const;
    std::vector<NightEvent> wakeMoments() const;
    int64_t score() const;
    std::string scoreWord() const;
    std::optional<Segment> segment(Date at) const;
    std::optional<int64_t> charge(Date at) const;
};

} // namespace dormio

// Hashing covers the same fields as equality, in declaration order.
template <> struct std::hash<dormio::Segment> {
    std::size_t operator()(const dormio::Segment&) const noexcept;
};
template <> struct std::hash<dormio::BatteryPoint> {
    std::size_t operator()(const dormio::BatteryPoint&) const noexcept;
};
template <> struct std::hash<dormio::NightEvent> {
    std::size_t operator()(const dormio::NightEvent&) const noexcept;
};
template <> struct std::hash<dormio::KeptAwake> {
    std::size_t operator()(const dormio::KeptAwake&) const noexcept;
};
template <> struct std::hash<dormio::Night> { std::size_t operator()(const dormio::Night&) const noexcept; };
