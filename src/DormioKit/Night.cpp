#include "DormioKit/Night.h"

#include "DormioKit/Hash.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace dormio {

namespace {

constexpr std::array<std::pair<NightEvent::Kind, std::string_view>, 5> kindNames{{
    {NightEvent::Kind::awakeAtStart, "awakeAtStart"},
    {NightEvent::Kind::fellAsleep, "fellAsleep"},
    {NightEvent::Kind::darkWake, "darkWake"},
    {NightEvent::Kind::stayedAwake, "stayedAwake"},
    {NightEvent::Kind::screenOn, "screenOn"},
}};

// The shortest text that reads back to the same value, in plain positional form (never "1e+09"), and
// always with a fraction so that whole seconds read as a float: 1710000000.0, 86400.25.
std::string secondsText(double seconds) {
    std::array<char, 400> buffer{}; // the widest double in fixed form has 309 integer digits
    auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), seconds, std::chars_format::fixed);
    std::string text(buffer.data(), error == std::errc{} ? end : buffer.data());
    if (std::isfinite(seconds) && text.find('.') == std::string::npos) text += ".0";
    return text;
}

} // namespace

std::string_view rawValue(NightEvent::Kind kind) {
    return kindNames[static_cast<std::size_t>(kind)].second;
}

std::optional<NightEvent::Kind> nightEventKindFromRaw(std::string_view text) {
    for (const auto& [kind, name] : kindNames)
        if (name == text) return kind;
    return std::nullopt;
}

std::string NightEvent::id() const {
    std::string text = secondsText(date.unix());
    text += '-';
    text += rawValue(kind);
    return text;
}

} // namespace dormio

using dormio::Hasher;

std::size_t std::hash<dormio::Segment>::operator()(const dormio::Segment& segment) const noexcept {
    Hasher hasher;
    hasher.add(segment.start);
    hasher.add(segment.end);
    hasher.add(dormio::rawValue(segment.state));
    return hasher.value();
}

std::size_t std::hash<dormio::BatteryPoint>::operator()(const dormio::BatteryPoint& point) const noexcept {
    Hasher hasher;
    hasher.add(point.date);
    hasher.add(point.charge);
    return hasher.value();
}

std::size_t std::hash<dormio::NightEvent>::operator()(const dormio::NightEvent& event) const noexcept {
    Hasher hasher;
    hasher.add(event.date);
    hasher.add(dormio::rawValue(event.kind));
    hasher.add(event.label);
    hasher.add(event.symbol);
    hasher.add(event.raw);
    hasher.add(event.duration);
    hasher.add(event.charge);
    hasher.add(event.scheduledBy);
    hasher.add(event.culprit);
    return hasher.value();
}

std::size_t std::hash<dormio::KeptAwake>::operator()(const dormio::KeptAwake& kept) const noexcept {
    Hasher hasher;
    hasher.add(kept.process);
    hasher.add(kept.detail);
    hasher.add(kept.type);
    hasher.add(kept.seconds);
    return hasher.value();
}

std::size_t std::hash<dormio::Night>::operator()(const dormio::Night& night) const noexcept {
    Hasher hasher;
    hasher.add(night.id);
    hasher.add(night.start);
    hasher.add(night.end);
    hasher.add(night.segments);
    hasher.add(night.events);
    hasher.add(night.battery);
    hasher.add(night.hasBattery);
    hasher.add(night.pluggedIn);
    hasher.add(night.keptAwake);
    hasher.add(night.isDemo);
    hasher.add(night.inProgress);
    return hasher.value();
}
