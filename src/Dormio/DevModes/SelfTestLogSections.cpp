// Sections 1 to 5: the road from the power log to the nights shown, the history file it leaves, stepping
// between the nights, a settings change in the middle of a read, and the refresh's toast.

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Settings.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/DevModes/SelfTestSections.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/NightJson.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace dormio::SelfTest {

namespace {

// A finished night is "Last Night" for this long after its end.
constexpr double lastNightSeconds = 72000;
constexpr int movedStartHour = 22;

std::optional<std::string> idOf(const Night* night) {
    if (!night) return std::nullopt;
    return night->id;
}

// The hour of the day on the user's wall clock.
int wallHour(Date date) {
    constexpr int64_t day = 86400;
    const int64_t wall = int64_t(std::floor(date.unix())) + Calendar::current().offsetSeconds(date);
    return int((wall % day + day) % day / 3600);
}

// The window change has reached the nights once the newest starts at the hour.
void waitForWindow(Store& store, int hour) {
    waitUntil(windowTimeout,
              [&] { return !store.nights().empty() && wallHour(store.nights().back().start) == hour; });
}

std::vector<Night> readHistory(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return decodeNights(std::string_view(bytes.constData(), std::size_t(bytes.size())))
        .value_or(std::vector<Night>{});
}

} // namespace

void waitForRead(Store& store) {
    waitUntil(readTimeout, [&] { return !store.loading(); });
}

QString toastText(const Store& store) {
    const auto& current = store.toast().current();
    return current ? current->text : QStringLiteral("none");
}

void loadTheLog(Run& run) {
    Store& store = run.store;
    Report& report = run.report;
    store.start(false);
    report.check(store.loading() || store.loadedOnce(), QStringLiteral("a read starts on launch"));
    waitUntil(readTimeout, [&] { return store.loadedOnce() && !store.loading(); });

    for (const Night& night : store.nights())
        if (!night.inProgress) run.finished.push_back(night);
    const std::vector<Night>& finished = run.finished;
    report.check(finished.size() == 3,
                 QStringLiteral("three finished nights from the fixture (got %1)").arg(finished.size()));

    const Night* newest = run.newest();
    report.check(store.selectedNightID() == idOf(newest),
                 QStringLiteral("opens on the most recent finished night"));
    if (newest) {
        const QString title = store.title(*newest);
        const bool recent = currentDate() - newest->end < lastNightSeconds;
        report.check(recent ? title == QStringLiteral("Last Night")
                            : title.endsWith(QStringLiteral(" night")),
                     QStringLiteral("titled ") + title);
    }
    report.check(
        std::all_of(finished.begin(), finished.end(), [](const Night& n) { return n.darkWakeCount() == 2; }),
        QStringLiteral("two dark wakes a night"));
    report.check(newest && !newest->keptAwake.empty() && newest->keptAwake.front().process == "FakePlayer",
                 QStringLiteral("the fixture app is what kept it up"));
    report.check(std::equal(finished.begin(), finished.end(), run.mornings.begin(), run.mornings.end(),
                            [](const Night& night, Date morning) { return night.end == morning; }),
                 QStringLiteral("nights end on the fixture mornings"));
}

void historyOnDisk(Run& run) {
    const std::vector<Night> stored = readHistory(run.store.historyURL());
    const bool onlyFinished =
        std::none_of(stored.begin(), stored.end(), [](const Night& night) { return night.inProgress; });
    run.report.check(stored.size() == run.finished.size() && onlyFinished,
                     QStringLiteral("nights.json holds only finished nights (%1)").arg(stored.size()));
}

void steppingBetweenNights(Run& run) {
    Store& store = run.store;
    Report& report = run.report;
    const std::optional<std::string> start = store.selectedNightID();
    const bool lastInProgress = !store.nights().empty() && store.nights().back().inProgress;
    // A night in progress after the newest finished one is a place to step forward to.
    report.check((store.canStep(-1) && !store.canStep(1)) || lastInProgress,
                 QStringLiteral("can go back, not forward past the newest"));

    store.step(-1);
    const std::size_t count = run.finished.size();
    report.check(store.selectedNightID() == idOf(count >= 2 ? &run.finished[count - 2] : nullptr),
                 QStringLiteral("⌘[ goes to the night before"));
    store.step(1);
    report.check(store.selectedNightID() == start, QStringLiteral("⌘] comes back"));

    // From the History page, as a click on the oldest night's row there does; without nights there is no
    // row to click.
    store.go(Page::history);
    const Night* oldest = run.oldest();
    if (oldest) store.open(*oldest);
    report.check(oldest && store.page() == Page::night && store.selectedNightID() == oldest->id,
                 QStringLiteral("clicking an actogram row opens that night"));
}

void settingsChangeDuringARead(Run& run) {
    Store& store = run.store;
    store.refreshLog();
    run.report.check(store.loading(), QStringLiteral("a second read is running"));
    // The store must remember the read this asks for and run it, with the new hour, after the running one.
    store.setNightStartHour(movedStartHour);
    waitForRead(store);
    waitForWindow(store, movedStartHour);

    QStringList hours;
    bool moved = true;
    for (std::size_t i = 0; i < store.nights().size(); ++i) {
        const int hour = wallHour(store.nights()[i].start);
        hours << QString::number(hour);
        // The oldest may come from the history file, read with the earlier window.
        if (i > 0 && hour != movedStartHour) moved = false;
    }
    run.report.check(moved,
                     QStringLiteral("the window change wasn't dropped: nights now start at 22:00 (hours [") +
                         hours.join(QStringLiteral(", ")) +
                         QStringLiteral("], setting %1)").arg(store.nightStartHour()));

    const int startHour = Settings::nightStartHour.defaultValue();
    store.setNightStartHour(startHour);
    waitForRead(store);
    waitForWindow(store, startHour);
}

void refreshAnnounces(Run& run) {
    Toast& toast = run.store.toast();
    toast.clear();
    run.store.refresh(true);
    run.report.check(!toast.current(), QStringLiteral("no premature ‘refreshed’ toast"));
    waitUntil(readTimeout, [&] { return toast.current().has_value(); });
    run.report.check(toast.current() && toast.current()->text.startsWith(QStringLiteral("Power log read")),
                     QStringLiteral("toast after the read: ") + toastText(run.store));
}

} // namespace dormio::SelfTest
