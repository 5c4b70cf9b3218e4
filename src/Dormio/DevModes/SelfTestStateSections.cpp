// Sections 6 to 10: the history file outliving the log and its 60 days, a damaged history file, the live
// holders and a quit of one that is gone, clearing the measured energy, and a log with nothing in it.

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "Dormio/DevModes/SelfTestSections.h"
#include "DormioKit/EnergyJson.h"
#include "DormioKit/NightJson.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <string>
#include <string_view>

namespace dormio::SelfTest {

namespace {

constexpr double day = 86400;
const std::string keptID = "2001-01-01"; // 20 days old: older than the log, younger than the history's limit
const std::string droppedID = "2000-01-01"; // 90 days old: past the limit

// Written in place, not atomically: the store must cope with whatever it finds.
void writePlain(const QString& path, std::string_view bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes.data(), qint64(bytes.size()));
}

Night copied(const Night& from, std::string id, Date start) {
    Night night = from;
    night.id = std::move(id);
    night.start = start;
    night.end = start + 8 * 3600;
    return night;
}

bool hasNight(const std::vector<Night>& nights, const std::string& id) {
    return std::any_of(nights.begin(), nights.end(), [&](const Night& night) { return night.id == id; });
}

QStringList processNames(const std::vector<LiveRow>& rows) {
    QStringList names;
    for (const LiveRow& row : rows)
        names << QString::fromStdString(row.assertion.process);
    return names;
}

// ["FakePlayer", "caffeinate"]
QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& name : names)
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    return QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace

void historyOutlivesTheLog(Run& run) {
    Store& store = run.store;
    Report& report = run.report;
    // Copies of the oldest night stand in for nights of earlier runs; without one, an empty record does.
    const Night model = run.oldest() ? *run.oldest() : Night{};
    const Date now = currentDate();
    std::vector<Night> history = {copied(model, droppedID, now - 90 * day),
                                  copied(model, keptID, now - 20 * day)};
    history.insert(history.end(), run.finished.begin(), run.finished.end());
    if (const auto json = encodeNights(history)) writePlain(store.historyURL(), *json);

    store.refreshLog();
    waitForRead(store);
    const std::vector<Night>& nights = store.nights();
    report.check(hasNight(nights, keptID),
                 QStringLiteral("a night older than the log is kept from nights.json"));
    report.check(!hasNight(nights, droppedID), QStringLiteral("nights past 60 days are dropped"));
    report.check(std::is_sorted(nights.begin(), nights.end(),
                                [](const Night& a, const Night& b) { return a.start < b.start; }),
                 QStringLiteral("nights stay in order"));
}

void damagedHistoryFile(Run& run) {
    Store& store = run.store;
    writePlain(store.historyURL(), "{not json");
    store.refreshLog();
    waitForRead(store);
    const auto finished = std::count_if(store.nights().begin(), store.nights().end(),
                                        [](const Night& night) { return !night.inProgress; });
    run.report.check(finished == 3, QStringLiteral("a corrupt nights.json is ignored and rebuilt"));
}

void rightNow(Run& run) {
    Store& store = run.store;
    Report& report = run.report;
    store.refreshNow();
    waitUntil(readTimeout, [&] { return !store.live().empty(); });

    const std::vector<LiveRow> noteworthy = store.noteworthy();
    const QStringList names = processNames(noteworthy);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end()); // by code point: capitals first
    report.check(sorted == QStringList{QStringLiteral("FakePlayer"), QStringLiteral("caffeinate")},
                 QStringLiteral("noteworthy holders: ") + quotedList(names));
    report.check(processNames(store.screenKeepers()) == QStringList{QStringLiteral("FakeBrowser")},
                 QStringLiteral("screen keepers"));
    const QStringList others = processNames(store.otherLive());
    report.check(
        std::all_of(others.begin(), others.end(), [](const QString& name) { return name == "powerd"; }),
        QStringLiteral("powerd is housekeeping"));

    const auto player = std::find_if(noteworthy.begin(), noteworthy.end(), [](const LiveRow& row) {
        return row.assertion.process == "FakePlayer";
    });
    if (player == noteworthy.end()) return;
    const int32_t pid = player->assertion.ownerPID();
    // The quit must reach no process: a pid that anything has now is left alone.
    if (run.pidInUse(pid)) {
        report.note(QStringLiteral("skipped quit: fixture pid %1 is in use on this Mac").arg(pid));
        return;
    }
    store.toast().clear();
    store.quit(*player);
    const auto& toast = store.toast().current();
    report.check(toast && toast->text.contains(QStringLiteral("already quit")),
                 QStringLiteral("quitting a holder that's gone is handled: ") + toastText(store));
}

void energyData(Run& run) {
    EnergyRecorder& energy = run.store.energy();
    energy.clear();
    // The recorder writes on a thread of its own.
    energy.flush();
    QFile file(energy.url());
    std::optional<EnergyFile> stored;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        stored = decodeEnergyFile(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    }
    run.report.check(stored && stored->samples.empty(),
                     QStringLiteral("Delete Measured Energy Data writes an empty file"));
    // Without a finished night there is no night to ask.
    const Night* oldest = run.oldest();
    run.report.check(oldest && run.store.energyShares(*oldest).empty(),
                     QStringLiteral("no shares without samples"));
}

void anEmptyLog(Run& run) {
    Store& store = run.store;
    writePlain(run.logFixture, {});
    QFile::remove(store.historyURL());
    store.refreshLog();
    waitForRead(store);
    run.report.check(store.nights().empty() && store.loadedOnce() && !store.selectedNight(),
                     QStringLiteral("no nights → the empty state, not a spinner"));
    run.report.check(store.menuSummary() == QStringLiteral("No nights recorded yet"),
                     QStringLiteral("menu bar says so"));
}

} // namespace dormio::SelfTest
