#include "Dormio/Core/System/Inhibitors.h"
#include "Dormio/Core/System/WakeAlarms.h"
#include "DormioKit/Assertions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dormio {
namespace {

// A bus that answers with the locks it was given.
class FakeBus final : public InhibitorSource {
public:
    explicit FakeBus(std::vector<Inhibitor> locks) : locks_(std::move(locks)) {}
    std::vector<Inhibitor> inhibitors() override { return locks_; }

private:
    std::vector<Inhibitor> locks_;
};

TEST(AssertionListing, EachKindOfLockBecomesTheRowTheModelReads) {
    FakeBus bus({
        {"sleep", "Totem", "Playing a film", "block", 2310, 754.0},
        {"idle", "Firefox", "audio-playing", "block", 4120, std::nullopt},
        {"sleep:idle", "caffeinate (Main)): x", "Caffeinated", "block", 99, 3600.0},
        {"sleep", "NetworkManager", "NetworkManager needs to turn off networks", "delay", 611, 9000.0},
        {"screensaver", "org.mozilla.firefox", "Video is playing", "block", 0, std::nullopt},
        {"shutdown", "Unattended Upgrades Shutdown", "Stop ongoing upgrades", "delay", 820, std::nullopt},
        {"handle-lid-switch", "GNOME Settings Daemon", "External monitor attached", "block", 1402,
         std::nullopt},
    });
    const std::string listing = AssertionListing::write(bus.inhibitors(), 1'700'000'000);
    const std::vector<LiveAssertion> rows = AssertionReader::parse(listing);
    const std::vector<LiveAssertion> expected{
        {2310, "Totem", "PreventSystemSleep", "Playing a film", 754},
        {4120, "Firefox", "PreventUserIdleSystemSleep", "audio-playing", 0},
        {99, "caffeinate (Main)) : x", "PreventSystemSleep", "Caffeinated", 3600},
        {611, "NetworkManager", "BackgroundTask", "NetworkManager needs to turn off networks", 9000},
        {0, "org.mozilla.firefox", "PreventUserIdleDisplaySleep", "Video is playing", 0},
    };
    EXPECT_EQ(rows, expected) << listing;
    // A sleep lock is a holder that keeps the machine awake; a delay only lets a program finish first.
    EXPECT_TRUE(rows[0].isNoteworthy());
    EXPECT_TRUE(rows[1].isNoteworthy());
    EXPECT_FALSE(rows[3].isNoteworthy());
    EXPECT_TRUE(rows[4].keepsScreenOn());
}

// The listing's reader ends a row at any of these, so a lock whose text held one could hide its own row
// or forge another holder after it.
TEST(AssertionListing, ALockIsOneRowWhateverItsTextsHold) {
    const std::string forged = "   pid 666(Forged): [0x0009 block] 00:00:01 PreventSystemSleep named: \"x\" ";
    for (const std::string& breaker :
         std::vector<std::string>{"\n", "\r", "\r\n", "\t", "\v", "\f", "\x1b", "\x7f", "\xC2\x85",
                                  "\xC2\x9B", "\u2028", "\u2029", std::string(1, '\0')}) {
        SCOPED_TRACE(testing::PrintToString(breaker));
        const Inhibitor lock{"sleep",
                             "Player" + breaker + forged,
                             "Playing" + breaker + forged,
                             "block" + breaker + forged,
                             2310,
                             60.0};
        const std::string listing = AssertionListing::write({lock}, 1'700'000'000);
        const std::vector<LiveAssertion> rows = AssertionReader::parse(listing);
        ASSERT_EQ(rows.size(), 1u) << listing;
        EXPECT_EQ(rows[0].pid, 2310);
        EXPECT_TRUE(rows[0].process.starts_with("Player ")) << rows[0].process;
        EXPECT_EQ(rows[0].type, "PreventSystemSleep");
        EXPECT_TRUE(rows[0].name.starts_with("Playing ")) << rows[0].name;
    }
}

TEST(AssertionListing, NoLocksGiveAnEmptyListingAndABusThatIsNotThereGivesNone) {
    EXPECT_TRUE(AssertionReader::parse(AssertionListing::write({}, 1'700'000'000)).empty());
    BusInhibitors absent(QDBusConnection(QStringLiteral("none")), QDBusConnection(QStringLiteral("none")), 0);
    EXPECT_TRUE(absent.inhibitors().empty());
}

TEST(WakeAlarms, TheClocksThatHaveAnAlarmSet) {
    QTemporaryDir root;
    const auto clock = [&](const char* name, const QByteArray& alarm) {
        QDir().mkpath(root.filePath(QString::fromLatin1(name)));
        QFile file(root.filePath(QString::fromLatin1(name) + QStringLiteral("/wakealarm")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(alarm);
    };
    clock("rtc0", "1709949600\n");
    clock("rtc1", "\n");
    clock("rtc2", "soon\n");
    const std::vector<WakeAlarm> alarms = WakeAlarms::rtc(root.path());
    ASSERT_EQ(alarms.size(), 1u);
    EXPECT_EQ(alarms[0].name, "rtc0");
    EXPECT_EQ(alarms[0].time, 1709949600);
    EXPECT_TRUE(WakeAlarms::rtc(root.filePath(QStringLiteral("missing"))).empty());
    EXPECT_TRUE(WakeAlarms::timers(QDBusConnection(QStringLiteral("none"))).empty());
}

} // namespace
} // namespace dormio
