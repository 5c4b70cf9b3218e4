// Nights built from long generated logs keep the shape every page relies on.

#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightEvents.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"
#include "PowerLogLines.h"
#include "Random.h"
#include "TestEnvironment.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace dormio;

namespace {

// A laptop's weeks: long sleeps broken by dark wakes, stretches of use and of screen-off work, start-ups,
// assertion releases that often began long before they ended, wake requests, and lines that share a second.
class LogWriter {
public:
    LogWriter(uint64_t seed, int64_t from) : random_(seed), now_(from) {}

    std::string write(int64_t until) {
        while (now_ < until)
            step();
        return text_;
    }

private:
    void line(const char* type, const std::string& message) {
        text_ += LogLines::line(LogLines::date(now_), type, message);
    }

    std::string source() {
        charge_ = std::max<int64_t>(5, charge_ - random_.between(0, 1));
        if (random_.chance(0.20)) charge_ = std::min<int64_t>(100, charge_ + 10);
        return random_.chance(0.30) ? " Using AC (Charge:" + std::to_string(charge_) + "%)"
                                    : " Using Batt (Charge:" + std::to_string(charge_) + "%)";
    }

    void release(int64_t held) {
        static const char* processes[] = {"backupd", "mds_stores", "cloudd", "powerd", "Música", "dasd"};
        static const char* types[] = {"PreventUserIdleSystemSleep", "PreventSystemSleep",
                                      "NoIdleSleepAssertion"};
        std::string process = processes[random_.between(0, 5)];
        line("Assertions", "PID " + std::to_string(random_.between(90, 9000)) + "(" + process +
                               ") Released " + types[random_.between(0, 2)] + " \"com.example." + process +
                               "\" " + LogLines::hms(held) + " id:0x0x1000" +
                               std::to_string(random_.between(0, 9999)));
    }

    void step() {
        switch (random_.between(0, 9)) {
        case 0:
        case 1:
        case 2:
            if (random_.chance(0.30))
                line("Wake Requests",
                     "[*process=dasd request=Maintenance wakeAt=" + LogLines::clock(now_ + 1800) +
                         " info=\"com.apple.dasd\"] [process=softwareupdated request=UserWake]");
            line("Sleep", "Entering Sleep state due to 'Idle Sleep':TCPKeepAlive=active" + source());
            now_ += random_.between(60, 2 * 3600);
            break;
        case 3:
        case 4:
            line("DarkWake", "DarkWake from Deep Idle [CDN] : due to RTC/Maintenance" + source());
            if (random_.chance(0.50)) release(random_.between(0, 400));
            now_ += random_.between(0, 90);
            if (random_.chance(0.40))
                line("Sleep", "Entering Sleep state due to 'Maintenance Sleep'" + source());
            break;
        case 5:
            line("Wake", "DarkWake to FullWake from Deep Idle [CDNVA] : due to HID Activity" + source());
            now_ += random_.between(0, 5);
            line("Notification", random_.chance(0.50) ? "Display is turned off" : "Display is turned on");
            now_ += random_.between(1, 1200);
            break;
        case 6:
            line("Wake", "Wake from Deep Idle [CDNVA] : due to EC.LidOpen/Lid Open" + source());
            line("Notification", "Display is turned on");
            now_ += random_.between(1, 2400);
            if (random_.chance(0.50)) line("Notification", "Display is turned off");
            break;
        case 7:
            for (int64_t n = random_.between(1, 40); n > 0; --n) {
                release(random_.chance(0.10) ? random_.between(0, 9 * 3600) : random_.between(0, 600));
                if (random_.chance(0.20))
                    line("Kernel Client Acks", "Delays to Sleep notifications: [en0 driver is slow]");
                now_ += random_.between(0, 2);
            }
            break;
        case 8:
            if (random_.chance(0.05)) line("Start", "powerd process is started");
            now_ += random_.between(0, 600);
            break;
        default:
            now_ += random_.between(1, 12 * 3600);
            break;
        }
    }

    Random random_;
    int64_t now_;
    int64_t charge_ = 90;
    std::string text_;
};

void expectWellFormed(const Night& night) {
    SCOPED_TRACE(night.id);
    ASSERT_FALSE(night.segments.empty());
    EXPECT_EQ(night.segments.front().start, night.start);
    EXPECT_EQ(night.segments.back().end, night.end);
    double total = 0;
    for (std::size_t i = 0; i < night.segments.size(); ++i) {
        const Segment& s = night.segments[i];
        EXPECT_GT(s.seconds(), 0);
        if (i > 0) {
            EXPECT_EQ(s.start, night.segments[i - 1].end);
            EXPECT_NE(s.state, night.segments[i - 1].state);
        }
        total += s.seconds();
    }
    EXPECT_NEAR(total, night.duration(), 1e-6);

    std::size_t next = 0; // events start segments, at most one each, in order
    for (const NightEvent& e : night.events) {
        while (next < night.segments.size() && night.segments[next].start < e.date)
            ++next;
        ASSERT_LT(next, night.segments.size());
        EXPECT_EQ(night.segments[next].start, e.date);
        EXPECT_EQ(night.segments[next].seconds(), e.duration);
        ++next;
    }

    std::set<std::string> processes;
    for (std::size_t i = 0; i < night.keptAwake.size(); ++i) {
        const KeptAwake& k = night.keptAwake[i];
        EXPECT_TRUE(processes.insert(k.process).second) << k.process;
        EXPECT_GE(k.seconds, 20);
        EXPECT_NE(k.process, "powerd");
        if (i > 0) {
            EXPECT_GE(night.keptAwake[i - 1].seconds, k.seconds);
        }
    }
    for (std::size_t i = 1; i < night.battery.size(); ++i)
        EXPECT_LE(night.battery[i - 1].date, night.battery[i].date);
}

class NightInvariants : public testing::TestWithParam<uint64_t> {
    test::ScopedTZ tz_{"Europe/Berlin"};
};

TEST_P(NightInvariants, HoldForEveryNightOfAGeneratedLog) {
    const int64_t from = 1709251200; // 2024-03-01, so both clock changes fall inside
    const int64_t until = from + 250 * 86400;
    std::string text = LogWriter(GetParam(), from).write(until);
    ASSERT_GT(text.size(), 2u << 20);
    PowerLog log = PowerLogParser::parse(text);
    ASSERT_GT(log.events.size(), 1000u);
    ASSERT_GT(log.releases.size(), 100u);

    Calendar berlin("Europe/Berlin");
    double longest = NightBuilder::longestRelease(log.releases);
    Date now = Date::fromUnix(static_cast<double>(until) - 1800); // 00:30 in Berlin: a night under way
    std::vector<Night> nights = NightBuilder::build(log, NightWindow{}, now, berlin);
    ASSERT_GT(nights.size(), 200u);
    std::size_t blamed = 0, eventful = 0;
    for (std::size_t i = 0; i < nights.size(); ++i) {
        const Night& night = nights[i];
        expectWellFormed(night);
        blamed += !night.keptAwake.empty();
        eventful += night.events.size() > 5;
        if (i > 0) {
            EXPECT_LT(nights[i - 1].id, night.id);
        }
        EXPECT_EQ(night.inProgress, i + 1 == nights.size()) << night.id;
        // The nights are made on several threads at once: each is the night of its window made alone.
        Night alone =
            NightBuilder::makeNight(night.id, night.start, night.end, log, night.hasBattery, longest);
        alone.inProgress = night.inProgress;
        EXPECT_TRUE(alone == night) << night.id;

        // The bisection and the bounded walk find exactly the releases a full scan finds, in order.
        std::vector<std::string> walked, scanned;
        for (const AssertionRelease& r :
             NightBuilder::overlappingReleases(log, night.start, night.end, longest))
            walked.push_back(std::to_string(r.end.seconds) + std::string(r.process) +
                             std::to_string(r.duration));
        for (const AssertionRelease& r : log.releases)
            if (r.end > night.start && r.start() < night.end)
                scanned.push_back(std::to_string(r.end.seconds) + std::string(r.process) +
                                  std::to_string(r.duration));
        EXPECT_EQ(walked, scanned);
    }
    EXPECT_GT(blamed, nights.size() / 4); // the log is busy enough to test something
    EXPECT_GT(eventful, nights.size() / 4);
}

INSTANTIATE_TEST_SUITE_P(Seeds, NightInvariants, testing::Values(1u, 2u, 3u, 42u, 2024u));

} // namespace
