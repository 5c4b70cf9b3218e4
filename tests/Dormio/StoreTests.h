#pragma once

// A real Store in a home of its own: support folder, settings, log and assertion fixtures, with power-log
// lines written relative to the test's clock.

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/ReadThreads.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/System/LinuxPower.h"
#include "Dormio/Core/Toast.h"
#include "DormioKit/Date.h"
#include "DormioKit/Night.h"
#include "PowerLogLines.h"
#include "TestHome.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dormio::testing {

constexpr double hour = 3600;
constexpr double day = 86400;

// The start of the UTC day that holds `date`; the tests run with TZ=UTC.
inline Date startOfDay(Date date) {
    return Date::fromUnix(std::floor(date.unix() / day) * day);
}

// A line of the power log at `date` (whole seconds), with a duration column of "0 secs".
inline std::string logLine(Date date, std::string_view type, std::string_view message) {
    return LogLines::line(LogLines::date(static_cast<int64_t>(std::floor(date.unix()))), type, message,
                          "0 secs");
}

inline std::string wakeLine(Date date, int charge) {
    return logLine(date, "Wake",
                   "Wake from Deep Idle [CDNVA] : due to EC.LidOpen/Lid Open Using Batt (Charge:" +
                       std::to_string(charge) + "%)");
}

inline std::string sleepLine(Date date, int charge) {
    return logLine(date, "Sleep",
                   "Entering Sleep state due to 'Idle Sleep':TCPKeepAlive=active Using Batt (Charge:" +
                       std::to_string(charge) + "%)");
}

// The night before `morning` (the start of a day): up from 21:00, asleep at 23:30, a dark wake at 03:00,
// up again at 07:30.
inline std::string nightLines(Date morning) {
    return wakeLine(morning - 3 * hour, 90) +
           logLine(morning - 3 * hour, "Notification", "Display is turned on") +
           logLine(morning - 0.5 * hour, "Notification", "Display is turned off") +
           sleepLine(morning - 0.5 * hour, 88) +
           logLine(
               morning + 3 * hour, "DarkWake",
               "DarkWake from Deep Idle [CDNP] : due to NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance Using "
               "Batt (Charge:86%)") +
           sleepLine(morning + 3 * hour + 120, 86) + wakeLine(morning + 7.5 * hour, 84) +
           logLine(morning + 7.5 * hour, "Notification", "Display is turned on");
}

// A start-up two days ahead: the windows after the last night in the log then count as not covered, so the
// log yields exactly the nights written, whatever the time of day.
inline std::string futureStartUp() {
    return logLine(currentDate() + 2 * day, "Start", "Using AC (Charge:100%)");
}

// A log of the `count` nights whose mornings are the days before today, oldest first.
inline std::string recentNights(int count) {
    const Date today = startOfDay(currentDate());
    std::string text;
    for (int k = count; k >= 1; --k)
        text += nightLines(today - k * day);
    return text + futureStartUp();
}

// Runs the event loop until the condition holds or ten seconds have passed; says whether it holds. The
// deadline only matters on a machine under heavy load: the reads take milliseconds.
template <typename Condition> bool waitUntil(Condition condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition()) return true;
        QTest::qWait(5);
    }
    return false;
}

inline Night storedNight(std::string id, Date start, Date end) {
    Night night;
    night.id = std::move(id);
    night.start = start;
    night.end = end;
    night.segments = {Segment{start, end, PowerState::asleep}};
    return night;
}

inline void writeFile(const QString& path, std::string_view text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

inline std::string readFile(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        home.path("support");
        home.holdSettings();
        QSettings().clear();
        home.set("DORMIO_SUPPORT_DIR", supportDir());
        home.set("DORMIO_LOG_FIXTURE", path("power.log"));
        home.set("DORMIO_ASSERTIONS_FIXTURE", path("assertions.txt"));
    }

    void TearDown() override {
        if (store) waitForLogRead();
        ReadThreads::pool().waitForDone();
        QThreadPool::globalInstance()->waitForDone();
        store.reset();
        LinuxPower::machine() = {};
    }

    QString path(const QString& name) const { return home.filePath(name); }
    QString supportDir() const { return path("support"); }
    QString historyPath() const { return supportDir() + "/nights.json"; }

    Store& makeStore(Platform platform = Platform::system()) {
        store = std::make_unique<Store>(std::move(platform), toast);
        return *store;
    }

    // The store's toast: its words and symbol now, empty when none is shown.
    QString toastText() const { return toast.current() ? toast.current()->text : QString(); }
    QString toastSymbol() const { return toast.current() ? toast.current()->symbol : QString(); }

    void writeLog(std::string_view text) { writeFile(path("power.log"), text); }

    // A system log read from journal files none of which can be opened, as a user outside the journal's
    // groups meets them: a damaged file fails to open as a file kept from others does. Takes effect for the
    // stores made after it.
    void readUnreadableJournal() {
        QDir().mkpath(path("journal"));
        writeFile(path("journal/system.journal"), std::string(4096, 'x'));
        qunsetenv("DORMIO_LOG_FIXTURE");
        LinuxPower::machine() = {.journalFolder = path("journal").toStdString(),
                                 .upowerFolder = path("no-upower"),
                                 .rtcFolder = path("no-rtc"),
                                 .useBus = false};
    }

    // Runs the event loop until no log read is running, the pending one included.
    void waitForLogRead() {
        ASSERT_TRUE(waitUntil([&] { return !store->loading(); }));
    }

    void readLogOnce() {
        store->refreshLog();
        waitForLogRead();
    }

    TemporaryHome home;
    Toast toast;
    std::unique_ptr<Store> store;
};

} // namespace dormio::testing
