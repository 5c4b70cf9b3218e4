// Recorded journals (tests/data/journal, export format, hand-made from the messages systemd-sleep,
// systemd-logind and the kernel write) written as the power log, and the nights the model builds from it.

#include "Dormio/Core/System/PowerLogWriter.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"
#include "JournalExport.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace dormio {
namespace {

// The journals' dates are on a wall clock of Berlin, which moves to summer time on 31 March 2024.
class BerlinTime : public testing::Test {
protected:
    void SetUp() override { zone("Europe/Berlin"); }
    void TearDown() override { zone("UTC"); }
    static void zone(const char* name) {
        setenv("TZ", name, 1);
        tzset();
    }
};

JournalRead recorded(const std::string& name, int64_t since = 0) {
    return JournalExport::fromFile(QStringLiteral(DORMIO_TEST_DATA "/journal/") +
                                   QString::fromStdString(name) + QStringLiteral(".export"))
        .read(since);
}

// A recording's UPower folder holds the machine's batteries too, in "power_supply".
ChargeHistory upower(const std::string& name) {
    const QString folder = QStringLiteral(DORMIO_TEST_DATA "/upower/") + QString::fromStdString(name);
    return UPowerHistory::read(folder, folder + QStringLiteral("/power_supply"));
}

// The entry lines of a log text, without its header.
std::vector<std::string> entryLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        if (line.starts_with("20")) lines.push_back(line);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::string line(const std::string& date, std::string type, const std::string& message) {
    type.resize(20, ' ');
    return date + ' ' + type + '\t' + message;
}

const std::string linuxVersion =
    "Linux version 6.1.0-18-amd64 (debian-kernel@lists.debian.org) (gcc-12 (Debian 12.2.0-14) 12.2.0, GNU ld "
    "(GNU Binutils for Debian) 2.40) #1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)";

std::string start(const std::string& date) {
    return line(date, "Start", "Start [" + linuxVersion + "]");
}

struct Moment {
    NightEvent::Kind kind;
    SharedText label;
    std::optional<SharedText> scheduledBy = std::nullopt;
    std::optional<int64_t> charge = std::nullopt;
};

struct Recording {
    std::string journal;
    std::vector<WakeTimer> timers;
    std::vector<std::string> lines;
    std::string morning; // the night the moments are of
    std::vector<Moment> moments;
};

using Kind = NightEvent::Kind;

const std::vector<Recording> recordings{
    {"lid-s3",
     {},
     {start("2024-03-04 08:00:00 +0100"),
      line("2024-03-04 23:31:11 +0100", "Sleep",
           "Entering Sleep state due to 'Clamshell Sleep': S3 (deep) [Lid closed. · Entering sleep state "
           "'suspend'... · PM: suspend entry (deep)] Using Batt (Charge:81%)"),
      line("2024-03-05 06:42:00 +0100", "Wake",
           "Wake from S3 (deep) [PM: suspend exit · System returned from sleep state.] : due to Lid opened. "
           "Using Batt (Charge:77%)")},
     "2024-03-05",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Lid closed — went to sleep", std::nullopt, 81},
      {Kind::screenOn, "You used your Mac", "Woken by: You opened the lid", 77}}},
    {"power-key-s2idle",
     {},
     {start("2024-03-05 18:00:00 +0100"),
      line("2024-03-05 22:58:01 +0100", "Sleep",
           "Entering Sleep state due to 'Power Button': s2idle [Power key pressed short. · Entering sleep "
           "state "
           "'suspend'... · PM: suspend entry (s2idle)]"),
      line("2024-03-06 06:15:30 +0100", "Wake",
           "Wake from s2idle [PM: suspend exit · System returned from sleep state.] : due to Power button: "
           "Power "
           "key pressed short.")},
     "2024-03-06",
     {{Kind::fellAsleep, "Already asleep"},
      {Kind::screenOn, "You used your Mac", "Woken by: Power button pressed"}}},
    {"idle",
     {},
     {start("2024-03-06 19:00:00 +0100"),
      line("2024-03-07 00:20:01 +0100", "Sleep",
           "Entering Sleep state due to 'Idle Sleep': S3 (deep) [System idle. Will suspend now. · Entering "
           "sleep "
           "state 'suspend'... · PM: suspend entry (deep)]"),
      // Nothing names what woke it: the resume has no cause words.
      line("2024-03-07 07:05:00 +0100", "Wake",
           "Wake from S3 (deep) [PM: suspend exit · System returned from sleep state.]")},
     "2024-03-07",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Fell asleep after sitting idle"}}},
    {"request",
     {},
     {start("2024-03-07 17:30:00 +0100"),
      line("2024-03-07 23:45:03 +0100", "Sleep",
           "Entering Sleep state due to 'Software Sleep': s2idle [Suspend requested from client PID 2154 "
           "('systemctl') (unit session-2.scope)... · Entering sleep state 'suspend'... · PM: suspend entry "
           "(s2idle)]"),
      line("2024-03-08 06:30:00 +0100", "Wake",
           "Wake from s2idle [PM: suspend exit · System returned from sleep state.] : due to Lid opened.")},
     "2024-03-08",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Put to sleep from the menu"},
      {Kind::screenOn, "You used your Mac", "Woken by: You opened the lid"}}},
    {"rtc-dark-wake",
     {{"apt-daily-upgrade.timer", "apt-daily-upgrade.service", "Daily apt upgrade and clean activities"}},
     {start("2024-03-08 07:50:00 +0100"),
      line("2024-03-08 23:40:00 +0100", "Sleep",
           "Entering Sleep state due to 'Clamshell Sleep': S3 (deep) [Lid closed. · Entering sleep state "
           "'suspend'... · PM: suspend entry (deep)]"),
      line("2024-03-09 03:00:02 +0100", "Wake Requests",
           "[*process=apt-daily-upgrade.timer request=WakeSystem wakeAt=2024-03-09 03:00:02 info=\"Daily apt "
           "upgrade and clean activities\"]"),
      line(
          "2024-03-09 03:00:02 +0100", "DarkWake",
          "DarkWake from S3 (deep) [PM: suspend exit · System returned from sleep state.] : due to RTC alarm "
          "(apt-daily-upgrade.timer)"),
      line("2024-03-09 03:01:10 +0100", "Sleep",
           "Entering Sleep state: S3 (deep) [Entering sleep state 'suspend'... · PM: suspend entry (deep)]"),
      line(
          "2024-03-09 06:55:00 +0100", "Wake",
          "Wake from S3 (deep) [PM: suspend exit · System returned from sleep state.] : due to Lid opened.")},
     "2024-03-09",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Lid closed — went to sleep"},
      {Kind::darkWake, "Scheduled timer", "apt-daily-upgrade.timer · Daily apt upgrade and clean activities"},
      {Kind::screenOn, "You used your Mac", "Woken by: You opened the lid"}}},
    {"back-to-back",
     {},
     {start("2024-03-09 09:00:00 +0100"),
      line("2024-03-10 00:05:00 +0100", "Sleep",
           "Entering Sleep state due to 'Clamshell Sleep': s2idle [Lid closed. · Entering sleep state "
           "'suspend'... · PM: suspend entry (s2idle)]"),
      line("2024-03-10 01:30:00 +0100", "DarkWake",
           "DarkWake from s2idle [PM: Triggering wakeup from IRQ 9 · PM: suspend exit · System returned from "
           "sleep state.] : due to IRQ 9"),
      line("2024-03-10 01:30:25 +0100", "Sleep",
           "Entering Sleep state: s2idle [Entering sleep state 'suspend'... · PM: suspend entry (s2idle)]"),
      line(
          "2024-03-10 02:10:00 +0100", "DarkWake",
          "DarkWake from s2idle [PM: Triggering wakeup from IRQ 1 · PM: last active wakeup source: 1-3 · PM: "
          "suspend exit · System returned from sleep state.] : due to USB device (1-3)"),
      line("2024-03-10 02:10:12 +0100", "Sleep",
           "Entering Sleep state: s2idle [Entering sleep state 'suspend'... · PM: suspend entry (s2idle)]"),
      line("2024-03-10 06:40:00 +0100", "Wake",
           "Wake from s2idle [PM: suspend exit · System returned from sleep state.] : due to Lid opened.")},
     "2024-03-10",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Lid closed — went to sleep"},
      {Kind::darkWake, "Other (IRQ 9)"},
      {Kind::darkWake, "USB device"},
      {Kind::screenOn, "You used your Mac", "Woken by: You opened the lid"}}},
    {"boot-in-the-night",
     {},
     {start("2024-03-10 10:00:00 +0100"),
      line("2024-03-10 23:50:00 +0100", "Sleep",
           "Entering Sleep state due to 'Clamshell Sleep': S3 (deep) [Lid closed. · Entering sleep state "
           "'suspend'... · PM: suspend entry (deep)]"),
      start("2024-03-11 03:12:05 +0100"),
      line("2024-03-11 03:45:01 +0100", "Sleep",
           "Entering Sleep state due to 'Idle Sleep': S3 (deep) [System idle. Will suspend now. · Entering "
           "sleep "
           "state 'suspend'... · PM: suspend entry (deep)]"),
      line(
          "2024-03-11 07:20:00 +0100", "Wake",
          "Wake from S3 (deep) [PM: suspend exit · System returned from sleep state.] : due to Lid opened.")},
     "2024-03-11",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Lid closed — went to sleep"},
      {Kind::screenOn, "You used your Mac", "Woken by: Mac started up"},
      {Kind::fellAsleep, "Fell asleep after sitting idle"}}},
    // The boot's first minute was stamped an hour early, until the clock was synchronised; the night
    // crosses the change to summer time.
    {"clock-changes",
     {},
     {start("2024-03-30 08:00:00 +0100"),
      line("2024-03-30 23:30:00 +0100", "Sleep",
           "Entering Sleep state due to 'Clamshell Sleep': S3 (deep) [Lid closed. · Entering sleep state "
           "'suspend'... · PM: suspend entry (deep)]"),
      line(
          "2024-03-31 07:10:00 +0200", "Wake",
          "Wake from S3 (deep) [PM: suspend exit · System returned from sleep state.] : due to Lid opened.")},
     "2024-03-31",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Lid closed — went to sleep"}}},
    {"low-battery",
     {},
     {start("2024-03-11 12:00:00 +0100"),
      line("2024-03-12 01:10:30 +0100", "Sleep",
           "Entering Sleep state due to 'Low Power Sleep': hibernation [Entering sleep state 'hibernate'... "
           "· PM: "
           "hibernation: hibernation entry] Using Batt (Charge:4%)"),
      line("2024-03-12 08:02:00 +0100", "Wake",
           "Wake from hibernation [PM: hibernation: hibernation exit · System returned from sleep state.] : "
           "due "
           "to Power button: Power key pressed short. Using Batt (Charge:3%)")},
     "2024-03-12",
     {{Kind::awakeAtStart, "You were still using your Mac"},
      {Kind::fellAsleep, "Battery low — went to sleep", std::nullopt, 4}}},
};

class RecordedJournal : public BerlinTime, public testing::WithParamInterface<Recording> {};

TEST_P(RecordedJournal, WritesTheLogAndTheModelBuildsTheNight) {
    const Recording& recording = GetParam();
    const std::string text =
        PowerLogWriter::write(recorded(recording.journal), {upower(recording.journal), {}, recording.timers});
    ASSERT_TRUE(text.starts_with(PowerLogWriter::header));
    EXPECT_EQ(entryLines(text), recording.lines);

    const PowerLog log = PowerLogParser::parse(text);
    EXPECT_EQ(log.skippedLines, 0);
    const Date now = log.events.back().date + 3600;
    const std::vector<Night> nights =
        NightBuilder::build(log, NightWindow{23, 7}, now, Calendar("Europe/Berlin"));
    const auto night =
        std::find_if(nights.begin(), nights.end(), [&](const Night& n) { return n.id == recording.morning; });
    ASSERT_NE(night, nights.end()) << recording.morning;
    std::vector<Moment> moments;
    for (const NightEvent& event : night->events)
        moments.push_back({event.kind, event.label, event.scheduledBy, event.charge});
    ASSERT_EQ(moments.size(), recording.moments.size());
    for (std::size_t i = 0; i < moments.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(moments[i].kind, recording.moments[i].kind);
        EXPECT_EQ(moments[i].label, recording.moments[i].label);
        EXPECT_EQ(moments[i].scheduledBy, recording.moments[i].scheduledBy);
        EXPECT_EQ(moments[i].charge, recording.moments[i].charge);
    }
}

INSTANTIATE_TEST_SUITE_P(Journals, RecordedJournal, testing::ValuesIn(recordings),
                         [](const testing::TestParamInfo<Recording>& info) {
                             std::string name = info.param.journal;
                             std::erase(name, '-');
                             return name;
                         });

TEST_F(BerlinTime, TheRawRecordShowsTheJournalsWordsAndTheReaderStillFindsItsFields) {
    const std::string text = PowerLogWriter::write(recorded("lid-s3"), {upower("lid-s3"), {}, {}});
    const PowerLog log = PowerLogParser::parse(text);
    ASSERT_EQ(log.events.size(), 3u);
    EXPECT_EQ(log.events[0].kind, PowerEventKind::boot);
    EXPECT_EQ(log.events[1].cause, "Clamshell Sleep");
    EXPECT_EQ(log.events[1].onBattery, true);
    EXPECT_NE(log.events[1].raw.find("PM: suspend entry (deep)"), std::string::npos);
    EXPECT_EQ(log.events[2].kind, PowerEventKind::wake);
    EXPECT_EQ(log.events[2].cause, "Lid opened.");
    EXPECT_EQ(log.events[2].charge, 77);
}

TEST_F(BerlinTime, AnEmptyJournalGivesTheHeaderAlone) {
    EXPECT_EQ(PowerLogWriter::write({}, {}), PowerLogWriter::header);
    EXPECT_TRUE(PowerLogParser::parse(PowerLogWriter::header).events.empty());
}

} // namespace
} // namespace dormio
