#include "DormioKit/NightCompactJson.h"
#include "DormioKit/NightJson.h"
#include "DormioKit/StoredJson.h"

#include <array>
#include <utility>

namespace dormio {

namespace {

using namespace StoredJson;

// The members of each record, in the order of its slots. A member that is missing reads as null: both fail a
// required member and leave an optional one absent.
constexpr std::array<std::string_view, 11> nightMembers{"id",        "start",   "end",        "segments",
                                                        "events",    "battery", "hasBattery", "pluggedIn",
                                                        "keptAwake", "isDemo",  "inProgress"};
enum NightMember {
    id,
    start,
    end,
    segments,
    events,
    battery,
    hasBattery,
    pluggedIn,
    keptAwake,
    isDemo,
    inProgress
};
constexpr std::array<std::string_view, 3> segmentMembers{"start", "end", "state"};
constexpr std::array<std::string_view, 2> batteryMembers{"date", "charge"};
constexpr std::array<std::string_view, 9> eventMembers{"date",     "kind",   "label",       "symbol", "raw",
                                                       "duration", "charge", "scheduledBy", "culprit"};
constexpr std::array<std::string_view, 4> keptAwakeMembers{"process", "detail", "type", "seconds"};

using Slots = std::array<Json, 11>;

template <std::size_t N> int slotOf(const std::array<std::string_view, N>& members, std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (members[i] == name) return int(i);
    return -1;
}

bool isArrayMember(int member) {
    return member == segments || member == events || member == battery || member == keptAwake;
}

PowerState readState(const Json& value) {
    if (auto state = powerStateFromRaw(string(value))) return *state;
    throw Malformed{};
}

NightEvent::Kind readKind(const Json& value) {
    if (auto kind = nightEventKindFromRaw(string(value))) return *kind;
    throw Malformed{};
}

std::string take(Json& value) {
    string(value); // the check
    return std::move(value.get_ref<std::string&>());
}

SharedText shared(const Json& value, SharedTextPool& texts) {
    return texts.intern(string(value));
}

std::optional<SharedText> sharedOptional(const Json& value, SharedTextPool& texts) {
    if (value.is_null()) return std::nullopt;
    return shared(value, texts);
}

void readRecord(Night& night, int member, Slots& m, SharedTextPool& texts) {
    switch (member) {
    case segments:
        night.segments.push_back({date(m[0]), date(m[1]), readState(m[2])});
        return;
    case battery:
        night.battery.push_back({date(m[0]), wholeNumber(m[1])});
        return;
    case events: {
        NightEvent event;
        event.date = date(m[0]);
        event.kind = readKind(m[1]);
        event.label = shared(m[2], texts);
        event.symbol = shared(m[3], texts);
        event.raw = shared(m[4], texts);
        event.duration = number(m[5]);
        if (!m[6].is_null()) event.charge = wholeNumber(m[6]);
        event.scheduledBy = sharedOptional(m[7], texts);
        event.culprit = sharedOptional(m[8], texts);
        night.events.push_back(std::move(event));
        return;
    }
    case keptAwake:
        night.keptAwake.push_back({take(m[0]), take(m[1]), take(m[2]), number(m[3])});
        return;
    }
}

int recordSlot(int member, std::string_view name) {
    switch (member) {
    case segments:
        return slotOf(segmentMembers, name);
    case battery:
        return slotOf(batteryMembers, name);
    case events:
        return slotOf(eventMembers, name);
    default:
        return slotOf(keptAwakeMembers, name);
    }
}

// Reads the document as the parser meets its values, straight into nights, without a tree: a night's
// scalars and one record's wait in slots until their object closes. It reads exactly what reading the
// whole document's tree read: a member named twice counts with its last value, members nobody knows are
// passed over, and anything wrong anywhere fails the whole document.
class NightsReader final : public nlohmann::json_sax<Json> {
public:
    std::vector<Night> nights;

    bool null() override { return scalar(nullptr); }
    bool boolean(bool value) override { return scalar(value); }
    bool number_integer(number_integer_t value) override { return scalar(value); }
    bool number_unsigned(number_unsigned_t value) override { return scalar(value); }
    bool number_float(number_float_t value, const string_t&) override { return scalar(value); }
    bool string(string_t& value) override { return scalar(std::move(value)); }
    bool binary(binary_t&) override { return false; }

    bool key(string_t& name) override {
        if (level() == Level::night) slot_ = slotOf(nightMembers, name);
        if (level() == Level::record) slot_ = recordSlot(records_, name);
        return true;
    }

    bool start_object(std::size_t) override {
        switch (level()) {
        case Level::none: // the document is no array
            return false;
        case Level::document:
            night_ = Night{};
            nightSlots_ = {};
            arrays_ = {};
            return enter(Level::night);
        case Level::records:
            recordSlots_ = {};
            return enter(Level::record);
        default:
            wrongContainer();
            return enter(Level::skip);
        }
    }

    bool start_array(std::size_t) override {
        switch (level()) {
        case Level::none:
            return enter(Level::document);
        case Level::document: // a night that is no object
            return false;
        case Level::night:
            if (slot_ >= 0 && isArrayMember(slot_)) {
                records_ = slot_;
                arrays_[std::size_t(records_)] = State::read;
                clearRecords(records_);
                return enter(Level::records);
            }
            wrongContainer();
            return enter(Level::skip);
        default:
            wrongContainer();
            return enter(Level::skip);
        }
    }

    bool end_object() override { return leave(); }
    bool end_array() override { return leave(); }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    enum class Level { none, document, night, records, record, skip };
    enum class State { missing, read, wrong };

    Level level() const { return levels_.empty() ? Level::none : levels_.back(); }

    bool enter(Level level) {
        levels_.push_back(level);
        slot_ = -1;
        return true;
    }

    bool scalar(Json value) {
        switch (level()) {
        case Level::none:
        case Level::document: // the document, or a night, that is no container
            return false;
        case Level::night:
            if (slot_ >= 0 && isArrayMember(slot_))
                arrays_[std::size_t(slot_)] = State::wrong;
            else if (slot_ >= 0)
                nightSlots_[std::size_t(slot_)] = std::move(value);
            return true;
        case Level::records: // a record that is no object
            arrays_[std::size_t(records_)] = State::wrong;
            return true;
        case Level::record:
            if (slot_ >= 0) recordSlots_[std::size_t(slot_)] = std::move(value);
            return true;
        case Level::skip:
            return true;
        }
        return true;
    }

    // An object or array where a scalar or a record belongs: that member is wrong until named again.
    void wrongContainer() {
        if (level() == Level::records) arrays_[std::size_t(records_)] = State::wrong;
        if (slot_ < 0) return;
        if (level() == Level::night && isArrayMember(slot_)) arrays_[std::size_t(slot_)] = State::wrong;
        if (level() == Level::night && !isArrayMember(slot_))
            nightSlots_[std::size_t(slot_)] = Json::object();
        if (level() == Level::record) recordSlots_[std::size_t(slot_)] = Json::object();
    }

    bool leave() {
        const Level closed = level();
        levels_.pop_back();
        if (closed == Level::record) {
            try {
                readRecord(night_, records_, recordSlots_, texts_);
            } catch (const Malformed&) {
                arrays_[std::size_t(records_)] = State::wrong;
            }
        }
        if (closed == Level::night) nights.push_back(readNight());
        slot_ = -1;
        return true;
    }

    Night readNight() {
        for (const int member : {int(segments), int(events), int(battery), int(keptAwake)})
            if (arrays_[std::size_t(member)] != State::read) throw Malformed{};
        Slots& m = nightSlots_;
        night_.id = take(m[id]);
        night_.start = date(m[start]);
        night_.end = date(m[end]);
        night_.hasBattery = StoredJson::boolean(m[hasBattery]);
        night_.pluggedIn = StoredJson::boolean(m[pluggedIn]);
        night_.isDemo = StoredJson::boolean(m[isDemo]);
        night_.inProgress = StoredJson::boolean(m[inProgress]);
        return std::move(night_);
    }

    void clearRecords(int member) {
        if (member == segments) night_.segments.clear();
        if (member == events) night_.events.clear();
        if (member == battery) night_.battery.clear();
        if (member == keptAwake) night_.keptAwake.clear();
    }

    std::vector<Level> levels_;
    int slot_ = -1;    // the slot of the member being read, or -1 for one nobody knows
    int records_ = -1; // the night's member whose records are being read
    Night night_;
    Slots nightSlots_;
    Slots recordSlots_;
    SharedTextPool texts_; // equal texts of the read share one copy
    std::array<State, 11> arrays_{};
};

} // namespace

std::optional<std::vector<Night>> decodeNights(std::string_view json, std::vector<std::string_view>* texts) {
    if (auto nights = NightCompactJson::read(json, texts)) return nights;
    NightsReader reader;
    try {
        if (!Json::sax_parse(json, &reader)) return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
    // A document the compact reader does not take is written anew, every night of it.
    if (texts) texts->assign(reader.nights.size(), std::string_view());
    return std::move(reader.nights);
}

} // namespace dormio
