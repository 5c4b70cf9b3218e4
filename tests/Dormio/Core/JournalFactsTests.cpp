#include "Dormio/Core/System/JournalFacts.h"
#include "Dormio/Core/System/PowerLogWriter.h"
#include "Dormio/Core/System/UPowerHistory.h"
#include "Dormio/Core/System/WakeSources.h"
#include "DormioKit/PowerLogParser.h"
#include "DormioKit/Utf8.h"
#include "DormioKit/WakeReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    {"systemd-sleep", "Failed to put system to sleep. System resumed again: Device or resource busy",
     FactKind::sleepFailed},
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
    {"systemd", "Starting apt-daily-upgrade.service - Daily apt upgrade and clean activities...",
     FactKind::unitStarted},
    {"systemd", "Started fwupd-refresh.service - Refresh fwupd metadata and update motd.",
     FactKind::unitStarted},
    {"systemd", "Finished apt-daily-upgrade.service - Daily apt upgrade and clean activities.", std::nullopt},
    {"kernel",
     "File /var/log/journal/1f0c/system.journal corrupted or uncleanly shut down, renaming and replacing.",
     FactKind::uncleanEnd},
    {"systemd-journald",
     "File /var/log/journal/1f0c/system.journal corrupted or uncleanly shut down, renaming and replacing.",
     FactKind::uncleanEnd},
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

// Who wrote an entry, by what the journal records of the writer: a name or an identifier alone says nothing.
TEST(JournalFacts, TellsTheSystemsOwnWritersByWhatTheJournalRecords) {
    struct Case {
        JournalFacts::Writer writer;
        std::string_view source;
    };
    for (const Case& c : {
             Case{{"kernel", "", "", "", ""}, "kernel"},
             Case{{"driver", "", "", "", ""}, "systemd-journald"},
             Case{{"journal", "1", "0", "systemd", "/usr/lib/systemd/systemd"}, "systemd"},
             Case{{"journal", "612", "0", "systemd-logind", "/usr/lib/systemd/systemd-logind"},
                  "systemd-logind"},
             Case{{"journal", "612", "0", "systemd-logind", "/lib/systemd/systemd-logind"}, "systemd-logind"},
             Case{{"journal", "4100", "0", "systemd-sleep", ""},
                  "systemd-sleep"}, // ended before the journal looked
             Case{{"journal", "4100", "1000", "systemd-sleep", "/usr/lib/systemd/systemd-sleep"}, ""},
             Case{{"syslog", "3000", "1000", "logger", "/usr/bin/logger"}, ""},
             Case{{"journal", "3002", "0", "systemd-sleep", "/usr/bin/python3.11"}, ""},
             Case{{"journal", "3003", "0", "systemd-logind2", "/usr/lib/systemd/systemd-logind"}, ""},
             Case{{"syslog", "3004", "1000", "", ""}, ""},
             Case{{"stdout", "3005", "0", "sh", "/usr/bin/dash"}, ""},
         }) {
        SCOPED_TRACE(std::string(c.writer.transport) + " " + std::string(c.writer.pid) + " " +
                     std::string(c.writer.comm));
        EXPECT_EQ(JournalFacts::source(c.writer), c.source);
    }
}

// --- The writer on journals made in the test -----------------------------------------------------

class Journal {
public:
    // Times in seconds since 1970 on the wall clock, and since the boot.
    Journal& add(double realtime, double monotonic, std::string source, std::string message,
                 std::string boot = "b1") {
        read.entries.push_back({int64_t(realtime * 1e6), int64_t(monotonic * 1e6), std::move(boot),
                                std::move(source), std::move(message)});
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
        return PowerLogWriter::write(read, {{}, alarms, {}});
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

// The sleep mode and the messages joined with " · " go into the log too: an ill-formed byte, a tab, or
// a reader's marker in them, or one that the join completes, must not cut or bend the line.
TEST(PowerLogWriterRules, TheSleepModeAndTheJoinedWordsCannotBendTheLog) {
    struct Case {
        std::string mode;     // as systemd-sleep names it
        std::string exit;     // the kernel's resume message
        std::string returned; // systemd-sleep's
    };
    for (const Case& c : {
             Case{"deep\xF6", "PM: suspend exit", "System returned from sleep state."},
             Case{"sus\tpend", "PM: suspend exit", "System returned from sleep state."},
             Case{"deep due to Power button", "PM: suspend exit", "System returned from sleep state."},
             Case{"deep Using AC", "PM: suspend exit", "System returned from sleep state."},
             Case{"suspend", "PM: suspend exit due to", "System returned from sleep state."},
             Case{"suspend", "PM: suspend exit Using", "System returned from sleep state."},
             Case{"suspend due to", "PM: suspend exit", "System returned from sleep state. Using"},
         }) {
        SCOPED_TRACE(testing::PrintToString(c.mode) + " / " + c.exit + " / " + c.returned);
        Journal journal;
        journal.add(night - 10, 90, "systemd-logind", "Lid closed.");
        journal.add(night, 100, "systemd-sleep", "Entering sleep state '" + c.mode + "'...");
        journal.add(night + 3600, 101, "kernel", c.exit);
        journal.add(night + 3600, 101, "systemd-sleep", c.returned);
        journal.add(night + 3601, 102, "systemd-logind", "Lid opened.");
        const ChargeHistory charges({{int64_t(night) - 30, 80, true}, {int64_t(night) + 3630, 76, true}});
        const std::string text = PowerLogWriter::write(journal.read, {charges, {}, {}});
        EXPECT_TRUE(Utf8::isWellFormed(text));
        const PowerLog log = PowerLogParser::parse(text);
        EXPECT_EQ(log.skippedLines, 0);
        ASSERT_EQ(log.events.size(), 2u) << text;
        EXPECT_EQ(log.events[0].cause, "Clamshell Sleep");
        EXPECT_EQ(log.events[0].onBattery, true);
        EXPECT_EQ(log.events[0].charge, 80);
        EXPECT_EQ(log.events[1].cause, "Lid opened.");
        EXPECT_EQ(log.events[1].onBattery, true);
        EXPECT_EQ(log.events[1].charge, 76);
    }
}

TEST(PowerLogWriterRules, ASleepThatNothingExplainsSaysOnlyThatItSlept) {
    // GNOME's own automatic suspend on systemd 252 names no requester: nothing says it was the menu.
    Journal journal;
    journal.add(night - 1, 99, "systemd-logind", "The system will suspend now!");
    journal.suspend(night, night + 3600, 100);
    const PowerLog log = journal.log();
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].cause, "");
    EXPECT_EQ(WakeReason::sleepLabel(log.events[0].cause), "Went to sleep");
    // A request names who asked; GNOME's power daemon asks when the session sits idle.
    for (const auto& [requester, cause] :
         {std::pair{"systemctl", "Software Sleep"}, std::pair{"gsd-power", "Idle Sleep"}}) {
        Journal asked;
        asked.add(night - 1, 99, "systemd-logind",
                  std::string("Suspend requested from client PID 4242 ('") + requester + "')...");
        asked.suspend(night, night + 3600, 100);
        EXPECT_EQ(asked.log().events[0].cause, cause);
    }
}

TEST(PowerLogWriterRules, TheLidOpenedJustBeforeTheResumeReachesTheJournalStillWokeIt) {
    Journal journal;
    journal.add(night - 1, 99, "systemd-logind", "Lid closed.");
    journal.add(night, 100, "systemd-sleep", "Entering sleep state 'suspend'...");
    journal.add(night, 100, "kernel", "PM: suspend entry (deep)");
    journal.add(night + 3600, 101, "systemd-logind", "Lid opened.");
    journal.add(night + 3600, 101, "kernel", "PM: suspend exit");
    journal.add(night + 3601, 102, "systemd-sleep", "System returned from sleep state.");
    const PowerLog log = journal.log();
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(WakeReason::classify(log.events[1].cause, log.events[1].kind).label, "You opened the lid");
}

TEST(PowerLogWriterRules, APciWakeupSourceIsNamedByWhatTheSystemSaysItIs) {
    QTemporaryDir pci;
    const auto device = [&](const char* address, const QByteArray& classCode) {
        QDir().mkpath(pci.filePath(QString::fromLatin1(address)));
        QFile file(pci.filePath(QString::fromLatin1(address) + QStringLiteral("/class")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(classCode + '\n');
    };
    device("0000:00:14.0", "0x0c0330");
    device("0000:00:1f.6", "0x020000");
    struct Case {
        std::string source;
        std::string label;
    };
    for (const Case& c : {Case{"0000:00:14.0", "USB device"}, Case{"0000:00:1f.6", "Other (0000:00:1f.6)"},
                          Case{"0000:00:02.0", "Other (0000:00:02.0)"}}) {
        SCOPED_TRACE(c.source);
        Journal journal;
        journal.add(night, 100, "kernel", "PM: suspend entry (s2idle)");
        journal.add(night + 3600, 101, "kernel", "PM: last active wakeup source: " + c.source);
        journal.add(night + 3600, 101, "kernel", "PM: suspend exit");
        const auto described = WakeSources::described(journal.read, pci.path());
        const PowerLog log =
            PowerLogParser::parse(PowerLogWriter::write(journal.read, {{}, {}, {}, described}));
        ASSERT_EQ(log.events.size(), 2u);
        EXPECT_EQ(WakeReason::classify(log.events[1].cause, log.events[1].kind).label, c.label);
    }
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
          // Nothing near: the last reading held, as UPower writes only changes, for a day.
          Case{2101, 78, std::nullopt}, Case{1500 + 86400, 78, std::nullopt},
          Case{1500 + 86401, std::nullopt, std::nullopt}, Case{399, std::nullopt, std::nullopt}}) {
        SCOPED_TRACE(c.at);
        const auto reading = history.near(c.at);
        ASSERT_EQ(reading.has_value(), c.percent.has_value());
        if (!reading) continue;
        EXPECT_EQ(reading->percent, *c.percent);
        EXPECT_EQ(reading->onBattery, c.onBattery);
    }
}

TEST(UPowerHistory, SeveralBatteriesGiveTheirMeanOfTheDayBeforeAndOnBatteryWhenAnyDischarges) {
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& text) {
        QDir().mkpath(QFileInfo(folder.filePath(name)).path());
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    for (const auto& [battery, model, serial] :
         {std::tuple{"BAT0", "5B10W13975", "2164"}, std::tuple{"BAT1", "5B10W13930", "0817"}}) {
        const QString supply = QStringLiteral("power_supply/") + QString::fromLatin1(battery);
        write(supply + QStringLiteral("/type"), "Battery\n");
        write(supply + QStringLiteral("/model_name"), QByteArray(model) + '\n');
        write(supply + QStringLiteral("/serial_number"), QByteArray(serial) + '\n');
    }
    write(QStringLiteral("history-charge-5B10W13975-57-2164.dat"),
          "1000\t80.000\tdischarging\n90000\t70\tdischarging\n");
    write(QStringLiteral("history-charge-5B10W13930-24-0817.dat"), "1100\t40.000\tfully-charged\n");
    write(QStringLiteral("history-rate-5B10W13975-57-2164.dat"), "1000\t9.5\tdischarging\n");
    const ChargeHistory history =
        UPowerHistory::read(folder.path(), folder.filePath(QStringLiteral("power_supply")));
    EXPECT_EQ(history.near(1000)->percent, 80);
    EXPECT_EQ(history.near(1100)->percent, 60);
    EXPECT_EQ(history.near(1100)->onBattery, true);
    // The second battery's reading is more than a day old by then.
    EXPECT_EQ(history.near(90000)->percent, 70);
    EXPECT_TRUE(UPowerHistory::read(folder.filePath("missing"), folder.filePath("power_supply")).empty());
    EXPECT_TRUE(UPowerHistory::read(folder.path(), folder.filePath("missing")).empty());
}

// UPower names a battery's file "<model>-<design capacity>-<serial>", leaving out what it does not know or
// what is shorter than three characters, with some characters made underscores.
TEST(UPowerHistory, TellsTheFilesOfABatteryByItsModelAndSerialNumber) {
    struct Case {
        const char* id;
        const char* model;
        const char* serial;
        bool names;
    };
    for (const Case& c : {
             Case{"5B10W13975-57-2164", "5B10W13975", "2164", true},
             Case{"5B10W13975-2164", "5B10W13975", "2164", true},
             Case{"5B10W13975-57", "5B10W13975", "", true},
             Case{"57-2164", "", "2164", true},
             Case{"DELL_7FJ4X63-97-1234", "DELL 7FJ4X63", "1234", true},
             Case{"5B10W13975-57-2164", "5B10W13975", "1", false}, // the serial would be left out
             Case{"5B10W13975-57", "5B10W13975", "1", true},
             Case{"generic_id", "", "", true},
             Case{"57", "", "", true},
             Case{"generic_id", "5B10W13975", "2164", false},
             Case{"5B10W13930-45-8811", "5B10W13975", "2164", false}, // a battery replaced since
             Case{"5B10W13975-57-8811", "5B10W13975", "2164", false},
             Case{"4F3A2B1C", "5B10W13975", "2164", false}, // a mouse, by its serial number
             Case{"5B10W13975x-57-2164", "5B10W13975", "2164", false},
             Case{"5B10W13975-5a-2164", "5B10W13975", "2164", false},
         }) {
        SCOPED_TRACE(std::string(c.id) + " / " + c.model + " / " + c.serial);
        EXPECT_EQ(UPowerHistory::namesBattery(QString::fromLatin1(c.id), QString::fromLatin1(c.model),
                                              QString::fromLatin1(c.serial)),
                  c.names);
    }
}

} // namespace
} // namespace dormio
