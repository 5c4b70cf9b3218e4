#include "Dormio/Core/System/BatteryReader.h"

#include <gtest/gtest.h>
#include <limits>

namespace dormio {

void PrintTo(const BatteryInfo& info, std::ostream* out) {
    const auto optional = [out](const auto& value) {
        if (value)
            *out << *value;
        else
            *out << "none";
    };
    *out << "{percent " << info.percent << ", charging " << info.isCharging << ", AC " << info.onAC
         << ", minutes ";
    optional(info.minutesRemaining);
    *out << ", cycles ";
    optional(info.cycleCount);
    *out << ", design ";
    optional(info.designCapacity);
    *out << ", max ";
    optional(info.maxCapacity);
    *out << ", temperature ";
    optional(info.temperature);
    *out << ", condition ";
    optional(info.condition);
    *out << "}";
}

namespace {

// Fields in order: percent, isCharging, onAC, minutesRemaining, cycleCount, designCapacity, maxCapacity,
// temperature, condition.
BatteryInfo battery(int64_t percent, bool isCharging = false, bool onAC = false,
                    std::optional<int64_t> minutesRemaining = {}, std::optional<int64_t> cycleCount = {},
                    std::optional<int64_t> designCapacity = {}, std::optional<int64_t> maxCapacity = {},
                    std::optional<double> temperature = {}, std::optional<std::string> condition = {}) {
    return {percent,        isCharging,  onAC,        minutesRemaining, cycleCount,
            designCapacity, maxCapacity, temperature, condition};
}

QVariantMap internalBattery(QVariantMap keys) {
    keys.insert(QStringLiteral("Type"), QStringLiteral("InternalBattery"));
    return keys;
}

const QVariantMap registry{{QStringLiteral("CycleCount"), 212},
                           {QStringLiteral("DesignCapacity"), 4500},
                           {QStringLiteral("AppleRawMaxCapacity"), 4382},
                           {QStringLiteral("Temperature"), 3050}};

TEST(BatteryReaderRules, NoInternalBatteryGivesNoRecord) {
    EXPECT_EQ(BatteryReader::read({}, registry), std::nullopt);
    const QVariantMap ups{{QStringLiteral("Type"), QStringLiteral("UPS")},
                          {QStringLiteral("Current Capacity"), 90}};
    EXPECT_EQ(BatteryReader::read({ups}, registry), std::nullopt);
    EXPECT_EQ(BatteryReader::read({internalBattery({{QStringLiteral("Is Present"), false}})}, registry),
              std::nullopt);
}

TEST(BatteryReaderRules, SourceKeys) {
    struct Case {
        const char* what;
        QVariantMap keys;
        BatteryInfo expected;
    };
    const QString current = QStringLiteral("Current Capacity");
    const QString max = QStringLiteral("Max Capacity");
    const QString timeToEmpty = QStringLiteral("Time to Empty");
    const QString state = QStringLiteral("Power Source State");
    const Case cases[] = {
        {"57 of 100", {{current, 57}, {max, 100}}, battery(57)},
        {"57 of 0 stays 57", {{current, 57}, {max, 0}}, battery(57)},
        {"2 of 3 truncates", {{current, 2}, {max, 3}}, battery(66)},
        {"max defaults to 100", {{current, 41}}, battery(41)},
        {"nothing at all", {}, battery(0)},
        {"present when said so", {{QStringLiteral("Is Present"), true}, {current, 5}}, battery(5)},
        {"presence of another type counts as present",
         {{QStringLiteral("Is Present"), 0}, {current, 5}},
         battery(5)},
        {"charging", {{QStringLiteral("Is Charging"), true}}, battery(0, true)},
        {"charging as a string is missing",
         {{QStringLiteral("Is Charging"), QStringLiteral("true")}},
         battery(0)},
        {"on AC", {{state, QStringLiteral("AC Power")}}, battery(0, false, true)},
        {"on battery", {{state, QStringLiteral("Battery Power")}}, battery(0)},
        {"time -1", {{timeToEmpty, -1}}, battery(0)},
        {"time 0", {{timeToEmpty, 0}}, battery(0)},
        {"time 135", {{timeToEmpty, 135}}, battery(0, false, false, 135)},
        {"time as a string is missing", {{timeToEmpty, QStringLiteral("135")}}, battery(0)},
        {"capacity as a string is missing", {{current, QStringLiteral("57")}}, battery(0)},
        {"a charge whose percentage leaves the 64-bit range is held at its edge",
         {{current, std::numeric_limits<qint64>::max()}, {max, 1}},
         battery(std::numeric_limits<int64_t>::max())},
        {"a negative one likewise",
         {{current, std::numeric_limits<qint64>::min()}, {max, 1}},
         battery(std::numeric_limits<int64_t>::min())},
        {"health word",
         {{QStringLiteral("BatteryHealth"), QStringLiteral("Good")}},
         battery(0, false, false, {}, {}, {}, {}, {}, "Good")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BatteryReader::read({internalBattery(c.keys)}, std::nullopt), c.expected);
    }
}

TEST(BatteryReaderRules, LastInternalBatteryWins) {
    const QString current = QStringLiteral("Current Capacity");
    const auto info = BatteryReader::read({internalBattery({{current, 10}}),
                                           {{QStringLiteral("Type"), QStringLiteral("UPS")}, {current, 99}},
                                           internalBattery({{current, 20}})},
                                          std::nullopt);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->percent, 20);
}

TEST(BatteryReaderRules, RegistryKeys) {
    struct Case {
        const char* what;
        std::optional<QVariantMap> registry;
        BatteryInfo expected;
    };
    const Case cases[] = {
        {"no registry entry", std::nullopt, battery(57)},
        {"all keys", registry, battery(57, false, false, {}, 212, 4500, 4382, 30.5)},
        {"nominal capacity stands in for the raw one",
         QVariantMap{{QStringLiteral("NominalChargeCapacity"), 4382}},
         battery(57, false, false, {}, {}, {}, 4382)},
        {"raw capacity wins over the nominal one",
         QVariantMap{{QStringLiteral("NominalChargeCapacity"), 4000},
                     {QStringLiteral("AppleRawMaxCapacity"), 4100}},
         battery(57, false, false, {}, {}, {}, 4100)},
        {"temperature 0 is no reading", QVariantMap{{QStringLiteral("Temperature"), 0}}, battery(57)},
        {"temperature 1 is a reading", QVariantMap{{QStringLiteral("Temperature"), 1}},
         battery(57, false, false, {}, {}, {}, {}, 0.01)},
        {"mistyped values are missing",
         QVariantMap{{QStringLiteral("CycleCount"), QStringLiteral("212")},
                     {QStringLiteral("DesignCapacity"), 4500.0},
                     {QStringLiteral("Temperature"), true}},
         battery(57)},
    };
    const QVariantMap source = internalBattery({{QStringLiteral("Current Capacity"), 57}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BatteryReader::read({source}, c.registry), c.expected);
    }
}

TEST(BatteryHealth, RoundsAndCaps) {
    struct Case {
        std::optional<int64_t> design, max, expected;
    };
    const Case cases[] = {
        {4500, 4382, 97},        // 97.38
        {4500, 4700, 100},       // more than designed shows 100
        {1000, 995, 100},        // 99.5 rounds away from zero
        {1000, 994, 99},         // 99.4
        {1000, 5, 1},            // 0.5
        {0, 4382, std::nullopt}, // no design capacity
        {-10, 4382, std::nullopt},
        {std::nullopt, 4382, std::nullopt},
        {4500, std::nullopt, std::nullopt},
        {1, std::numeric_limits<int64_t>::max(), 100},
        {1, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::min()},
    };
    for (const Case& c : cases) {
        BatteryInfo info;
        info.designCapacity = c.design;
        info.maxCapacity = c.max;
        EXPECT_EQ(info.healthPercent(), c.expected) << c.design.value_or(-1) << " / " << c.max.value_or(-1);
    }
}

TEST(BatteryReaderSysfs, FakeSupplyFolders) {
    struct Case {
        const char* folder;
        std::optional<BatteryInfo> expected;
    };
    const Case cases[] = {
        // Energy in µWh becomes charge in mAh through the design voltage (11.4 V): 45 Wh is 3947 mAh.
        {"laptop-discharging", battery(57, false, false, 225, 212, 3947, 3843, 30.5, "Good")},
        // Energy without a design voltage says nothing in mAh.
        {"charging-on-mains", battery(80, true, true)},
        {"full-on-usb-c", battery(100, false, true)},
        {"desktop", std::nullopt},
        {"battery-not-present", std::nullopt},
        // No percentage file: 2000 of 3000 mAh, truncated; the drain is given as a negative current.
        {"charge-based", battery(66, false, false, 80, 7, 4382, 3000)},
        {"missing-files", battery(0)},
        {"no-adapter-listed", battery(33, true, true)},
        {"no-such-folder", std::nullopt},
        // Figures out of any range: a percentage over 100 is left out for what the battery holds against
        // what it holds when full; time, temperature and the capacities without a voltage are left out.
        {"out-of-range", battery(100, false, false)},
        // Two batteries, one counting energy (its cycle count 0 is unknown), one charge (its percentage
        // out of range): capacities added up in mAh, the charge and the time left from the sums, the
        // higher cycle count.
        {"two-batteries", battery(50, false, false, 180, 35, 6700, 6000, 30.0)},
        // Two that count energy without a voltage: the charge from the sums, no capacities.
        {"two-energy-batteries", battery(66, true, true)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(BatteryReader::read(QStringLiteral(DORMIO_TEST_DATA "/sysfs/") + QLatin1String(c.folder)),
                  c.expected);
    }
}

TEST(BatteryReaderSysfs, HealthOfAWornBattery) {
    const auto info = BatteryReader::read(QStringLiteral(DORMIO_TEST_DATA "/sysfs/laptop-discharging"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->healthPercent(), 97);
}

} // namespace
} // namespace dormio
