// The History kicker and the Battery page's words, from nights and battery readings alone; the texts that
// say where the data comes from, by what is read and whether the sample data is shown.
#include "Dormio/Core/DemoState.h"
#include "Dormio/UI/Pages/BatteryTexts.h"
#include "Dormio/UI/Pages/HistoryTexts.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "DormioKit/Fmt.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace dormio {
namespace {

QString dayOf(Date date) {
    return QString::fromStdString(Fmt::day(date));
}

std::vector<Night> nightsStarting(std::initializer_list<double> starts) {
    std::vector<Night> nights;
    for (double start : starts) {
        Night night;
        night.start = Date{start};
        night.end = Date{start + 8 * 3600};
        nights.push_back(night);
    }
    return nights;
}

TEST(HistoryKicker, NamesTheCountAndTheFirstAndLastDays) {
    const double day = 86400;
    const Date first{800000000}, last{800000000 + 29 * day};
    EXPECT_EQ(HistoryTexts::kicker({}), QStringLiteral("Nightly record"));
    EXPECT_EQ(HistoryTexts::kicker(nightsStarting({first.seconds})),
              QStringLiteral("1 night \u00B7 ") + dayOf(first));
    EXPECT_EQ(HistoryTexts::kicker(nightsStarting({first.seconds, last.seconds})),
              QStringLiteral("2 nights \u00B7 ") + dayOf(first) + QStringLiteral(" \u2192 ") + dayOf(last));
    // Only the ends count, whatever lies between.
    std::vector<Night> month;
    for (int i = 0; i < 30; ++i)
        month.push_back(nightsStarting({first.seconds + i * day}).front());
    EXPECT_EQ(HistoryTexts::kicker(month),
              QStringLiteral("30 nights \u00B7 ") + dayOf(first) + QStringLiteral(" \u2192 ") + dayOf(last));
}

// Off a Mac the texts name the journal, UPower's history and logind's locks, which the app then reads; with
// a developer variable naming a file, what it reads is a log in the Mac's own words, and so are the texts.
// Each variable answers for its own source.
TEST(SourceTexts, NameWhatIsReadAndKeepThePagesWordsForTheFixtures) {
    const struct {
        const char* what;
        std::function<QString()> text;
        const char* fixture;
        const char* offMac;
    } cases[] = {
        {"loading", SourceTexts::readingLog, "Reading pmset -g log", "Reading the system journal"},
        {"empty night", [] { return SourceTexts::noNightsYet("23:00", "07:00"); },
         "macOS keeps about a week of sleep history. Once your Mac spends a night between 23:00 and 07:00 on "
         "record, its trace appears here.",
         "Dormio reads a week of sleep history from the system journal. Once your Mac spends a night between "
         "23:00 and 07:00 on record, its trace appears here."},
        {"empty history", SourceTexts::noHistoryYet,
         "Nights appear here as macOS records them. Dormio also keeps each night it reads, so history grows "
         "past the week macOS keeps.",
         "Nights appear here as the system journal records them. Dormio also keeps each night it reads, so "
         "history grows past the week it reads from the journal."},
        {"record", SourceTexts::recordKicker, "pmset record · ", "journal record · "},
        {"record button", SourceTexts::showRecord, "Show what pmset recorded",
         "Show what the journal recorded"},
        {"live footnote", SourceTexts::liveFootnote,
         "Read from pmset -g assertions every 30 seconds. Quitting asks the app to close normally, so it can "
         "save your work first.",
         "Read from logind’s inhibitor locks every 30 seconds. Quitting asks the app to close normally, so "
         "it "
         "can save your work first."},
        {"night window", SourceTexts::nightWindowNote,
         "Dormio reads this window of each night from macOS’s power log.",
         "Dormio reads this window of each night from the system journal."},
        {"energy", SourceTexts::energyNote,
         "Per-app numbers are estimates and only cover time when Dormio was running. Sleep, wakes and what "
         "kept it up come from macOS’s own log and work regardless.",
         "Per-app numbers are estimates and only cover time when Dormio was running. Sleep, wakes and what "
         "kept it up come from the system journal and work regardless."},
        {"privacy", SourceTexts::privacyNote,
         "Everything stays on this Mac. Dormio only reads pmset output and process counters; it never "
         "changes "
         "power settings and needs no admin password.",
         "Everything stays on this Mac. Dormio only reads the system journal, UPower’s history, logind’s "
         "inhibitor locks and process counters; it never changes power settings and needs no admin "
         "password."},
        {"welcome", SourceTexts::welcomeReads,
         "Dormio reads macOS’s own power log and draws each night as a trace: when it slept, every time it "
         "woke, and what kept it up.",
         "Dormio reads the system journal and draws each night as a trace: when it slept, every time it "
         "woke, "
         "and what kept it up."},
    };
    const auto set = [](bool log, bool assertions) {
        log ? qputenv("DORMIO_LOG_FIXTURE", "power.log") : qunsetenv("DORMIO_LOG_FIXTURE");
        assertions ? qputenv("DORMIO_ASSERTIONS_FIXTURE", "assertions.txt")
                   : qunsetenv("DORMIO_ASSERTIONS_FIXTURE");
    };
    for (const auto& c : cases) {
        set(false, false);
        EXPECT_EQ(c.text(), QString::fromUtf8(c.offMac)) << c.what;
        set(true, true);
        EXPECT_EQ(c.text(), QString::fromUtf8(c.fixture)) << c.what;
        // The sample data's records and apps are a Mac's: while a store shows them, so are the words.
        set(false, false);
        {
            DemoState sample;
            sample.setDemo(true);
            EXPECT_EQ(c.text(), QString::fromUtf8(c.fixture)) << c.what << " with the sample data";
            sample.setDemo(false);
            EXPECT_EQ(c.text(), QString::fromUtf8(c.offMac)) << c.what << " after the sample data";
            sample.setDemo(true);
        }
        EXPECT_EQ(c.text(), QString::fromUtf8(c.offMac)) << c.what << " once the store is gone";
    }
    // An empty variable still names the file to read.
    qputenv("DORMIO_LOG_FIXTURE", "");
    EXPECT_EQ(SourceTexts::readingLog(), "Reading pmset -g log");
    set(true, false);
    EXPECT_EQ(SourceTexts::liveFootnote().left(36), "Read from logind’s inhibitor locks e");
    EXPECT_EQ(SourceTexts::recordKicker(), "pmset record · ");
    set(false, true);
    EXPECT_EQ(SourceTexts::liveFootnote().left(30), "Read from pmset -g assertions ");
    EXPECT_EQ(SourceTexts::recordKicker(), "journal record · ");
    set(false, false);
}

BatteryInfo withCapacities(std::optional<int64_t> max, std::optional<int64_t> design, bool charging = false) {
    BatteryInfo info;
    info.percent = 64;
    info.isCharging = charging;
    info.maxCapacity = max;
    info.designCapacity = design;
    return info;
}

struct HealthCase {
    const char* what;
    BatteryInfo info;
    std::optional<int64_t> raw;
    const char* word;
    QString line;
};

QString holds(const char* percent, const char* rest) {
    return QStringLiteral("Holds ") + QString::fromUtf8(percent) +
           QStringLiteral("\u202F% of its design capacity \u2014 ") + QString::fromUtf8(rest) +
           QStringLiteral(" mAh.");
}

const QString noDetails = QStringLiteral("Health details aren\u2019t available on this Mac.");

TEST(BatteryHealth, WordAndSentenceAtTheirThresholds) {
    const std::vector<HealthCase> cases{
        {"above design", withCapacities(5200, 5000), 104, "Like new", holds("100", "5200 of 5000")},
        {"exactly 90", withCapacities(90, 100), 90, "Like new", holds("90", "90 of 100")},
        {"89.5 rounds up", withCapacities(895, 1000), 90, "Like new", holds("90", "895 of 1000")},
        {"89", withCapacities(89, 100), 89, "Good", holds("89", "89 of 100")},
        {"exactly 80", withCapacities(80, 100), 80, "Good", holds("80", "80 of 100")},
        {"79", withCapacities(79, 100), 79, "Worn", holds("79", "79 of 100")},
        {"exactly 70", withCapacities(70, 100), 70, "Worn", holds("70", "70 of 100")},
        {"69", withCapacities(69, 100), 69, "Consider a service", holds("69", "69 of 100")},
        {"nothing left", withCapacities(0, 5000), 0, "Consider a service", holds("0", "0 of 5000")},
        {"design of 1", withCapacities(1, 1), 100, "Like new", holds("100", "1 of 1")},
        {"design 0, charging", withCapacities(4000, 0, true), std::nullopt, "Charging", noDetails},
        {"negative design", withCapacities(4000, -5), std::nullopt, "Charged", noDetails},
        {"no maximum", withCapacities(std::nullopt, 5000), std::nullopt, "Charged", noDetails},
        {"no design, charging", withCapacities(4000, std::nullopt, true), std::nullopt, "Charging",
         noDetails},
    };
    for (const HealthCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BatteryTexts::rawHealth(c.info), c.raw);
        EXPECT_EQ(BatteryTexts::healthWord(c.info), QString::fromUtf8(c.word));
        EXPECT_EQ(BatteryTexts::healthLine(c.info), c.line);
    }
}

TEST(BatteryHealth, AbsurdCapacitiesStillReadWithoutOverflow) {
    const int64_t most = std::numeric_limits<int64_t>::max();
    const BatteryInfo huge = withCapacities(most, 1);
    ASSERT_TRUE(BatteryTexts::rawHealth(huge));
    EXPECT_GT(*BatteryTexts::rawHealth(huge), 100);
    EXPECT_EQ(BatteryTexts::healthWord(huge), QStringLiteral("Like new"));
    EXPECT_TRUE(BatteryTexts::healthLine(huge).startsWith(QStringLiteral("Holds 100\u202F%")));
    EXPECT_EQ(BatteryTexts::healthWord(withCapacities(-most, 1)), QStringLiteral("Consider a service"));
}

std::vector<QString> labels(const std::vector<BatteryTexts::SpecRow>& rows) {
    std::vector<QString> out;
    for (const auto& row : rows)
        out.push_back(row.first);
    return out;
}

std::vector<QString> values(const std::vector<BatteryTexts::SpecRow>& rows) {
    std::vector<QString> out;
    for (const auto& row : rows)
        out.push_back(row.second);
    return out;
}

TEST(BatterySpecs, EightRowsInOrderWithEveryValue) {
    BatteryInfo info;
    info.percent = 87;
    info.onAC = false;
    info.minutesRemaining = 312;
    info.cycleCount = 143;
    info.maxCapacity = 4550;
    info.designCapacity = 5000;
    info.temperature = 31.46;
    info.condition = "Service Recommended";
    const auto rows = BatteryTexts::specs(info);
    const std::vector<QString> expectedLabels{"Charge now",  "Power",           "Time left",   "Cycle count",
                                              "Full charge", "Design capacity", "Temperature", "Condition"};
    EXPECT_EQ(labels(rows), expectedLabels);
    const std::vector<QString> expectedValues{
        QStringLiteral("87\u202F%"),    "On battery",         "5 h 12 m", "143", "4550 mAh", "5000 mAh",
        QStringLiteral("31.5 \u00B0C"), "Service Recommended"};
    EXPECT_EQ(values(rows), expectedValues);
}

TEST(BatterySpecs, MissingValuesShowAnEmDashAndTheRowCountStaysEight) {
    BatteryInfo info;
    info.percent = 5;
    const auto rows = BatteryTexts::specs(info);
    const QString dash = QStringLiteral("\u2014");
    const std::vector<QString> expected{
        QStringLiteral("5\u202F%"), "On battery", dash, dash, dash, dash, dash, "Normal"};
    EXPECT_EQ(values(rows), expected);

    info.temperature = std::numeric_limits<double>::quiet_NaN();
    info.minutesRemaining = std::numeric_limits<int64_t>::max();
    const auto odd = BatteryTexts::specs(info);
    ASSERT_EQ(odd.size(), 8u);
    EXPECT_EQ(odd[6].second, dash);
    EXPECT_TRUE(odd[2].second.contains(QStringLiteral(" h "))) << odd[2].second.toStdString();
}

TEST(BatterySpecs, PowerRowFollowsMainsAndCharging) {
    struct Case {
        bool onAC, charging;
        const char* power;
    };
    for (const Case& c : {Case{true, true, "Charging"}, Case{true, false, "Plugged in"},
                          Case{false, true, "On battery"}, Case{false, false, "On battery"}}) {
        BatteryInfo info;
        info.onAC = c.onAC;
        info.isCharging = c.charging;
        EXPECT_EQ(BatteryTexts::specs(info)[1].second, QString::fromUtf8(c.power)) << c.onAC << c.charging;
    }
}

TEST(BatterySpecs, TimeLeftInTheLongDurationForm) {
    for (const auto& [minutes, text] : {std::pair{int64_t(0), "0 s"}, std::pair{int64_t(45), "45 m"},
                                        std::pair{int64_t(60), "1 h"}, std::pair{int64_t(61), "1 h 1 m"}}) {
        BatteryInfo info;
        info.minutesRemaining = minutes;
        EXPECT_EQ(BatteryTexts::specs(info)[2].second, QString::fromUtf8(text)) << minutes;
    }
}

} // namespace
} // namespace dormio
