#include "Dormio/Core/DemoData.h"
#include "DormioKit/Calendar.h"
#include "StoreTests.h"

#include <gtest/gtest.h>
#include <set>

namespace dormio {
namespace {

constexpr double minute = 60;

// 23:00 on the evening before the last night's morning.
Date lastEvening() {
    const Calendar calendar = Calendar::current();
    return calendar.startOfDay(currentDate()) - 3600;
}

TEST(DemoData, EveryRunGivesTheSameMonth) {
    const std::vector<Night> first = DemoData::makeNights();
    const std::vector<Night> second = DemoData::makeNights();
    EXPECT_EQ(first, second);
    ASSERT_EQ(first.size(), 31u);
    std::set<std::string> ids;
    for (const Night& night : first) {
        EXPECT_TRUE(night.isDemo);
        EXPECT_FALSE(night.inProgress);
        ids.insert(night.id);
    }
    EXPECT_EQ(ids.size(), 31u);
    EXPECT_EQ(first.back().id, Calendar::current().dayID(currentDate()));
}

TEST(DemoData, TheLastNightIsFixed) {
    const Night night = DemoData::makeNights().back();
    const Date evening = lastEvening();
    EXPECT_EQ(night.darkWakeCount(), 9);
    EXPECT_EQ(night.startCharge(), 84);
    ASSERT_TRUE(night.bedtime());
    EXPECT_EQ(night.bedtime()->date, evening + 81 * minute); // 00:21
    ASSERT_FALSE(night.events.empty());
    // The lid opens 468 minutes after 23:00, at 06:48.
    EXPECT_EQ(night.events.back().kind, NightEvent::Kind::screenOn);
    EXPECT_EQ(night.events.back().date, evening + 468 * minute);
    EXPECT_EQ(night.events.back().charge, 76); // 84, four drops through the dark wakes, four more by morning
}

// The last night's nine dark wakes run through the wake table's rows 1, 2, 3, 0, 1, 2, 3, 0, 1.
TEST(DemoData, TheLastNightsDarkWakesFollowTheWakeTable) {
    const std::string maintenance = "NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance";
    const std::string service = "NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/SleepService";
    const std::string network = "smc.sysState.Wake wifibt SMC.OutboxNotEmpty E_RX_IP_PACKET ARPT/";
    const std::vector<std::string> causes{maintenance, service, network, network,    maintenance,
                                          service,     network, network, maintenance};
    const Night night = DemoData::makeNights().back();
    std::vector<const NightEvent*> darkWakes;
    for (const NightEvent& event : night.events)
        if (event.kind == NightEvent::Kind::darkWake) darkWakes.push_back(&event);
    ASSERT_EQ(darkWakes.size(), causes.size());
    for (size_t i = 0; i < causes.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string text =
            "DarkWake from Deep Idle [CDNP] : due to " + causes[i] + " Using Batt (Charge:";
        EXPECT_TRUE(darkWakes[i]->raw.view().starts_with(text)) << darkWakes[i]->raw;
        EXPECT_EQ(darkWakes[i]->raw, text + std::to_string(*darkWakes[i]->charge) + "%)");
        // Spread evenly from 00:21 to 06:35, each up to 8 minutes late.
        const double minutes = (darkWakes[i]->date - lastEvening()) / minute;
        const double even = 81 + (455 - 81) * double(i + 1) / 10;
        EXPECT_GE(minutes, even - 1e-6);
        EXPECT_LT(minutes, even + 8);
    }
    // Music holds it awake until 00:21; the backups and the mail fetches of the dark wakes hold it too.
    std::set<std::string> holders;
    for (const KeptAwake& entry : night.keptAwake)
        holders.insert(entry.process);
    EXPECT_EQ(holders, (std::set<std::string>{"Music", "backupd", "Mail"}));
}

TEST(DemoData, EveryNightIsOnBatteryWithTheChargeOfEachMoment) {
    for (const Night& night : DemoData::makeNights()) {
        SCOPED_TRACE(night.id);
        EXPECT_TRUE(night.hasBattery);
        EXPECT_FALSE(night.pluggedIn);
        EXPECT_FALSE(night.battery.empty());
        for (const NightEvent& event : night.events) {
            if (event.kind == NightEvent::Kind::darkWake || event.kind == NightEvent::Kind::fellAsleep) {
                EXPECT_TRUE(event.charge.has_value());
            }
        }
        for (size_t i = 1; i < night.battery.size(); ++i)
            EXPECT_LE(night.battery[i].charge, night.battery[i - 1].charge);
        const int64_t darkWakes = night.darkWakeCount();
        EXPECT_GE(darkWakes, 2);
        EXPECT_LE(darkWakes, 15);
    }
}

TEST(DemoData, TheSampleNightIsTheLastOne) {
    ASSERT_TRUE(DemoData::sampleNight());
    EXPECT_EQ(*DemoData::sampleNight(), DemoData::makeNights().back());
    EXPECT_EQ(&DemoData::sampleNight(), &DemoData::sampleNight());
}

TEST(DemoData, EnergySharesOfANight) {
    const std::vector<EnergyShare> plain = DemoData::energy(std::nullopt);
    ASSERT_EQ(plain.size(), 6u);
    const std::vector<std::string> names{"Music", "Mail", "Safari", "Photos", "Messages", "Calendar"};
    double total = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(plain[i].name, names[i]);
        EXPECT_EQ(plain[i].key, plain[i].path);
        EXPECT_DOUBLE_EQ(plain[i].millijoules, plain[i].share * 90'000);
        EXPECT_FALSE(plain[i].estimatedPercent);
        total += plain[i].share;
    }
    EXPECT_DOUBLE_EQ(total, 0.91);
    EXPECT_EQ(plain[0].path, "/System/Applications/Music.app");
    EXPECT_EQ(plain[2].path, "/Applications/Safari.app");

    const std::vector<EnergyShare> estimated = DemoData::energy(10);
    ASSERT_TRUE(estimated[0].estimatedPercent);
    EXPECT_DOUBLE_EQ(*estimated[0].estimatedPercent, 3.4);
    EXPECT_DOUBLE_EQ(*estimated[5].estimatedPercent, 0.5);
}

using DemoDataStore = testing::StoreTest;

TEST_F(DemoDataStore, ApplyFillsTheStoreWithSampleData) {
    Store& store = makeStore();
    DemoData::apply(store);

    EXPECT_TRUE(store.demoState().demo());
    EXPECT_TRUE(store.loadedOnce());
    ASSERT_EQ(store.nights().size(), 31u);
    EXPECT_EQ(store.selectedNightID(), store.nights().back().id);
    for (const Night& night : store.nights()) {
        ASSERT_TRUE(store.demoState().demoEnergy().contains(night.id));
        EXPECT_EQ(store.demoState().demoEnergy().at(night.id), DemoData::energy(night.lost()));
    }

    ASSERT_TRUE(store.battery());
    EXPECT_EQ(*store.battery(), (BatteryInfo{78, false, false, 545, 312, 4382, 3921, 30.6, "Normal"}));

    const std::vector<LiveRow>& live = store.live();
    ASSERT_EQ(live.size(), 5u);
    const std::vector<int32_t> pids{901, 902, 310, 120, 488};
    for (size_t i = 0; i < live.size(); ++i) {
        EXPECT_EQ(live[i].assertion.pid, pids[i]);
        EXPECT_FALSE(live[i].assertion.createdFor);
        EXPECT_FALSE(live[i].assertion.timeout);
        EXPECT_FALSE(live[i].identity.bundleID);
        EXPECT_EQ(live[i].identity.isUserApp, i < 2);
    }
    EXPECT_EQ(live[0].assertion.name, "Playing audio");
    EXPECT_EQ(live[0].assertion.age, 2710);
    EXPECT_EQ(live[2].identity, (AppIdentity{"Time Machine (backupd)",
                                             "/System/Applications/Time Machine.app", std::nullopt, false}));
    EXPECT_EQ(live[4].identity.name, "Audio (coreaudiod)");
    EXPECT_FALSE(live[4].identity.path);
}

TEST_F(DemoDataStore, ALogReadLeavesTheSampleDataAlone) {
    writeLog(testing::recentNights(2));
    Store& store = makeStore();
    DemoData::apply(store);
    readLogOnce();
    EXPECT_EQ(store.nights().size(), 31u);
    EXPECT_TRUE(store.nights().front().isDemo);
}

} // namespace
} // namespace dormio
