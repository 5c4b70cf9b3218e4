#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Page.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"
#include "StoreTests.h"

namespace dormio::testing {
namespace {

TEST(StorePage, ReadsExactlyItsFiveStringValues) {
    std::vector<std::string_view> raw;
    for (Page page : Pages::allCases) {
        raw.push_back(rawValue(page));
        EXPECT_EQ(pageFromRaw(rawValue(page)), page);
    }
    EXPECT_EQ(raw, (std::vector<std::string_view>{"night", "history", "now", "battery", "settings"}));
    for (std::string_view other : {"Night", "", "sidebar", "night "})
        EXPECT_FALSE(pageFromRaw(other)) << other;
}

// Nights that ended `hoursAgo` hours before now, one day apart, oldest first.
std::vector<Night> nightsEnded(std::initializer_list<double> hoursAgo) {
    std::vector<Night> nights;
    const Date now = currentDate();
    int i = 0;
    for (double ago : hoursAgo) {
        const Date end = now - ago * hour;
        nights.push_back(storedNight("night" + std::to_string(i++), end - 8 * hour, end));
    }
    return nights;
}

class StoreNavigationTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        makeStore();
    }
};

TEST_F(StoreNavigationTest, WithoutNightsNothingIsSelectedAndNothingSteps) {
    Store& s = *store;
    EXPECT_EQ(s.selectedNight(), nullptr);
    EXPECT_FALSE(s.defaultNightID());
    for (int offset : {-1, 0, 1})
        EXPECT_FALSE(s.canStep(offset)) << offset;
    s.step(-1);
    EXPECT_FALSE(s.selectedNightID());
    EXPECT_EQ(s.menuSummary(), "Reading the power log…");
    s.setLoadedOnce(true);
    EXPECT_EQ(s.menuSummary(), "No nights recorded yet");
}

TEST_F(StoreNavigationTest, SelectionThatNamesNoNightMeansTheLastNight) {
    Store& s = *store;
    s.setNights(nightsEnded({50, 26}));
    s.setSelectedNightID("missing");
    ASSERT_NE(s.selectedNight(), nullptr);
    EXPECT_EQ(s.selectedNight()->id, "night1");
    EXPECT_TRUE(s.canStep(-1));
    EXPECT_TRUE(s.canStep(0));
    EXPECT_FALSE(s.canStep(1));
    EXPECT_FALSE(s.canStep(-2));
}

struct StepCase {
    const char* selected;
    int offset;
    const char* expected;
};

class StoreStepTest : public StoreNavigationTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(StoreStepTest, MovesWithinTheNightsOnly) {
    Store& s = *store;
    s.setNights(nightsEnded({74, 50, 26}));
    s.setPage(Page::history);
    s.setSelectedNightID(std::string(GetParam().selected));
    s.step(GetParam().offset);
    EXPECT_EQ(s.selectedNightID(), GetParam().expected);
    EXPECT_EQ(s.page(), Page::history);
}

INSTANTIATE_TEST_SUITE_P(Steps, StoreStepTest,
                         ::testing::Values(StepCase{"night2", 1, "night2"}, StepCase{"night0", -1, "night0"},
                                           StepCase{"night2", -1, "night1"}, StepCase{"night0", 2, "night2"},
                                           StepCase{"night1", 1, "night2"},
                                           StepCase{"night1", -2, "night1"}));

TEST_F(StoreNavigationTest, DefaultNightIsTheLastFinishedOne) {
    Store& s = *store;
    std::vector<Night> nights = nightsEnded({74, 50, 26, 1});
    nights.back().inProgress = true;
    s.setNights(nights);
    EXPECT_EQ(s.defaultNightID(), "night2");
    s.setNights({nights.back()});
    EXPECT_EQ(s.defaultNightID(), "night3");
}

TEST_F(StoreNavigationTest, OpenSelectsTheNightAndShowsItsPage) {
    Store& s = *store;
    s.setNights(nightsEnded({50, 26}));
    s.go(Page::battery);
    EXPECT_EQ(s.page(), Page::battery);
    s.open(s.nights().front());
    EXPECT_EQ(s.selectedNightID(), "night0");
    EXPECT_EQ(s.page(), Page::night);
}

QString longDayTitle(const Night& night) {
    return QString::fromStdString(Fmt::longDay(night.start)) + " night";
}

TEST_F(StoreNavigationTest, TitlesFollowProgressDefaultAndAge) {
    Store& s = *store;
    std::vector<Night> nights = nightsEnded({40, 19, -2});
    nights.back().inProgress = true;
    s.setNights(nights);
    EXPECT_EQ(s.title(nights[2]), "Tonight, so far");
    EXPECT_EQ(s.title(nights[1]), "Last Night");
    EXPECT_EQ(s.title(nights[0]), longDayTitle(nights[0]));

    nights = nightsEnded({5, 21});
    s.setNights(nights);
    EXPECT_EQ(s.title(nights[0]), longDayTitle(nights[0])) << "not the default night, however recent";
    EXPECT_EQ(s.title(nights[1]), longDayTitle(nights[1])) << "the default night, ended 21 hours ago";

    nights = nightsEnded({-1});
    s.setNights(nights);
    EXPECT_EQ(s.title(nights[0]), "Last Night") << "a night that ends in the future";
}

TEST_F(StoreNavigationTest, MenuSummaryTellsTheDefaultNight) {
    Store& s = *store;
    std::vector<Night> nights = nightsEnded({50, 26, 1});
    nights.back().inProgress = true;
    s.setNights(nights);
    EXPECT_EQ(s.menuSummary(), QString::fromStdString(NightSummary::line(nights[1])));
}

TEST_F(StoreNavigationTest, PublishedFieldsAnnounceTheirChanges) {
    Store& s = *store;
    QSignalSpy page(&s, &Store::pageChanged);
    s.setPage(Page::now);
    s.setPage(Page::now);
    EXPECT_EQ(page.count(), 1);
    QSignalSpy scrub(&s.demoState(), &DemoState::demoScrubChanged);
    s.demoState().setDemoScrub(Date{100});
    s.demoState().setDemoScrub(Date{100});
    EXPECT_EQ(scrub.count(), 1);
    EXPECT_EQ(s.property("page").value<Page>(), Page::now);
    EXPECT_EQ(s.demoState().property("demoScrub").value<std::optional<Date>>(), Date{100});
}

using StoreSettingsTest = StoreTest;

TEST_F(StoreSettingsTest, ReadDefaultsAndStoreAssignmentsAtOnce) {
    Store& s = makeStore();
    EXPECT_EQ(s.nightStartHour(), 23);
    EXPECT_EQ(s.nightEndHour(), 7);
    EXPECT_EQ(s.sampleMinutes(), 5);
    EXPECT_TRUE(s.trackEnergy());
    EXPECT_TRUE(s.showMenuBar());
    EXPECT_FALSE(s.welcomeDone());

    s.setNightStartHour(22);
    s.setNightEndHour(6);
    s.setSampleMinutes(10);
    s.setTrackEnergy(false);
    s.setShowMenuBar(false);
    s.setWelcomeDone(true);
    QSettings settings;
    EXPECT_EQ(settings.value("nightStartHour").toInt(), 22);
    EXPECT_EQ(settings.value("nightEndHour").toInt(), 6);
    EXPECT_EQ(settings.value("sampleMinutes").toInt(), 10);
    EXPECT_EQ(settings.value("trackEnergy", true).toBool(), false);
    EXPECT_EQ(settings.value("showMenuBar", true).toBool(), false);
    EXPECT_TRUE(settings.value("welcomeDone").toBool());
    EXPECT_EQ(Store(Platform::system(), toast).sampleMinutes(), 10);
    EXPECT_EQ(Store(Platform::system(), toast).nightStartHour(), 22);
}

// A setting reads as one of the values its menu offers, whatever another program left in the file.
TEST_F(StoreSettingsTest, StoredValuesThatAreNoSettingReadAsTheDefault) {
    struct Case {
        const char* key;
        QVariant stored;
        QVariant read; // through the store's accessor of the key
    };
    const std::vector<Case> cases = {
        // The start menu runs 17:00 to 02:00 over midnight.
        {"nightStartHour", "abc", 23},
        {"nightStartHour", "23.7", 23},
        {"nightStartHour", -1, 23},
        {"nightStartHour", 24, 23},
        {"nightStartHour", 99, 23},
        {"nightStartHour", "", 23},
        {"nightStartHour", 7, 23},
        {"nightStartHour", 16, 23},
        {"nightStartHour", 3, 23},
        {"nightStartHour", 17, 17},
        {"nightStartHour", "0", 0},
        {"nightStartHour", " 2 ", 2},
        {"nightStartHour", "22", 22},
        // The end menu runs 04:00 to 11:00.
        {"nightEndHour", "7.5", 7},
        {"nightEndHour", -3, 7},
        {"nightEndHour", 22, 7},
        {"nightEndHour", "0", 7},
        {"nightEndHour", 3, 7},
        {"nightEndHour", 12, 7},
        {"nightEndHour", 4, 4},
        {"nightEndHour", "11", 11},
        // The interval menu offers 2, 5 and 10 minutes.
        {"sampleMinutes", 0, 5},
        {"sampleMinutes", -2, 5},
        {"sampleMinutes", "2.5", 5},
        {"sampleMinutes", "ten", 5},
        {"sampleMinutes", 1, 5},
        {"sampleMinutes", "60", 5},
        {"sampleMinutes", 1440, 5},
        {"sampleMinutes", 2147483647, 5},
        {"sampleMinutes", "2147483648", 5},
        {"sampleMinutes", 2, 2},
        {"sampleMinutes", "10", 10},
        {"trackEnergy", "maybe", true},
        {"trackEnergy", 0, true},
        {"trackEnergy", "False", true},
        {"trackEnergy", "false", false},
        {"trackEnergy", " false ", false},
        {"showMenuBar", "no", true},
        {"showMenuBar", false, false},
        {"welcomeDone", "yes", false},
        {"welcomeDone", "1", false},
        {"welcomeDone", "true", true},
        {"welcomeDone", "\ttrue\n", true},
    };
    for (const Case& c : cases) {
        QSettings().clear();
        QSettings().setValue(c.key, c.stored);
        const Store s(Platform::system(), toast);
        EXPECT_EQ(s.property(c.key), c.read) << c.key << " stored as " << c.stored.toString().toStdString();
    }
}

TEST_F(StoreSettingsTest, NightHoursThatStartAndEndTogetherReadAsTheDefaults) {
    for (const int hour : {7, 23, 3}) {
        QSettings().setValue("nightStartHour", hour);
        QSettings().setValue("nightEndHour", hour);
        const Store s(Platform::system(), toast);
        EXPECT_EQ(s.nightStartHour(), 23) << hour;
        EXPECT_EQ(s.nightEndHour(), 7) << hour;
    }
}

TEST_F(StoreSettingsTest, AnAssignedValueIsKeptTheWayItIsRead) {
    Store& s = makeStore();
    QSignalSpy changed(&s, &Store::nightStartHourChanged);
    s.setNightStartHour(7);
    EXPECT_EQ(s.nightStartHour(), 23);
    EXPECT_EQ(QSettings().value("nightStartHour").toInt(), 23);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(s.loading()) << "the assignment still starts a log read";
    s.setSampleMinutes(1440);
    EXPECT_EQ(s.sampleMinutes(), 5);
    EXPECT_EQ(QSettings().value("sampleMinutes").toInt(), 5);
}

TEST_F(StoreSettingsTest, EnergySettingsStartAndStopSampling) {
    Store& s = makeStore();
    s.setTrackEnergy(true);
    EXPECT_TRUE(s.energy().isRunning());
    s.setTrackEnergy(false);
    EXPECT_FALSE(s.energy().isRunning());
    s.setSampleMinutes(10);
    EXPECT_FALSE(s.energy().isRunning()) << "a new interval does not start sampling while it is off";
    s.setTrackEnergy(true);
    s.setSampleMinutes(15);
    EXPECT_TRUE(s.energy().isRunning());
}

TEST_F(StoreSettingsTest, SwitchingEnergyOnInDemoModeStopsSampling) {
    Store& s = makeStore();
    s.setTrackEnergy(true);
    ASSERT_TRUE(s.energy().isRunning());
    s.demoState().setDemo(true);
    s.setTrackEnergy(true);
    EXPECT_FALSE(s.energy().isRunning());
    s.setSampleMinutes(3);
    EXPECT_FALSE(s.energy().isRunning());
}

TEST_F(StoreSettingsTest, StartSamplesEnergyOnlyWhenAskedAndTracking) {
    Store& s = makeStore();
    s.start(false);
    EXPECT_FALSE(s.energy().isRunning());
    waitForLogRead();

    Store other(Platform::system(), toast);
    other.start(true);
    EXPECT_TRUE(other.energy().isRunning());
    ASSERT_TRUE(waitUntil([&] { return !other.loading(); }));
}

} // namespace
} // namespace dormio::testing
