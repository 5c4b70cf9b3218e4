#include "DormioKit/NightJson.h"

#include "DormioKit/StoredJson.h"

#include <algorithm>

namespace dormio {

namespace {

using namespace StoredJson;

// A night's text exactly as the compact text of its tree would read, written without the tree: members in
// the order the tree keeps them (by name), every value through the library's own serializer, and text
// that needs no escaping copied as it is.
class NightWriter {
public:
    explicit NightWriter(std::string& out)
        : out_(out), values_(nlohmann::detail::output_adapter<char, std::string>(out), ' ',
                             Json::error_handler_t::replace) {}

    void write(const Night& night) {
        open('{');
        array("battery", night.battery);
        number("end", night.end.seconds);
        array("events", night.events);
        boolean("hasBattery", night.hasBattery);
        text("id", night.id);
        boolean("inProgress", night.inProgress);
        boolean("isDemo", night.isDemo);
        array("keptAwake", night.keptAwake);
        boolean("pluggedIn", night.pluggedIn);
        array("segments", night.segments);
        number("start", night.start.seconds);
        out_ += '}';
    }

private:
    void write(const Segment& segment) {
        open('{');
        number("end", segment.end.seconds);
        number("start", segment.start.seconds);
        text("state", rawValue(segment.state));
        out_ += '}';
    }

    void write(const BatteryPoint& point) {
        open('{');
        value("charge", Json(point.charge));
        number("date", point.date.seconds);
        out_ += '}';
    }

    void write(const NightEvent& event) {
        open('{');
        if (event.charge) value("charge", Json(*event.charge));
        if (event.culprit) text("culprit", *event.culprit);
        number("date", event.date.seconds);
        number("duration", event.duration);
        text("kind", rawValue(event.kind));
        text("label", event.label);
        text("raw", event.raw);
        if (event.scheduledBy) text("scheduledBy", *event.scheduledBy);
        text("symbol", event.symbol);
        out_ += '}';
    }

    void write(const KeptAwake& kept) {
        open('{');
        text("detail", kept.detail);
        text("process", kept.process);
        number("seconds", kept.seconds);
        text("type", kept.type);
        out_ += '}';
    }

    void open(char bracket) {
        out_ += bracket;
        first_ = true;
    }

    void key(std::string_view name) {
        out_ += first_ ? "\"" : ",\"";
        out_ += name;
        out_ += "\":";
        first_ = false;
    }

    template <typename Record> void array(std::string_view name, const std::vector<Record>& records) {
        key(name);
        out_ += '[';
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (i > 0) out_ += ',';
            write(records[i]);
        }
        out_ += ']';
        first_ = false;
    }

    void value(std::string_view name, const Json& value) {
        key(name);
        values_.dump(value, false, false, 0);
    }

    void number(std::string_view name, double number) { value(name, finite(number)); }

    void boolean(std::string_view name, bool value) {
        key(name);
        out_ += value ? "true" : "false";
    }

    // Printable ASCII other than a quote or a backslash stands in the text as it is.
    void text(std::string_view name, std::string_view text) {
        const bool plain = std::all_of(text.begin(), text.end(),
                                       [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; });
        if (!plain) return value(name, Json(text));
        key(name);
        out_ += '"';
        out_ += text;
        out_ += '"';
    }

    std::string& out_;
    nlohmann::detail::serializer<Json> values_;
    bool first_ = true;
};

} // namespace

bool writeNights(const std::vector<const Night*>& nights, const std::function<bool(std::string_view)>& put,
                 const std::vector<std::string_view>& texts) {
    // The array's own text around each night's, as the whole array's compact text would have them.
    if (!put("[")) return false;
    std::string written;
    for (std::size_t i = 0; i < nights.size(); ++i) {
        std::string_view text = i < texts.size() ? texts[i] : std::string_view();
        if (text.empty()) {
            written.clear();
            try {
                NightWriter(written).write(*nights[i]);
            } catch (const Malformed&) {
                return false;
            }
            text = written;
        }
        if ((i > 0 && !put(",")) || !put(text)) return false;
    }
    return put("]");
}

std::optional<std::string> encodeNights(const std::vector<Night>& nights) {
    std::vector<const Night*> all;
    for (const Night& night : nights)
        all.push_back(&night);
    std::string text;
    const bool written = writeNights(all, [&](std::string_view part) {
        text += part;
        return true;
    });
    if (!written) return std::nullopt;
    return text;
}

} // namespace dormio
