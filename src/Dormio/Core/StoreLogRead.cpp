#include "Dormio/Core/Clock.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/HistoryFile.h"
#include "Dormio/Core/ReadThreads.h"
#include "Dormio/Core/SleepWatcher.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/Toast.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"
#include "DormioKit/PowerLogParser.h"

#include <QFutureWatcher>
#include <QtConcurrent>
#include <algorithm>
#include <utility>

namespace dormio {

using PowerLogParser::RunOutcome;

// What a log read hands to the main thread: the merged nights and the number just built, or, when the log
// could not be read, the sentence that says so.
struct LogRead {
    std::optional<QString> failure;
    std::vector<Night> nights;
    std::size_t built = 0;
    // The nights shown when the read started, and whether `nights` are the same: comparing sixty busy
    // nights takes the main thread too long.
    std::shared_ptr<const std::vector<Night>> shown;
    bool sameAsShown = false;
};

namespace {

constexpr std::chrono::seconds liveInterval{30};

// Everything of a log read that can run off the main thread: reading and building, and the merge with the
// history file, which only log reads write and which runs one at a time. The history file is read while
// the log is: sixty busy nights take about as long to read as a busy week's log. The merged nights are
// compared here with the nights `shown` when the read started, which stay as they are while it runs.
LogRead readAndMerge(std::shared_ptr<PowerLogSource> source, NightWindow window, QString historyPath,
                     Date now, std::shared_ptr<const std::vector<Night>> shown) {
    QFuture<HistoryFile::Stored> history =
        QtConcurrent::task(&HistoryFile::read).withArguments(historyPath).withPriority(1).spawn();
    PowerLogParser::SystemLog system = source->read(now);
    HistoryFile::Stored stored = history.takeResult();
    // A log that could not be read says nothing about the nights: the history stays as it is.
    if (system.failed())
        return {system.failure.empty() ? QStringLiteral("Couldn’t read the power log.")
                                       : QString::fromStdString(system.failure)};
    std::vector<Night> fresh = NightBuilder::build(system.log, window, now, Calendar::current());
    const std::size_t built = fresh.size();
    const bool damaged = stored.damaged;
    HistoryFile::Merged merged = HistoryFile::merge(std::move(stored), std::move(fresh), system.log, now);
    // The nights stay shown; the next read writes them again.
    if (!merged.alreadyStored)
        if (const auto failure = HistoryFile::write(historyPath, merged.nights, damaged, merged.texts))
            qWarning("Dormio: %s", qUtf8Printable(*failure));
    const bool sameAsShown = merged.nights == *shown;
    return {std::nullopt, std::move(merged.nights), built, std::move(shown), sameAsShown};
}

} // namespace

void Store::start(bool sampleEnergy) {
    refreshLog();
    refreshNow();
    if (trackEnergy() && sampleEnergy) energy_->start(sampleMinutes());
    liveTimer_ = new ClockTimer(this);
    connect(liveTimer_, &ClockTimer::timeout, this, &Store::refreshNow);
    liveTimer_->start(liveInterval);
    sleepWatcher_ = new SleepWatcher(this);
    connect(sleepWatcher_, &SleepWatcher::woke, this, [this] {
        refreshLog();
        refreshNow();
    });
}

void Store::refresh(bool announce) {
    if (demoState_.demo()) {
        if (announce)
            toast_.show(
                QStringLiteral("Power log read · %1 nights").arg(static_cast<qulonglong>(nights().size())),
                ToastSymbols::done);
        return;
    }
    announceNext_ = announce;
    refreshLog();
    refreshNow();
}

void Store::refreshLog() {
    if (demoState_.demo()) return;
    if (loading_) {
        reloadPending_ = true;
        return;
    }
    setLoading(true);
    const NightWindow window{nightStartHour(), nightEndHour()};
    auto* watcher = new QFutureWatcher<LogRead>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        finishLogRead(watcher->future().takeResult());
    });
    // Ahead of live reads that wait for a thread.
    // The moment is taken here, on the main thread, so that one read sees one clock.
    watcher->setFuture(QtConcurrent::task(&readAndMerge)
                           .withArguments(platform_.log, window, historyURL_, currentDate(), nights_)
                           .onThreadPool(ReadThreads::pool())
                           .withPriority(1)
                           .spawn());
}

void Store::finishLogRead(LogRead read) {
    // Sample data put in place while the read ran stays: in demo mode log reads leave the nights alone.
    // The failure is set first, so that the pages that redraw on the read's end already say why it failed.
    if (!demoState_.demo()) {
        setLogFailure(read.failure);
        if (!read.failure) {
            // Nights set while the read ran (sample data) are compared with here.
            if (std::exchange(read.shown, nullptr) == nights_)
                replaceNights(std::move(read.nights), read.sameAsShown);
            else
                setNights(std::move(read.nights));
            const bool selectionKnown =
                selectedNightID_ && std::any_of(nights().begin(), nights().end(),
                                                [&](const Night& n) { return n.id == *selectedNightID_; });
            if (!selectionKnown) setSelectedNightID(defaultNightID());
        }
    }
    setLoading(false);
    setLoadedOnce(true);
    if (announceNext_) {
        announceNext_ = false;
        announce(read);
    }
    if (reloadPending_) {
        reloadPending_ = false;
        refreshLog();
    }
}

void Store::announce(const LogRead& read) {
    if (read.failure) {
        toast_.show(*read.failure, ToastSymbols::failed);
        return;
    }
    const QString noun = read.built == 1 ? QStringLiteral("night") : QStringLiteral("nights");
    toast_.show(QStringLiteral("Power log read · %1 %2").arg(static_cast<qulonglong>(read.built)).arg(noun),
                ToastSymbols::done);
}

} // namespace dormio
