#include "DormioKit/NightJson.h"

#include "DormioKit/StoredJson.h"

namespace dormio {

namespace {

using namespace StoredJson;

template <typename Record, typename Write> Json arrayOf(const std::vector<Record>& records, Write&& write) {
    Json array = Json::array();
    for (const Record& record : records)
        array.push_back(write(record));
    return array;
}

template <typename Read> auto readArray(const Json& value, Read&& read) {
    std::vector<decltype(read(value))> records;
    const Json::array_t& array = StoredJson::array(value);
    records.reserve(array.size());
    for (const Json& element : array)
        records.push_back(read(element));
    return records;
}

Json write(const Segment& segment) {
    return {
        {"start", seconds(segment.start)}, {"end", seconds(segment.end)}, {"state", rawValue(segment.state)}};
}

Json write(const BatteryPoint& point) {
    return {{"date", seconds(point.date)}, {"charge", point.charge}};
}

Json write(const NightEvent& event) {
    Json object = {{"date", seconds(event.date)},
                   {"kind", rawValue(event.kind)},
                   {"label", event.label},
                   {"symbol", event.symbol},
                   {"raw", event.raw},
                   {"duration", finite(event.duration)}};
    if (event.charge) object["charge"] = *event.charge;
    if (event.scheduledBy) object["scheduledBy"] = *event.scheduledBy;
    if (event.culprit) object["culprit"] = *event.culprit;
    return object;
}

Json write(const KeptAwake& kept) {
    return {{"process", kept.process},
            {"detail", kept.detail},
            {"type", kept.type},
            {"seconds", finite(kept.seconds)}};
}

Json write(const Night& night) {
    auto each = [](const auto& record) { return write(record); };
    return {{"id", night.id},
            {"start", seconds(night.start)},
            {"end", seconds(night.end)},
            {"segments", arrayOf(night.segments, each)},
            {"events", arrayOf(night.events, each)},
            {"battery", arrayOf(night.battery, each)},
            {"hasBattery", night.hasBattery},
            {"pluggedIn", night.pluggedIn},
            {"keptAwake", arrayOf(night.keptAwake, each)},
            {"isDemo", night.isDemo},
            {"inProgress", night.inProgress}};
}

PowerState readState(const Json& value) {
    if (auto state = powerStateFromRaw(string(value))) return *state;
    throw Malformed{};
}

NightEvent::Kind readKind(const Json& value) {
    if (auto kind = nightEventKindFromRaw(string(value))) return *kind;
    throw Malformed{};
}

Segment readSegment(const Json& object) {
    return {date(member(object, "start")), date(member(object, "end")), readState(member(object, "state"))};
}

BatteryPoint readBatteryPoint(const Json& object) {
    return {date(member(object, "date")), wholeNumber(member(object, "charge"))};
}

std::optional<std::string> optionalString(const Json& object, const char* name) {
    if (const Json* value = optionalMember(object, name)) return string(*value);
    return std::nullopt;
}

NightEvent readEvent(const Json& object) {
    NightEvent event;
    event.date = date(member(object, "date"));
    event.kind = readKind(member(object, "kind"));
    event.label = string(member(object, "label"));
    event.symbol = string(member(object, "symbol"));
    event.raw = string(member(object, "raw"));
    event.duration = number(member(object, "duration"));
    if (const Json* charge = optionalMember(object, "charge")) event.charge = wholeNumber(*charge);
    event.scheduledBy = optionalString(object, "scheduledBy");
    event.culprit = optionalString(object, "culprit");
    return event;
}

KeptAwake readKeptAwake(const Json& object) {
    return {string(member(object, "process")), string(member(object, "detail")),
            string(member(object, "type")), number(member(object, "seconds"))};
}

Night readNight(const Json& object) {
    Night night;
    night.id = string(member(object, "id"));
    night.start = date(member(object, "start"));
    night.end = date(member(object, "end"));
    night.segments = readArray(member(object, "segments"), readSegment);
    night.events = readArray(member(object, "events"), readEvent);
    night.battery = readArray(member(object, "battery"), readBatteryPoint);
    night.hasBattery = boolean(member(object, "hasBattery"));
    night.pluggedIn = boolean(member(object, "pluggedIn"));
    night.keptAwake = readArray(member(object, "keptAwake"), readKeptAwake);
    night.isDemo = boolean(member(object, "isDemo"));
    night.inProgress = boolean(member(object, "inProgress"));
    return night;
}

} // namespace

std::optional<std::string> encodeNights(const std::vector<Night>& nights) {
    return StoredJson::encode(
        [&] { return arrayOf(nights, [](const Night& night) { return write(night); }); });
}

std::optional<std::vector<Night>> decodeNights(std::string_view json) {
    return StoredJson::decode(json, [](const Json& document) { return readArray(document, readNight); });
}

} // namespace dormio
