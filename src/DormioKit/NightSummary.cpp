#include "DormioKit/NightSummary.h"

#include "DormioKit/Fmt.h"
#include "DormioKit/ProcessNames.h"

#include <cmath>
#include <limits>
#include <map>

namespace dormio::NightSummary {

namespace {

// Less sleep than a minute reads as none.
constexpr double someSleep = 60;
constexpr double longAwakeInTheDark = 600;
constexpr double longScreen = 1800;
const std::string narrowSpace = "\u202F";

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i ? separator : "") + parts[i];
    return text;
}

std::string times(int64_t n) {
    if (n == 1) return "once";
    if (n == 2) return "twice";
    return std::to_string(n) + " times";
}

std::optional<std::string> batteryFigure(const Night& night) {
    std::optional<int64_t> lost = night.lost();
    if (lost && (!night.pluggedIn || *lost > 0)) return Fmt::drop(*lost);
    if (night.hasBattery && night.pluggedIn) return "charging";
    if (!night.hasBattery) return "mains power";
    return std::nullopt;
}

std::optional<std::string> batteryClause(const Night& night) {
    std::optional<int64_t> lost = night.lost();
    if (!lost || (night.pluggedIn && *lost < 1)) {
        if (night.hasBattery && night.pluggedIn) return "stayed on the charger";
        return std::nullopt;
    }
    if (*lost == 0) return "kept all of its charge";
    return "used " + std::to_string(*lost) + narrowSpace + "% of its battery";
}

std::vector<std::string> clauses(const Night& night) {
    std::vector<std::string> result;
    int64_t dark = night.darkWakeCount();
    int64_t up = night.upCount();
    if (dark + up == 0) result.push_back("never stirred");
    if (dark >= 1) result.push_back("stirred " + times(dark) + " in the dark");
    if (up >= 1) result.push_back("came fully awake " + times(up));
    if (std::optional<std::string> battery = batteryClause(night)) result.push_back(*battery);
    return result;
}

std::string head(const Night& night) {
    std::string text = "Your Mac slept " + Fmt::duration(night.asleep());
    std::optional<NightEvent> bedtime = night.bedtime();
    if (bedtime && bedtime->kind == NightEvent::Kind::fellAsleep && bedtime->label != "Already asleep")
        text += " from " + Fmt::clockTime(bedtime->date);
    return text;
}

std::optional<std::string> reasonSentence(const Night& night) {
    std::map<std::string, int64_t> counts;
    for (const NightEvent& event : night.events)
        if (event.kind == NightEvent::Kind::darkWake) ++counts[event.label.str()];
    const std::pair<const std::string, int64_t>* most = nullptr;
    for (const auto& entry : counts)
        if (!most || entry.second > most->second) most = &entry;
    if (!most || most->second < 2) return std::nullopt;
    return most->first + " was the most common reason it stirred (" + std::to_string(most->second) +
           "\u00D7).";
}

std::optional<std::string> awakeSentence(const Night& night) {
    double up = night.darkTime() + night.awakeTime();
    if (up >= longAwakeInTheDark) {
        std::string text = "It spent " + Fmt::duration(up) + " awake with the screen off";
        if (!night.keptAwake.empty())
            text += ", mostly held up by " + ProcessNames::friendly(night.keptAwake.front().process);
        return text + ".";
    }
    if (night.asleep() > 0) return "Almost no time awake in the dark.";
    return std::nullopt;
}

std::optional<std::string> screenSentence(const Night& night) {
    if (night.screenTime() < longScreen) return std::nullopt;
    return "The screen was on for " + Fmt::duration(night.screenTime()) + " of the night.";
}

// Charges read from a stored file can be any 64-bit value, so an average can reach the edge of the range,
// where llround would give an unspecified result.
int64_t rounded(double value) {
    if (value >= 0x1p63) return std::numeric_limits<int64_t>::max();
    if (value < -0x1p63) return std::numeric_limits<int64_t>::min();
    return std::llround(value);
}

} // namespace

std::vector<std::string> figures(const Night& night) {
    std::vector<std::string> result;
    result.push_back(night.asleep() >= someSleep ? Fmt::duration(night.asleep()) + " asleep" : "no sleep");
    int64_t wakes = night.darkWakeCount() + night.upCount();
    result.push_back(wakes == 1 ? "1 wake" : std::to_string(wakes) + " wakes");
    if (std::optional<std::string> battery = batteryFigure(night)) result.push_back(*battery);
    return result;
}

std::string line(const Night& night) {
    return joined(figures(night), " \u00B7 ");
}

std::string sentence(const Night& night) {
    if (night.asleep() < someSleep) {
        if (night.screenTime() >= (night.end - night.start) * 0.5)
            return "Your Mac never slept \u2014 the screen was on for " + Fmt::duration(night.screenTime()) +
                   ".";
        return "Your Mac never went to sleep.";
    }
    std::string text = head(night);
    std::vector<std::string> list = clauses(night);
    if (list.empty()) return text + ".";
    if (list.size() == 1) return text + " and " + list.front() + ".";
    std::string last = list.back();
    list.pop_back();
    return text + ", " + joined(list, ", ") + " and " + last + ".";
}

std::string narrative(const Night& night) {
    std::vector<std::string> sentences;
    for (std::optional<std::string> s : {reasonSentence(night), awakeSentence(night), screenSentence(night)})
        if (s && sentences.size() < 2) sentences.push_back(*s);
    return joined(sentences, " ");
}

std::string morningLine(const Night& night) {
    if (night.segments.empty()) return "Morning";
    switch (night.segments.back().state) {
    case PowerState::asleep:
        return "Morning \u2014 still asleep";
    case PowerState::dark:
    case PowerState::awake:
        return "Morning \u2014 awake with the screen off";
    case PowerState::screenOn:
        return "Morning \u2014 you\u2019re at the screen";
    }
    return "Morning";
}

std::optional<Averages> averages(const std::vector<Night>& nights) {
    if (nights.empty()) return std::nullopt;
    double n = static_cast<double>(nights.size());
    double rest = 0, wakes = 0, lost = 0;
    int64_t withBattery = 0;
    for (const Night& night : nights) {
        rest += static_cast<double>(night.score());
        wakes += static_cast<double>(night.darkWakeCount() + night.upCount());
        if (std::optional<int64_t> l = night.lost()) {
            lost += static_cast<double>(*l);
            ++withBattery;
        }
    }
    Averages result{rounded(rest / n), rounded(wakes / n), std::nullopt};
    if (withBattery > 0) result.drain = rounded(lost / static_cast<double>(withBattery));
    return result;
}

} // namespace dormio::NightSummary
