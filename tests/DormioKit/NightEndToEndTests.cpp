// Whole nights from small hand-made logs, compared with what a reader of each log expects: every segment,
// event, kept-awake entry and battery point, and the words the pages show for the night.

#include "DormioKit/Calendar.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightSummary.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"
#include "DormioKit/Story.h"
#include "PowerLogLines.h"
#include "TestEnvironment.h"

#include <charconv>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace dormio;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string number(double value) {
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end);
}

// Local wall time with its offset, so that a reader can check each moment against the log's lines.
std::string wallTime(Date date) {
    const auto whole = static_cast<int64_t>(date.unix());
    const std::string text = LogLines::date(whole);
    double fraction = date.unix() - static_cast<double>(whole);
    return fraction == 0 ? text : text + " +" + number(fraction) + " s";
}

std::string quoted(const std::optional<SharedText>& text) {
    return text ? "\"" + text->str() + "\"" : "-";
}

std::string dump(const Night& n) {
    std::ostringstream out;
    out << std::boolalpha << "night " << n.id << "\n";
    out << "  start " << wallTime(n.start) << "\n";
    out << "  end " << wallTime(n.end) << "\n";
    out << "  hasBattery " << n.hasBattery << " pluggedIn " << n.pluggedIn << " inProgress " << n.inProgress
        << " isDemo " << n.isDemo << "\n";
    for (const Segment& s : n.segments)
        out << "  segment " << wallTime(s.start) << " .. " << wallTime(s.end) << " " << rawValue(s.state)
            << "\n";
    for (const NightEvent& e : n.events) {
        out << "  event " << wallTime(e.date) << " " << rawValue(e.kind) << " " << number(e.duration)
            << " s\n";
        out << "    label \"" << e.label << "\" symbol " << e.symbol << "\n";
        out << "    raw \"" << e.raw << "\"\n";
        out << "    charge " << (e.charge ? std::to_string(*e.charge) : "-") << " scheduledBy "
            << quoted(e.scheduledBy) << " culprit " << quoted(e.culprit) << "\n";
    }
    for (const BatteryPoint& b : n.battery)
        out << "  battery " << wallTime(b.date) << " " << b.charge << "\n";
    for (const KeptAwake& k : n.keptAwake)
        out << "  keptAwake \"" << k.process << "\" \"" << k.detail << "\" " << k.type << " "
            << number(k.seconds) << " s\n";
    for (const StoryItem& item : Story::items(n))
        out << "  story " << item.id() << " events " << item.events.size() << " total "
            << number(item.totalDuration()) << " s\n";
    out << "  score " << n.score() << " " << n.scoreWord() << "\n";
    out << "  line " << NightSummary::line(n) << "\n";
    out << "  sentence " << NightSummary::sentence(n) << "\n";
    out << "  narrative " << NightSummary::narrative(n) << "\n";
    out << "  morning " << NightSummary::morningLine(n) << "\n";
    return out.str();
}

struct EndToEndCase {
    const char* name;
    const char* log;
    const char* expected;
    const char* now; // a log-style date
    NightWindow window;
};

// Berlin's clock and British English, with the shared formatters made again for them.
class NightEndToEnd : public testing::TestWithParam<EndToEndCase> {
protected:
    void SetUp() override { Fmt::resetFormatters(); }
    void TearDown() override { Fmt::resetFormatters(); }

private:
    test::ScopedTZ tz_{"Europe/Berlin"};
    test::ScopedLocale locale_{"en_GB"};
};

TEST_P(NightEndToEnd, BuildsTheExpectedNights) {
    const EndToEndCase& c = GetParam();
    const std::string folder = std::string(DORMIO_TEST_DATA) + "/nights/";
    PowerLog log = PowerLogParser::parse(readFile(folder + c.log));
    std::optional<Date> now = PowerLogParser::parseDate(c.now);
    ASSERT_TRUE(now);
    std::string actual;
    for (const Night& night : NightBuilder::build(log, c.window, *now, Calendar("Europe/Berlin")))
        actual += dump(night);
    EXPECT_EQ(actual, readFile(folder + c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Logs, NightEndToEnd,
    testing::Values(EndToEndCase{"ScheduledDarkWakes", "scheduled-dark-wakes.log",
                                 "scheduled-dark-wakes.expected", "2024-03-09 12:00:00 +0100", NightWindow{}},
                    // Its first line, of a type not kept, dates the log at 23:00: the window opening then is
                    // covered.
                    EndToEndCase{"ScreenOnWake", "screen-on-wake.log", "screen-on-wake.expected",
                                 "2024-03-09 12:00:00 +0100", NightWindow{}},
                    EndToEndCase{"StayAwake", "stay-awake.log", "stay-awake.expected",
                                 "2024-03-09 12:00:00 +0100", NightWindow{}},
                    EndToEndCase{"StartUpAfterASilentGap", "startup-gap.log", "startup-gap.expected",
                                 "2024-03-11 12:00:00 +0100", NightWindow{}},
                    EndToEndCase{"InProgress", "in-progress.log", "in-progress.expected",
                                 "2024-03-09 02:30:00 +0100", NightWindow{}},
                    EndToEndCase{"TenMinutesIsTooShort", "in-progress.log", "empty.expected",
                                 "2024-03-08 23:10:00 +0100", NightWindow{}},
                    EndToEndCase{"JustOverTenMinutes", "in-progress.log", "in-progress-601.expected",
                                 "2024-03-08 23:10:01 +0100", NightWindow{}},
                    EndToEndCase{"ClockChange", "clock-change.log", "clock-change.expected",
                                 "2024-03-31 12:00:00 +0200", NightWindow{}},
                    // A nine-hour night with dark wakes in both 02:30s of the repeated hour.
                    EndToEndCase{"ClockGoesBack", "fall-back.log", "fall-back.expected",
                                 "2024-10-28 12:00:00 +0100", NightWindow{}}),
    [](const testing::TestParamInfo<EndToEndCase>& info) { return std::string(info.param.name); });

} // namespace
