#include "DormioKit/NightCompactJson.h"

#include "DormioKit/CompactJson.h"

#include <string>

namespace dormio::NightCompactJson {

namespace {

using CompactJson::Reader;

bool date(Reader& in, Date& value) {
    return in.number(value.seconds);
}

// An optional member: absent unless the text goes on with its name.
bool optionalText(Reader& in, std::string_view name, std::optional<std::string>& value) {
    if (!in.literal(name)) return true;
    return in.string(value.emplace());
}

bool state(Reader& in, PowerState& value) {
    std::string read;
    if (!in.string(read)) return false;
    const auto state = powerStateFromRaw(read);
    if (state) value = *state;
    return state.has_value();
}

bool kind(Reader& in, NightEvent::Kind& value) {
    std::string read;
    if (!in.string(read)) return false;
    const auto kind = nightEventKindFromRaw(read);
    if (kind) value = *kind;
    return kind.has_value();
}

bool record(Reader& in, Segment& segment) {
    return in.literal("{\"end\":") && date(in, segment.end) && in.literal(",\"start\":") &&
           date(in, segment.start) && in.literal(",\"state\":") && state(in, segment.state) &&
           in.literal("}");
}

bool record(Reader& in, BatteryPoint& point) {
    return in.literal("{\"charge\":") && in.integer(point.charge) && in.literal(",\"date\":") &&
           date(in, point.date) && in.literal("}");
}

bool record(Reader& in, NightEvent& event) {
    if (!in.literal("{")) return false;
    if (in.literal("\"charge\":") && (!in.integer(event.charge.emplace()) || !in.literal(","))) return false;
    if (!optionalText(in, "\"culprit\":", event.culprit) || (event.culprit && !in.literal(","))) return false;
    return in.literal("\"date\":") && date(in, event.date) && in.literal(",\"duration\":") &&
           in.number(event.duration) && in.literal(",\"kind\":") && kind(in, event.kind) &&
           in.literal(",\"label\":") && in.string(event.label) && in.literal(",\"raw\":") &&
           in.string(event.raw) && optionalText(in, ",\"scheduledBy\":", event.scheduledBy) &&
           in.literal(",\"symbol\":") && in.string(event.symbol) && in.literal("}");
}

bool record(Reader& in, KeptAwake& kept) {
    return in.literal("{\"detail\":") && in.string(kept.detail) && in.literal(",\"process\":") &&
           in.string(kept.process) && in.literal(",\"seconds\":") && in.number(kept.seconds) &&
           in.literal(",\"type\":") && in.string(kept.type) && in.literal("}");
}

bool record(Reader& in, Night& night);

template <typename Record> bool array(Reader& in, std::vector<Record>& records) {
    if (!in.literal("[")) return false;
    if (in.literal("]")) return true;
    do {
        if (!record(in, records.emplace_back())) return false;
    } while (in.literal(","));
    return in.literal("]");
}

bool record(Reader& in, Night& night) {
    return in.literal("{\"battery\":") && array(in, night.battery) && in.literal(",\"end\":") &&
           date(in, night.end) && in.literal(",\"events\":") && array(in, night.events) &&
           in.literal(",\"hasBattery\":") && in.boolean(night.hasBattery) && in.literal(",\"id\":") &&
           in.string(night.id) && in.literal(",\"inProgress\":") && in.boolean(night.inProgress) &&
           in.literal(",\"isDemo\":") && in.boolean(night.isDemo) && in.literal(",\"keptAwake\":") &&
           array(in, night.keptAwake) && in.literal(",\"pluggedIn\":") && in.boolean(night.pluggedIn) &&
           in.literal(",\"segments\":") && array(in, night.segments) && in.literal(",\"start\":") &&
           date(in, night.start) && in.literal("}");
}

} // namespace

std::optional<std::vector<Night>> read(std::string_view json) {
    Reader in(json);
    std::vector<Night> nights;
    if (!array(in, nights) || !in.atEnd()) return std::nullopt;
    return nights;
}

} // namespace dormio::NightCompactJson
