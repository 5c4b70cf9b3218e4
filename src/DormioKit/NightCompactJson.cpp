#include "DormioKit/NightCompactJson.h"

#include "DormioKit/CompactJson.h"

#include <array>
#include <charconv>
#include <nlohmann/json.hpp>
#include <string>

namespace dormio::NightCompactJson {

namespace {

// The compact reader, which when asked also notes whether every value read since `startRecord` is spelt as
// the writer spells it: numbers as the JSON library prints them, texts without escapes (the writer escapes
// only what must be, which the reader never takes unescaped). The texts of one read are interned as they
// come: equal texts share one copy.
class Reader : public CompactJson::Reader {
public:
    Reader(std::string_view text, bool noting) : CompactJson::Reader(text), noting_(noting) {}

    void startRecord() { asWritten_ = noting_; }
    bool asWritten() const { return asWritten_; }

    bool number(double& value) {
        const char* from = position();
        if (!CompactJson::Reader::number(value)) return false;
        if (asWritten_) {
            std::array<char, 64> written;
            const char* end =
                nlohmann::detail::to_chars(written.data(), written.data() + written.size(), value);
            asWritten_ = since(from) == std::string_view(written.data(), std::size_t(end - written.data()));
        }
        return true;
    }

    bool integer(int64_t& value) {
        const char* from = position();
        if (!CompactJson::Reader::integer(value)) return false;
        if (asWritten_) {
            std::array<char, 24> written;
            const auto end = std::to_chars(written.data(), written.data() + written.size(), value).ptr;
            asWritten_ = since(from) == std::string_view(written.data(), std::size_t(end - written.data()));
        }
        return true;
    }

    // Every escape is shorter than the character it stands for, so a text read as long as it is spelt
    // (less its quotes) held none.
    bool string(std::string& out) {
        const char* from = position();
        if (!CompactJson::Reader::string(out)) return false;
        asWritten_ = asWritten_ && since(from).size() == out.size() + 2;
        return true;
    }

    bool text(SharedText& value) {
        if (!string(scratch_)) return false;
        value = texts_.intern(scratch_);
        return true;
    }

    std::string_view since(const char* from) const { return {from, std::size_t(position() - from)}; }

private:
    bool noting_;
    bool asWritten_ = false;
    SharedTextPool texts_;
    std::string scratch_;
};

bool date(Reader& in, Date& value) {
    return in.number(value.seconds);
}

// An optional member: absent unless the text goes on with its name.
bool optionalText(Reader& in, std::string_view name, std::optional<SharedText>& value) {
    if (!in.literal(name)) return true;
    return in.text(value.emplace());
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
           in.literal(",\"label\":") && in.text(event.label) && in.literal(",\"raw\":") &&
           in.text(event.raw) && optionalText(in, ",\"scheduledBy\":", event.scheduledBy) &&
           in.literal(",\"symbol\":") && in.text(event.symbol) && in.literal("}");
}

bool record(Reader& in, KeptAwake& kept) {
    return in.literal("{\"detail\":") && in.string(kept.detail) && in.literal(",\"process\":") &&
           in.string(kept.process) && in.literal(",\"seconds\":") && in.number(kept.seconds) &&
           in.literal(",\"type\":") && in.string(kept.type) && in.literal("}");
}

bool record(Reader& in, Night& night);

void unheeded(const char*) {}

// `read` is told of each record read, with where its text starts.
template <typename Record, typename Read = void (*)(const char*)>
bool array(Reader& in, std::vector<Record>& records, Read read = unheeded) {
    if (!in.literal("[")) return false;
    if (in.literal("]")) return true;
    do {
        const char* from = in.position();
        if (!record(in, records.emplace_back())) return false;
        read(from);
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

std::optional<std::vector<Night>> read(std::string_view json, std::vector<std::string_view>* texts) {
    Reader in(json, texts != nullptr);
    if (texts) texts->clear();
    in.startRecord();
    std::vector<Night> nights;
    const bool read = array(in, nights, [&](const char* from) {
        if (texts) texts->push_back(in.asWritten() ? in.since(from) : std::string_view());
        in.startRecord();
    });
    if (!read || !in.atEnd()) return std::nullopt;
    return nights;
}

} // namespace dormio::NightCompactJson
