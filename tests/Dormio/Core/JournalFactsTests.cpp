#include "Dormio/Core/System/JournalFacts.h"
#include "Dormio/Core/System/PowerLogWriter.h"
#include "Dormio/Core/System/UPowerHistory.h"
#include "DormioKit/PowerLogParser.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dormio {
namespace {

struct Message {
    std::string identifier;
    std::string message;
    std::optional<FactKind> kind;
    std::string detail = {};
};

// The message forms of systemd 252 and newer, older ones still in journals, and near misses.
const std::vector<Message> messages{
    {"kernel", "PM: suspend entry (deep)", FactKind::sleepStart, "deep"},
    {"kernel", "PM: suspend entry (s2idle)", FactKind::sleepStart, "s2idle"},
    {"kernel", "PM: suspend exit", FactKind::sleepEnd},
    {"kernel", "PM: hibernation: hibernation entry", FactKind::sleepStart, "hibernate"},
    {"kernel", "PM: hibernation exit", FactKind::sleepEnd},
    {"kernel", "PM: Triggering wakeup from IRQ 9", FactKind::wakeIrq, "9"},
    {"kernel", "PM: last active wakeup source: PNP0C0D:00", FactKind::wakeDevice, "PNP0C0D:00"},
    {"kernel", "ACPI: PM: Waking up from system sleep state S3", std::nullopt},
    {"kernel", "PM: suspend entry (deep", std::nullopt},
    {"systemd-sleep", "Entering sleep state 'suspend'...", FactKind::sleepStart, "suspend"},
    {"systemd-sleep", "Performing sleep operation 'hibernate'...", FactKind::sleepStart, "hibernate"},
    {"systemd-sleep", "Suspending system...", FactKind::sleepStart, "suspend"},
    {"systemd-sleep", "System returned from sleep state.", FactKind::sleepEnd},
    {"systemd-sleep", "System returned from sleep operation 'suspend'.", FactKind::sleepEnd},
    {"systemd-sleep", "System resumed.", FactKind::sleepEnd},
    {"systemd-logind", "Lid closed.", FactKind::lidClosed},
    {"systemd-logind", "Lid opened.", FactKind::lidOpened},
    {"systemd-logind", "Power key pressed short.", FactKind::powerKey},
    {"systemd-logind", "Power key pressed.", FactKind::powerKey},
    {"systemd-logind", "Suspend key pressed.", FactKind::sleepKey},
    {"systemd-logind", "System idle. Will suspend now.", FactKind::idle},
    {"systemd-logind", "System idle. Taking action.", FactKind::idle},
    {"systemd-logind", "System idle. Will be locked now.", std::nullopt},
    {"systemd-logind", "Suspend requested from client PID 4242 ('gsd-power')...", FactKind::sleepRequest,
     "gsd-power"},
    {"systemd-logind", "Reboot requested from client PID 4242 ('systemctl')...", std::nullopt},
    {"systemd-logind", "The system will suspend now!", std::nullopt},
    // The same words from another program say nothing.
    {"systemd", "Lid closed.", std::nullopt},
    {"myapp", "PM: suspend entry (deep)", std::nullopt},
};

TEST(JournalFacts, TellsTheMessageForms) {
    for (const Message& m : messages) {
        SCOPED_TRACE(m.identifier + ": " + m.message);
        const auto fact = JournalFacts::classify(m.identifier, m.message);
        ASSERT_EQ(fact.has_value(), m.kind.has_value());
        if (!fact) continue;
        EXPECT_EQ(fact->kind, *m.kind);
        EXPECT_EQ(fact->detail, m.detail);
    }
}

// --- The writer on journals made in the test -----------------------------------------------------

class Journal {
public:
    // Times in seconds since 1970 on the wall clock, and since the boot.
    Journal& add(double realtime, double monotonic, std::string identifier, std::string message,
                 std::string boot = "b1") {
        read.entries.push_back({int64_t(realtime * 1e6), int64_t(monotonic * 1e6), std::move(boot),
                                std::move(identifier), std::move(message)});
        return *this;
    }
    // A suspend at `sleep` and its resume at `wake`, with the time asleep left out of the boot's clock.
    Journal& suspend(double sleep, double wake, double monotonic) {
        add(sleep, monotonic, "systemd-sleep", "Entering sleep state 'suspend'...");
        add(sleep, monotonic, "kernel", "PM: suspend entry (s2idle)");
        add(wake, monotonic + 1, "kernel", "PM: suspend exit");
        return add(wake, monotonic + 1, "systemd-sleep", "System returned from sleep state.");
    }
    std::string text(const std::vector<WakeAlarm>& alarms = {}) const {
        return PowerLogWriter::write(read, {}, alarms);
    }
    PowerLog log() const { return PowerLogParser::parse(text()); }

    JournalRead read;
};

std::vector<PowerEventKind> kinds(const PowerLog& log) {
    std::vector<PowerEventKind> kinds;
    for (const PowerEvent& event : log.events)
        kinds.push_back(event.kind);
    return kinds;
}

constexpr double night = 1'700'000'000; // 2023-11-14 22:13:20 UTC

TEST(PowerLogWriterRules, AResumeIsADarkWakeOnlyWhenItGoesBackToSleepWithinTwoMinutesWithoutTheUser) {
    using K = PowerEventKind;
    struct Case {
        double awake;  // seconds between the resume and the next sleep
        bool lidOpens; // the user opened the lid right after the resume
        K kind;
    };
    for (const Case& c :
         {Case{120, false, K::darkWake}, Case{121, false, K::wake}, Case{30, true, K::wake}}) {
        SCOPED_TRACE(c.awake);
        Journal journal;
        journal.suspend(night, night + 3600, 100);
        if (c.lidOpens) journal.add(night + 3602, 102, "systemd-logind", "Lid opened.");
        journal.suspend(night + 3600 + c.awake, night + 7200, 101 + c.awake);
        EXPECT_EQ(kinds(journal.log()), (std::vector<K>{K::sleep, c.kind, K::sleep, K::wake}));
    }
}

TEST(PowerLogWriterRules, AClockSetBackInTheNightKeepsTheSleepBeforeItsWake) {
    // The wall clock goes back by two hours between going to sleep and the resume (the boot's clock
    // shows no sleep in between): everything before the set moves onto the later clock.
    Journal journal;
    journal.add(night - 60, 500, "systemd-logind", "Lid closed.");
    journal.add(night, 560, "systemd-sleep", "Entering sleep state 'suspend'...");
    journal.add(night - 7200 + 3600, 560 + 3600, "kernel", "PM: suspend exit");
    journal.add(night + 10000, 11000, "systemd-logind", "Lid closed.");
    journal.add(night + 10001, 11001, "systemd-sleep", "Entering sleep state 'suspend'...");
    const PowerLog log = journal.log();
    ASSERT_EQ(log.events.size(), 3u);
    EXPECT_EQ(kinds(log), (std::vector<PowerEventKind>{PowerEventKind::sleep, PowerEventKind::wake,
                                                       PowerEventKind::sleep}));
    EXPECT_LT(log.events[0].date, log.events[1].date);
}

TEST(PowerLogWriterRules, AResumeWhoseSleepLiesBeforeTheJournalIsAWakeAlone) {
    Journal journal;
    journal.add(night, 100, "kernel", "PM: suspend exit");
    journal.add(night + 1, 101, "systemd-sleep", "System returned from sleep state.");
    const PowerLog log = journal.log();
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].kind, PowerEventKind::wake);
}

TEST(PowerLogWriterRules, TheJournalsWordsCannotPassForTheReadersMarkers) {
    // A message that says "due to" and "Using", with a tab and a line break, is kept as words only.
    Journal journal;
    journal.add(night, 100, "systemd-logind", "Lid closed.");
    journal.add(night + 1, 101, "kernel", "PM: suspend entry (deep)");
    journal.add(night + 3600, 102, "kernel", "PM: last active wakeup source: sdio due to Using AC\tx\ny");
    journal.add(night + 3600, 102, "kernel", "PM: suspend exit");
    const PowerLog log = journal.log();
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].cause, "Clamshell Sleep");
    EXPECT_EQ(log.events[1].onBattery, std::nullopt);
    EXPECT_EQ(log.events[1].cause, "sdio due to\u00A0Using\u00A0AC x y");
    EXPECT_EQ(log.skippedLines, 0);
}

TEST(PowerLogWriterRules, AStartUpIsWrittenOnlyWhenTheJournalHoldsTheBootsBeginning) {
    Journal journal;
    journal.read.bootStarts = {{int64_t(night * 1e6), int64_t(2e6), "b1", "kernel", "Linux version 6.1.0"},
                               {int64_t((night + 90000) * 1e6), int64_t(3600e6), "b2", "kernel", "rotated"}};
    const PowerLog log = journal.log();
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].kind, PowerEventKind::boot);
    EXPECT_EQ(log.events[0].raw, "Start [Linux version 6.1.0]");
}

// --- UPower's history ---------------------------------------------------------------------------

TEST(UPowerHistory, ReadsTheChargeAndThePowerSourceNearAMoment) {
    const auto readings = UPowerHistory::parse("1000\t80.000\tdischarging\n"
                                               "1300\t79.6\tcharging\n"
                                               "bad line\n"
                                               "1400\t140.0\tcharging\n"
                                               "1500\t78.000\tunknown\n");
    ASSERT_EQ(readings.size(), 3u);
    const ChargeHistory history(readings);
    struct Case {
        int64_t at;
        std::optional<int64_t> percent;
        std::optional<bool> onBattery;
    };
    for (const Case& c :
         {Case{1000, 80, true}, Case{1150, 80, false} /* a tie: the later one */, Case{1160, 80, false},
          Case{1140, 80, true}, Case{1500, 78, std::nullopt}, Case{2100, 78, std::nullopt},
          Case{2101, std::nullopt, std::nullopt}, Case{399, std::nullopt, std::nullopt}}) {
        SCOPED_TRACE(c.at);
        const auto reading = history.near(c.at);
        ASSERT_EQ(reading.has_value(), c.percent.has_value());
        if (!reading) continue;
        EXPECT_EQ(reading->percent, *c.percent);
        EXPECT_EQ(reading->onBattery, c.onBattery);
    }
}

TEST(UPowerHistory, SeveralBatteriesGiveTheirMeanAndOnBatteryWhenAnyDischarges) {
    QTemporaryDir folder;
    const auto write = [&](const char* name, const QByteArray& text) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("history-charge-BAT0.dat", "1000\t80.000\tdischarging\n");
    write("history-charge-BAT1.dat", "1100\t40.000\tfully-charged\n");
    write("history-rate-BAT0.dat", "1000\t9.5\tdischarging\n");
    const ChargeHistory history = UPowerHistory::read(folder.path());
    EXPECT_EQ(history.near(1000)->percent, 80);
    EXPECT_EQ(history.near(1100)->percent, 60);
    EXPECT_EQ(history.near(1100)->onBattery, true);
    EXPECT_TRUE(UPowerHistory::read(folder.filePath("missing")).empty());
}

} // namespace
} // namespace dormio
