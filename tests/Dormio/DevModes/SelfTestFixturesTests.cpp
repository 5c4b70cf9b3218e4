#include "Dormio/DevModes/SelfTestFixtures.h"
#include "DormioKit/Assertions.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"
#include "LocalTime.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace dormio::testing {
namespace {

using SelfTest::FixtureNight;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    lines.push_back(text.substr(at));
    return lines;
}

struct MorningCase {
    const char* zone;
    int hour;
    int minute;
    int newestDay; // of March 2026, the run being on the 2nd
};

// The newest night is the one whose morning has come; a morning still ahead today belongs to a night not
// yet over. Between 07:00 and 08:00 the morning has come even though the night's last lines lie ahead.
TEST(SelfTestFixtures, TheNewestMorningIsTheLatestThatHasCome) {
    const MorningCase cases[] = {
        {"UTC", 0, 30, 1},          {"UTC", 6, 59, 1},           {"UTC", 7, 0, 2},
        {"UTC", 7, 30, 2},          {"UTC", 7, 59, 2},           {"UTC", 8, 0, 2},
        {"UTC", 23, 30, 2},         {"Europe/Berlin", 6, 59, 1}, {"Europe/Berlin", 7, 30, 2},
        {"Asia/Kolkata", 7, 45, 2},
    };
    for (const MorningCase& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.hour) + ":" + std::to_string(c.minute));
        const Calendar calendar(c.zone);
        const auto nights =
            SelfTest::fixtureNights(localMoment(c.zone, 2026, 3, 2, c.hour, c.minute), 3, calendar);
        ASSERT_EQ(nights.size(), 3u);
        EXPECT_EQ(nights.back().morning, localMoment(c.zone, 2026, 3, c.newestDay, 7));
        EXPECT_EQ(nights.front().morning, localMoment(c.zone, 2026, 3, c.newestDay, 7) - 2 * 86400);
        for (const FixtureNight& night : nights)
            EXPECT_EQ(night.morning - night.evening, 9 * 3600);
    }
}

TEST(SelfTestFixtures, TheLogIsAHeaderAndThirteenLinesANight) {
    const Calendar calendar("Europe/Berlin");
    EXPECT_EQ(SelfTest::logText({}, calendar), "PM ASL data store: /var/log/powermanagement");

    const auto nights = SelfTest::fixtureNights(localMoment("Europe/Berlin", 2026, 3, 3, 9), 3, calendar);
    const std::string text = SelfTest::logText(nights, calendar);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 39);
    EXPECT_NE(text.back(), '\n');
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 40u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        // The date, a space and a type column of exactly 20, then the message's opening tab.
        EXPECT_EQ(lines[i][25], ' ');
        EXPECT_EQ(lines[i][46], '\t');
        EXPECT_NE(lines[i][45], '\t');
    }
    // The oldest night's evening is the 28th of February.
    EXPECT_EQ(lines[1], "2026-02-28 22:30:00 +0100 Notification        \tDisplay is turned on\t");
    EXPECT_EQ(lines[4], "2026-03-01 00:10:00 +0100 Assertions          \tPID 99991(FakePlayer) Released "
                        "PreventUserIdleSystemSleep \"Playing\" 00:40:00  id:0x1 [System: PrevIdle]\t");
    EXPECT_EQ(lines[6],
              "2026-03-01 01:30:00 +0100 DarkWake            \tDarkWake from Deep Idle [CDNP] : due "
              "to NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance Using Batt (Charge:92%) \t45 secs");
    EXPECT_EQ(lines[13],
              "2026-03-01 08:02:00 +0100 Sleep               \tEntering Sleep state due to 'Clamshell "
              "Sleep':TCPKeepAlive=active Using Batt (Charge:89%) \t");
    EXPECT_EQ(lines[39].substr(0, 25), "2026-03-03 08:02:00 +0100");
}

// Around a clock change the evening's lines keep their wall-clock times from 22:00 and the morning's from
// 07:00, so the night between them is an hour longer or shorter.
TEST(SelfTestFixtures, AClockChangeInTheNightMovesNeitherTheEveningNorTheMorning) {
    const Calendar calendar("Europe/Berlin");
    const auto nights =
        SelfTest::fixtureNights(localMoment("Europe/Berlin", 2025, 10, 28, 7, 30), 3, calendar);
    const std::vector<std::string> lines = linesOf(SelfTest::logText(nights, calendar));
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[1].substr(0, 25), "2025-10-25 22:30:00 +0200");
    EXPECT_EQ(lines[8].substr(0, 25), "2025-10-26 02:00:00 +0100"); // the second dark wake, after the change
    EXPECT_EQ(lines[10].substr(0, 25), "2025-10-26 07:45:00 +0100");
    EXPECT_EQ(lines[13].substr(0, 25), "2025-10-26 08:02:00 +0100");
}

struct BuildCase {
    const char* zone;
    int year, month, day, hour, minute;
};

// What the run's first section expects of the model, for runs at any hour and on the days around clock
// changes: three finished nights, each ending on its fixture morning with two dark wakes, the newest kept
// up by the player.
TEST(SelfTestFixtures, TheModelBuildsOneFinishedNightPerFixtureMorning) {
    const BuildCase cases[] = {
        {"UTC", 2026, 3, 2, 0, 30},
        {"UTC", 2026, 3, 2, 6, 59},
        {"UTC", 2026, 3, 2, 7, 0},
        {"UTC", 2026, 3, 2, 7, 30},
        {"UTC", 2026, 3, 2, 7, 59},
        {"UTC", 2026, 3, 2, 8, 0},
        {"UTC", 2026, 3, 2, 23, 30},
        // Summer time ends in the night to 26 October, starts in the night to 30 March.
        {"Europe/Berlin", 2025, 10, 26, 7, 30},
        {"Europe/Berlin", 2025, 10, 27, 7, 30},
        {"Europe/Berlin", 2025, 10, 28, 7, 30},
        {"Europe/Berlin", 2025, 10, 28, 9, 0},
        {"Europe/Berlin", 2025, 3, 30, 7, 30},
        {"Europe/Berlin", 2025, 4, 1, 7, 30},
        {"America/New_York", 2025, 11, 4, 7, 30},
        {"America/New_York", 2025, 3, 11, 8, 30},
        // Half an hour back at 02:00.
        {"Australia/Lord_Howe", 2025, 4, 8, 7, 30},
        // Back from midnight to 23:00: the night window starts at the first of two 23:00s.
        {"America/Santiago", 2025, 4, 7, 7, 30},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.year) + "-" + std::to_string(c.month) +
                     "-" + std::to_string(c.day) + " " + std::to_string(c.hour) + ":" +
                     std::to_string(c.minute));
        const Calendar calendar(c.zone);
        const Date now = localMoment(c.zone, c.year, c.month, c.day, c.hour, c.minute);
        const auto fixture = SelfTest::fixtureNights(now, 3, calendar);
        const std::vector<Night> built = NightBuilder::build(
            PowerLogParser::parse(SelfTest::logText(fixture, calendar)), NightWindow{}, now, calendar);
        std::vector<Night> finished;
        std::copy_if(built.begin(), built.end(), std::back_inserter(finished),
                     [](const Night& night) { return !night.inProgress; });
        ASSERT_EQ(finished.size(), 3u);
        ASSERT_EQ(fixture.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(finished[i].end, fixture[i].morning);
            EXPECT_EQ(finished[i].darkWakeCount(), 2);
        }
        ASSERT_FALSE(finished.back().keptAwake.empty());
        EXPECT_EQ(finished.back().keptAwake.front().process, "FakePlayer");
    }
}

TEST(SelfTestFixtures, TheListingHoldsFourHoldersOfEachKind) {
    const std::string listing = SelfTest::assertionListing;
    EXPECT_EQ(listing.size(), 516u);
    EXPECT_NE(listing.back(), '\n');
    const auto assertions = AssertionReader::parse(listing);
    ASSERT_EQ(assertions.size(), 4u);
    EXPECT_EQ(assertions[0].process, "FakePlayer");
    EXPECT_EQ(assertions[0].ownerPID(), SelfTest::fixturePlayerPID);
    std::map<std::string, std::string> kinds;
    for (const LiveAssertion& a : assertions)
        kinds[a.process] = a.isNoteworthy() ? "noteworthy" : a.keepsScreenOn() ? "screen" : "other";
    EXPECT_EQ(kinds, (std::map<std::string, std::string>{{"FakePlayer", "noteworthy"},
                                                         {"caffeinate", "noteworthy"},
                                                         {"FakeBrowser", "screen"},
                                                         {"powerd", "other"}}));
}

TEST(SelfTestFixtures, EveryVariableMustNameAPath) {
    const std::map<std::string, std::string> all = {{"DORMIO_LOG_FIXTURE", "/f/power.log"},
                                                    {"DORMIO_ASSERTIONS_FIXTURE", "/f/assertions.txt"},
                                                    {"DORMIO_SUPPORT_DIR", "/f/support"}};
    const auto lookup = [](std::map<std::string, std::string> env) {
        return [env](const char* name) -> std::optional<std::string> {
            const auto found = env.find(name);
            return found == env.end() ? std::nullopt : std::optional(found->second);
        };
    };
    const auto paths = SelfTest::fixturePaths(lookup(all));
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->log, "/f/power.log");
    EXPECT_EQ(paths->assertions, "/f/assertions.txt");
    EXPECT_EQ(paths->supportDir, "/f/support");
    for (const auto& [name, value] : all) {
        SCOPED_TRACE(name);
        auto missing = all;
        missing.erase(name);
        EXPECT_FALSE(SelfTest::fixturePaths(lookup(missing)));
        auto empty = all;
        empty[name] = "";
        EXPECT_FALSE(SelfTest::fixturePaths(lookup(empty)));
    }
}

TEST(SelfTestFixtures, TheFixtureIsWrittenWholeOrNotAtAll) {
    QTemporaryDir folder;
    const QString path = folder.filePath("power.log");
    const auto mornings = SelfTest::writeLog(path, 3);
    EXPECT_EQ(mornings.size(), 3u);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 39);

    // A folder that is not there takes no file; the mornings come all the same.
    EXPECT_EQ(SelfTest::writeLog(folder.filePath("missing/power.log"), 3), mornings);
    EXPECT_FALSE(QFile::exists(folder.filePath("missing/power.log")));
}

// Whatever was stored goes back as it was, in the settings file too; a key that was absent is absent again.
TEST(SelfTestFixtures, TheNightHoursGoBackAsTheyWere) {
    QSettings settings;
    settings.clear();
    settings.setValue("nightStartHour", "21");
    settings.sync();
    const auto saved = SelfTest::SavedNightHours::take();
    settings.setValue("nightStartHour", 23);
    settings.setValue("nightEndHour", 7);
    saved.restore();

    EXPECT_EQ(settings.value("nightStartHour"), QVariant(QStringLiteral("21")));
    EXPECT_FALSE(settings.contains("nightEndHour"));
    QFile onDisk(settings.fileName());
    ASSERT_TRUE(onDisk.open(QIODevice::ReadOnly));
    const QByteArray text = onDisk.readAll();
    EXPECT_TRUE(text.contains("nightStartHour=21")) << text.constData();
    EXPECT_FALSE(text.contains("nightEndHour")) << text.constData();
    settings.clear();
}

} // namespace
} // namespace dormio::testing
