// Nights a Linux user lives through, written as the journal's writers log them, turned into real journal
// files, read by the app's own reader with UPower's history beside them, and built into nights by the model.

#include "Dormio/Core/System/LinuxPower.h"
#include "Dormio/Core/System/SystemJournal.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"
#include "JournalRecording.h"
#include "LocalTime.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dormio {
namespace {

using Writer = JournalRecording::Writer;
using Boot = JournalRecording::Boot;
using Kind = NightEvent::Kind;

// 2024-03-11 00:00 in Berlin (UTC+1), a Monday; the nights are read at noon on Thursday the 14th.
constexpr int64_t monday = 1710111600;
constexpr int64_t hour = 3600;
constexpr int64_t day = 24 * hour;
constexpr int64_t thursdayNoon = monday + 3 * day + 12 * hour;

int64_t at(int dayOfWeek, double hours) {
    return monday + dayOfWeek * day + int64_t(hours * hour);
}

const WakeTimer aptTimer{"apt-daily-upgrade.timer", "apt-daily-upgrade.service",
                         "Daily apt upgrade and clean activities"};

class LinuxNights : public ::testing::Test {
protected:
    test::ScopedTZ berlin{"Europe/Berlin"};

    QString folder(const char* name) const {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    }

    void write(const QString& path, const QByteArray& text) const {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // The laptop's own battery, as the kernel lists it and as UPower names its history file.
    void laptopBattery() const {
        write(folder("power_supply") + QStringLiteral("/BAT0/type"), "Battery\n");
        write(folder("power_supply") + QStringLiteral("/BAT0/model_name"), "5B10W13975\n");
        write(folder("power_supply") + QStringLiteral("/BAT0/serial_number"), "2164\n");
    }

    void upowerFile(const char* id,
                    const std::vector<std::tuple<int64_t, int, const char*>>& readings) const {
        QByteArray text;
        for (const auto& [time, percent, state] : readings)
            text += QByteArray::number(qlonglong(time)) + '\t' + QByteArray::number(percent) + ".000\t" +
                    state + '\n';
        write(folder("upower") + QStringLiteral("/history-charge-") + QString::fromLatin1(id) +
                  QStringLiteral(".dat"),
              text);
    }

    std::string log(const JournalRecording& journal, int64_t now, const std::vector<WakeTimer>& timers = {}) {
        const QString journalFolder = folder("journal");
        if (!QFile::exists(journalFolder + QStringLiteral("/system.journal"))) {
            EXPECT_TRUE(journal.writeInto(journalFolder));
        }
        LinuxPower::Machine where;
        where.journalFolder = journalFolder.toStdString();
        where.upowerFolder = folder("upower");
        where.powerSupplyFolder = folder("power_supply");
        where.pciFolder = folder("pci");
        SystemJournal reader(where.journalFolder);
        const LinuxPower::LogText text = LinuxPower::powerLog(reader, where, {}, timers, now);
        EXPECT_EQ(text.access, JournalAccess::read);
        return text.text;
    }

    std::vector<Night> nights(const JournalRecording& journal, int64_t now,
                              const std::vector<WakeTimer>& timers = {}, NightWindow window = {23, 7}) {
        const PowerLog parsed = PowerLogParser::parse(log(journal, now, timers));
        EXPECT_EQ(parsed.skippedLines, 0);
        return NightBuilder::build(parsed, window, Date::fromUnix(double(now)), Calendar("Europe/Berlin"));
    }

    static const Night& night(const std::vector<Night>& nights, const std::string& id) {
        const auto found =
            std::find_if(nights.begin(), nights.end(), [&](const Night& n) { return n.id == id; });
        if (found == nights.end()) throw std::runtime_error("no night " + id);
        return *found;
    }

    static std::vector<std::pair<Kind, std::string>> moments(const Night& night) {
        std::vector<std::pair<Kind, std::string>> found;
        for (const NightEvent& event : night.events)
            found.emplace_back(event.kind, event.label);
        return found;
    }

    QTemporaryDir dir;
};

bool skipped() {
    return !JournalRecording::canConvert();
}

TEST_F(LinuxNights, ABootThatBeginsWithAnOldClockKeepsTheNightsBeforeIt) {
    if (skipped()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    JournalRecording journal;
    Boot earlier{"0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a", at(0, 9)};
    journal.start(earlier);
    journal.lidNight(earlier, at(0, 23.5), at(1, 7));
    journal.lidNight(earlier, at(1, 23.7), at(2, 6.8));
    journal.add(earlier, double(at(2, 7.9)), Writer::login, "System is rebooting.");
    // A board without a clock: the boot is stamped 150 days back until time is set, a minute in.
    Boot later{"0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b0b", at(2, 8), 0, 150 * day};
    journal.start(later);
    journal.add(later, double(at(2, 8) + 30), Writer::other, "Starting GNOME Shell");
    later.clockError = 0;
    journal.add(later, double(at(2, 8) + 70), Writer::other, "Time has been set");
    journal.lidNight(later, at(2, 23.5), at(3, 7.2));

    const std::vector<Night> built = nights(journal, thursdayNoon);
    for (const char* id : {"2024-03-12", "2024-03-13", "2024-03-14"}) {
        SCOPED_TRACE(id);
        const auto found = moments(night(built, id));
        EXPECT_NE(std::find(found.begin(), found.end(),
                            std::pair{Kind::fellAsleep, std::string("Lid closed — went to sleep")}),
                  found.end());
    }
    // The start-up is placed on the clock that was set, not 150 days back.
    const std::string text = log(journal, thursdayNoon);
    EXPECT_NE(text.find("2024-03-13 08:00:01 +0100 Start"), std::string::npos) << text;
}

TEST_F(LinuxNights, AShutDownOrAFreezeInTheNightIsNoTimeAwake) {
    if (skipped()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    struct Case {
        bool abrupt;
        double end; // hours after Wednesday's midnight
        std::string label;
    };
    for (const Case& c : {Case{false, 24 + 20.0 / 60, "Went to sleep (Shut down)"},
                          Case{true, 24 + 2 + 25.0 / 60, "Went to sleep (Stopped responding)"}}) {
        SCOPED_TRACE(c.label);
        QDir(folder("journal")).removeRecursively();
        JournalRecording journal;
        Boot evening{"0c0c0c0c0c0c0c0c0c0c0c0c0c0c0c0c", at(2, 18)};
        journal.start(evening);
        journal.add(evening, double(at(2, c.end)), c.abrupt ? Writer::kernel : Writer::login,
                    c.abrupt ? "usb 1-3: USB disconnect, device number 4" : "System is powering down.");
        Boot morning{"0d0d0d0d0d0d0d0d0d0d0d0d0d0d0d0d", at(3, 7.75)};
        journal.start(morning);
        if (c.abrupt)
            journal.add(
                morning, double(at(3, 7.75) + 3), Writer::journald,
                "File /var/log/journal/1f0c/system.journal corrupted or uncleanly shut down, renaming and "
                "replacing.");

        const std::vector<Night> built = nights(journal, thursdayNoon, {}, {23, 9});
        const Night& thursday = night(built, "2024-03-14");
        const Date end = Date::fromUnix(double(at(2, c.end)));
        const Date start = Date::fromUnix(double(at(3, 7.75)) + 1);
        for (const Segment& segment : thursday.segments) {
            if (segment.end <= end || segment.start >= start) continue;
            EXPECT_EQ(segment.state, PowerState::asleep);
        }
        const auto found = moments(thursday);
        ASSERT_GE(found.size(), 3u);
        EXPECT_EQ(found[1], std::pair(Kind::fellAsleep, c.label));
        EXPECT_EQ(thursday.events[1].date, end);
        EXPECT_EQ(thursday.events[2].date, start);
        EXPECT_EQ(thursday.events[2].scheduledBy, std::optional<std::string>("Woken by: Mac started up"));
    }
}

TEST_F(LinuxNights, ASuspendThatFailsIsDroppedAndTheLidCloseAfterItKept) {
    if (skipped()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    JournalRecording journal;
    Boot boot{"0e0e0e0e0e0e0e0e0e0e0e0e0e0e0e0e", at(2, 8)};
    journal.start(boot);
    journal.add(boot, double(at(2, 23)), Writer::login, "Lid closed.");
    journal.add(boot, double(at(2, 23) + 1), Writer::sleep, "Entering sleep state 'suspend'...");
    journal.add(boot, double(at(2, 23) + 2), Writer::sleep,
                "Failed to put system to sleep. System resumed again: Device or resource busy");
    journal.add(boot, double(at(2, 23) + 20), Writer::login, "Lid opened.");
    journal.lidNight(boot, at(2, 23.5), at(3, 7));

    const std::vector<Night> built = nights(journal, thursdayNoon);
    const Night& thursday = night(built, "2024-03-14");
    const auto found = moments(thursday);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], std::pair(Kind::awakeAtStart, std::string("You were still using your Mac")));
    EXPECT_EQ(found[1], std::pair(Kind::fellAsleep, std::string("Lid closed — went to sleep")));
    EXPECT_EQ(thursday.events[1].date, Date::fromUnix(double(at(2, 23.5))));
}

TEST_F(LinuxNights, OnTheChargerAtASteadyChargeTheNightKeepsTheChargerAndTheBattery) {
    if (skipped()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    laptopBattery();
    // UPower writes only when something changes: full in the evening, nothing more until mid-morning.
    upowerFile("5B10W13975-57-2164", {{at(2, 20), 100, "fully-charged"}, {at(3, 10), 99, "discharging"}});
    JournalRecording journal;
    Boot boot{"0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f", at(2, 8)};
    journal.start(boot);
    journal.lidNight(boot, at(2, 23.5), at(3, 7));

    const std::vector<Night> built = nights(journal, thursdayNoon);
    const Night& thursday = night(built, "2024-03-14");
    EXPECT_TRUE(thursday.pluggedIn);
    EXPECT_TRUE(thursday.hasBattery);
    ASSERT_FALSE(thursday.battery.empty());
    for (const BatteryPoint& point : thursday.battery)
        EXPECT_EQ(point.charge, 100);
}

TEST_F(LinuxNights, ALeftoverBatteryFileAndAPeripheralsFileChangeNothing) {
    if (skipped()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    laptopBattery();
    upowerFile("5B10W13975-57-2164",
               {{at(2, 23.4), 90, "pending-charge"}, {at(3, 7.05), 90, "pending-charge"}});
    JournalRecording journal;
    Boot boot{"1a1a1a1a1a1a1a1a1a1a1a1a1a1a1a1a", at(2, 8)};
    journal.start(boot);
    journal.lidNight(boot, at(2, 23.5), at(3, 7));
    const std::string alone = log(journal, thursdayNoon);
    EXPECT_NE(alone.find("Using AC (Charge:90%)"), std::string::npos) << alone;

    // The battery this one replaced, and a mouse the kernel lists as a device's supply.
    upowerFile("5B10W13930-45-8811",
               {{at(0, 10) - 40 * day, 36, "discharging"}, {at(2, 23.3), 30, "discharging"}});
    write(folder("power_supply") + QStringLiteral("/hidpp_battery_0/type"), "Battery\n");
    write(folder("power_supply") + QStringLiteral("/hidpp_battery_0/scope"), "Device\n");
    write(folder("power_supply") + QStringLiteral("/hidpp_battery_0/model_name"), "MX Master 3\n");
    write(folder("power_supply") + QStringLiteral("/hidpp_battery_0/serial_number"), "4F3A2B1C\n");
    upowerFile("4F3A2B1C", {{at(2, 23.45), 35, "discharging"}, {at(3, 7.02), 33, "discharging"}});
    EXPECT_EQ(log(journal, thursdayNoon), alone);
}

TEST_F(LinuxNights, EveryWakeOfATimerIsNamedByItReadTodayOrDaysLater) {
    if (skipped()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    JournalRecording journal;
    Boot boot{"1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b1b", at(0, 8)};
    journal.start(boot);
    // The first night's sleep begins more than six hours before the timer.
    const std::vector<std::pair<int, double>> evenings{{0, 20.5}, {1, 23.5}, {2, 23.5}};
    for (const auto& [d, sleep] : evenings) {
        journal.add(boot, double(at(d, sleep) - 1), Writer::login, "Lid closed.");
        journal.suspend(boot, double(at(d, sleep)), double(at(d + 1, 3) + 2));
        journal.add(boot, double(at(d + 1, 3) + 4), Writer::manager,
                    "Starting apt-daily-upgrade.service - Daily apt upgrade and clean activities...",
                    "apt-daily-upgrade.service");
        journal.suspend(boot, double(at(d + 1, 3) + 70), double(at(d + 1, 7)));
        journal.add(boot, double(at(d + 1, 7) + 1), Writer::login, "Lid opened.");
    }
    for (const int64_t now : {thursdayNoon, thursdayNoon + 4 * day}) {
        SCOPED_TRACE(now);
        const std::vector<Night> built = nights(journal, now, {aptTimer});
        for (const char* id : {"2024-03-12", "2024-03-13", "2024-03-14"}) {
            SCOPED_TRACE(id);
            const Night& n = night(built, id);
            const auto timerWake = std::find_if(n.events.begin(), n.events.end(),
                                                [](const NightEvent& e) { return e.kind == Kind::darkWake; });
            ASSERT_NE(timerWake, n.events.end());
            EXPECT_EQ(timerWake->label, "Scheduled timer");
            EXPECT_EQ(timerWake->scheduledBy,
                      std::optional<std::string>(
                          "apt-daily-upgrade.timer · Daily apt upgrade and clean activities"));
        }
    }
}

} // namespace
} // namespace dormio
