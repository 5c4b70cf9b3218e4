#include "Dormio/UI/Charts/ScrubReading.h"

#include <cmath>

namespace dormio {

namespace {

// While the Mac sleeps the instant itself explains nothing, so a wake moment this close stands for it.
constexpr double nearbyMoment = 120;

// The last event between the start of the segment (less a second, as an event may be logged just before
// the state it begins) and the instant, both included.
std::optional<NightEvent> eventOfSegment(const Night& night, const Segment& segment, Date at) {
    std::optional<NightEvent> found;
    for (const NightEvent& event : night.events)
        if (event.date >= segment.start - 1 && event.date <= at) found = event;
    return found;
}

// The wake moment nearest the instant, the earlier on a tie, when it lies within nearbyMoment.
std::optional<NightEvent> nearbyWakeMoment(const Night& night, Date at) {
    std::optional<NightEvent> nearest;
    double nearestDistance = 0;
    for (const NightEvent& moment : night.wakeMoments()) {
        const double distance = std::abs(moment.date - at);
        if (!nearest || distance < nearestDistance) {
            nearest = moment;
            nearestDistance = distance;
        }
    }
    if (nearest && nearestDistance <= nearbyMoment) return nearest;
    return std::nullopt;
}

} // namespace

ScrubReading::ScrubReading(const Night& night, Date at) : date(at) {
    const std::optional<Segment> segment = night.segment(at);
    if (segment) state = segment->state;
    charge = night.charge(at);
    if (segment && segment->state != PowerState::asleep)
        event = eventOfSegment(night, *segment, at);
    else
        event = nearbyWakeMoment(night, at);
    if (event && event->kind == NightEvent::Kind::darkWake) state = PowerState::dark;
}

} // namespace dormio
