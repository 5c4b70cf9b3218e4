#include "ChartFixtures.h"
#include "ChartProbe.h"
#include "Dormio/UI/Charts/ScrubReadout.h"

#include <gtest/gtest.h>

using namespace dormio;
using namespace dormio::test;
using Kind = NightEvent::Kind;

namespace {

const Date start = utc(2024, 5, 10, 23);

class ScrubReadoutText : public testing::Test {
    BritishUtcClock clock_;
};

NightEvent moment(double minutes, Kind kind, std::optional<std::string> scheduledBy,
                  std::optional<std::string> culprit) {
    return NightEvent{.date = start + minutes * 60,
                      .kind = kind,
                      .label = "Woke for maintenance",
                      .scheduledBy = std::move(scheduledBy),
                      .culprit = std::move(culprit)};
}

} // namespace

namespace dormio::ScrubReadout {
void PrintTo(const Text& text, std::ostream* out) {
    for (const std::optional<QString>& part :
         {std::optional(text.time), std::optional(text.state), text.charge, text.event, text.holder})
        *out << "[" << (part ? part->toStdString() : "none") << "] ";
}
} // namespace dormio::ScrubReadout

TEST_F(ScrubReadoutText, TellsTheReadingInWords) {
    using Text = ScrubReadout::Text;
    struct Case {
        const char* name;
        std::vector<Stretch> stretches;
        std::optional<NightEvent> event;
        bool battery;
        Text text;
    };
    const Case cases[] = {
        {"without battery data: time and state only",
         {{0, 60, PowerState::asleep}},
         {},
         false,
         {"23:30", "ASLEEP", {}, {}, {}}},
        {"with a charge",
         {{0, 60, PowerState::screenOn}},
         {},
         true,
         {"23:30", "SCREEN ON", "80\u202F%", {}, {}}},
        // The readout spells the state out, where the lane label reads "AWAKE·OFF".
        {"awake, screen off",
         {{0, 60, PowerState::awake}},
         {},
         false,
         {"23:30", "AWAKE, SCREEN OFF", {}, {}, {}}},
        {"turned dark by a dark wake nearby, whoever scheduled it shown as given",
         {{0, 60, PowerState::asleep}},
         moment(29, Kind::darkWake, "com.apple.alarm", "backupd"),
         false,
         {"23:30", "DARK WAKE", {}, "Woke for maintenance", "com.apple.alarm"}},
        {"only a culprit: who held the Mac up, by its friendly name",
         {{0, 60, PowerState::awake}},
         moment(29, Kind::stayedAwake, std::nullopt, "backupd"),
         false,
         {"23:30", "AWAKE, SCREEN OFF", {}, "Woke for maintenance", "Held up by Time Machine (backupd)"}},
        {"neither: the moment's label alone",
         {{0, 60, PowerState::awake}},
         moment(29, Kind::stayedAwake, std::nullopt, std::nullopt),
         false,
         {"23:30", "AWAKE, SCREEN OFF", {}, "Woke for maintenance", {}}},
    };
    for (const Case& c : cases) {
        Night night = nightOf(start, 60, c.stretches);
        if (c.event) night.events.push_back(*c.event);
        night.hasBattery = c.battery;
        night.battery = {{start, 80}, {start + 3600, 75}};
        EXPECT_EQ(ScrubReadout::text(ScrubReading(night, start + 30 * 60)), c.text) << c.name;
    }
}

// The readout floats over a trace drawn in one appearance while the app may show the other: its card and
// border come from the trace's palette.
TEST_F(ScrubReadoutText, DrawsWithThePaletteItIsHanded) {
    const Night night = nightOf(start, 60, {{0, 60, PowerState::awake}});
    const ScrubReadout::Box box = ScrubReadout::layout(ScrubReading(night, start + 30 * 60));
    const qreal middle = box.size.height() / 2;
    for (const Appearance scheme : bothAppearances)
        for (const Appearance app : bothAppearances) {
            const AppearanceScope scope(app);
            const CanvasPalette palette(scheme);
            QImage image((box.size * 2).toSize(), QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(2);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            ScrubReadout::paint(painter, {0, 0}, box, palette);
            painter.end();
            const std::string seen = std::string(nameOf(scheme)) + " palette, app " + nameOf(app);
            EXPECT_TRUE(near(probe(image, 4, middle), palette.card)) << seen;
            EXPECT_TRUE(near(probe(image, 0.25, middle), over(palette.ruleStrong, palette.card))) << seen;
        }
}
