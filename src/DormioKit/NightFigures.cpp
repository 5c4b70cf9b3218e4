#include "DormioKit/Night.h"
#include "DormioKit/RestScore.h"

#include <algorithm>
#include <limits>

namespace dormio {

namespace {

bool isWake(NightEvent::Kind kind) {
    return kind == NightEvent::Kind::darkWake || kind == NightEvent::Kind::screenOn ||
           kind == NightEvent::Kind::stayedAwake;
}

int64_t countEvents(const std::vector<NightEvent>& events, auto&& matches) {
    return std::count_if(events.begin(), events.end(),
                         [&](const NightEvent& event) { return matches(event.kind); });
}

} // namespace

double Night::duration() const {
    return end - start;
}

double Night::time(PowerState state) const {
    double total = 0;
    for (const Segment& segment : segments)
        if (segment.state == state) total += segment.seconds();
    return total;
}

int64_t Night::darkWakeCount() const {
    return countEvents(events, [](NightEvent::Kind kind) { return kind == NightEvent::Kind::darkWake; });
}

int64_t Night::screenOnCount() const {
    return countEvents(events, [](NightEvent::Kind kind) { return kind == NightEvent::Kind::screenOn; });
}

int64_t Night::upCount() const {
    return countEvents(events, [](NightEvent::Kind kind) {
        return kind == NightEvent::Kind::screenOn || kind == NightEvent::Kind::stayedAwake;
    });
}

int64_t Night::wakeCount() const {
    return darkWakeCount() + upCount();
}

std::optional<int64_t> Night::startCharge() const {
    if (!hasBattery || battery.empty()) return std::nullopt;
    return battery.front().charge;
}

std::optional<int64_t> Night::endCharge() const {
    if (!hasBattery || battery.empty()) return std::nullopt;
    return battery.back().charge;
}

std::optional<int64_t> Night::lost() const {
    if (!hasBattery || battery.empty()) return std::nullopt;
    // Charges read from a stored file can be any 64-bit value; the difference must not overflow.
    int64_t difference = 0;
    if (__builtin_sub_overflow(battery.front().charge, battery.back().charge, &difference))
        return battery.front().charge > battery.back().charge ? std::numeric_limits<int64_t>::max() : 0;
    return std::max<int64_t>(difference, 0);
}

std::optional<NightEvent> Night::bedtime() const {
    auto found = std::find_if(events.begin(), events.end(), [](const NightEvent& event) {
        return event.kind == NightEvent::Kind::fellAsleep;
    });
    if (found == events.end()) return std::nullopt;
    return *found;
}

std::vector<NightEvent> Night::wakeMoments() const {
    std::vector<NightEvent> moments;
    std::copy_if(events.begin(), events.end(), std::back_inserter(moments),
                 [](const NightEvent& event) { return isWake(event.kind); });
    return moments;
}

int64_t Night::score() const {
    return RestScore::score(*this);
}

std::string Night::scoreWord() const {
    return RestScore::word(score());
}

std::optional<Segment> Night::segment(Date at) const {
    for (const Segment& segment : segments)
        if (segment.start <= at && segment.end > at) return segment;
    if (at == end && !segments.empty()) return segments.back();
    return std::nullopt;
}

std::optional<int64_t> Night::charge(Date at) const {
    if (!hasBattery || battery.empty()) return std::nullopt;
    for (auto point = battery.rbegin(); point != battery.rend(); ++point)
        if (point->date <= at) return point->charge;
    return battery.front().charge;
}

} // namespace dormio
