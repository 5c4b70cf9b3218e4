#include "Dormio/Core/Clock.h"
#include "Dormio/Core/DemoData.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/ReadThreads.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/System/AppLookup.h"
#include "DormioKit/Assertions.h"

#include <QFutureWatcher>
#include <QtConcurrent>
#include <algorithm>

namespace dormio {

// What a live read hands to the main thread: the rows with their identities, looked up in the one
// snapshot of the running applications that the read took.
struct LiveRead {
    std::vector<LiveRow> rows;
    std::optional<BatteryInfo> battery;
    std::shared_ptr<const RunningAppsSnapshot> running;
};

namespace {

constexpr std::size_t keptAwakeRowLimit = 8;

template <typename Keep> std::vector<LiveRow> rowsWhere(const std::vector<LiveRow>& rows, Keep keep) {
    std::vector<LiveRow> kept;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(kept),
                 [&](const LiveRow& row) { return keep(row.assertion); });
    return kept;
}

} // namespace

void Store::refreshNow() {
    if (demoState_.demo()) return;
    // Reads may overlap; numbering them keeps a slow old read from replacing a newer one.
    const uint64_t number = ++liveReadsStarted_;
    auto* watcher = new QFutureWatcher<LiveRead>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, number] {
        watcher->deleteLater();
        finishLiveRead(number, watcher->future().takeResult());
    });
    watcher->setFuture(QtConcurrent::run(
        &ReadThreads::pool(),
        [assertions = platform_.assertions, battery = platform_.battery, apps = platform_.apps,
         now = currentDate()] { return readLive(*assertions, *battery, *apps, now); }));
}

LiveRead Store::readLive(AssertionSource& source, BatterySource& battery, RunningAppsSource& apps, Date now) {
    std::vector<LiveAssertion> assertions = source.read(now);
    LiveRead read{{}, battery.read(), apps.snapshot()};
    read.rows.reserve(assertions.size());
    for (LiveAssertion& assertion : assertions) {
        const int32_t owner = assertion.ownerPID();
        AppIdentity identity = AppLookup::identity(*read.running, owner, assertion.process);
        read.rows.push_back(LiveRow{std::move(assertion), std::move(identity), apps.stamp(owner)});
    }
    return read;
}

void Store::finishLiveRead(uint64_t number, LiveRead read) {
    if (number < liveReadApplied_) return;
    liveReadApplied_ = number;
    running_ = std::move(read.running);
    setLive(std::move(read.rows));
    setBattery(std::move(read.battery));
    setLastLiveRead(currentDate());
}

const RunningAppsSnapshot& Store::running() const {
    if (!running_) running_ = platform_.apps->snapshot();
    return *running_;
}

std::vector<LiveRow> Store::noteworthy() const {
    return rowsWhere(live_, [](const LiveAssertion& a) { return a.isNoteworthy(); });
}

std::vector<LiveRow> Store::screenKeepers() const {
    return rowsWhere(live_, [](const LiveAssertion& a) { return a.keepsScreenOn(); });
}

std::vector<LiveRow> Store::otherLive() const {
    return rowsWhere(live_, [](const LiveAssertion& a) { return !a.isNoteworthy() && !a.keepsScreenOn(); });
}

std::vector<std::string> Store::holderNames() const {
    std::vector<std::string> names;
    for (const LiveRow& row : live_)
        if (row.assertion.isNoteworthy()) names.push_back(row.identity.name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<KeptAwakeRow> Store::keptAwakeRows(const Night& night) const {
    std::vector<KeptAwakeRow> rows;
    const std::size_t count = std::min(night.keptAwake.size(), keptAwakeRowLimit);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& process = night.keptAwake[i].process;
        std::optional<AppIdentity> sample = demoState_.demo() ? DemoData::identity(process) : std::nullopt;
        rows.push_back(
            KeptAwakeRow{night.keptAwake[i], sample ? *sample : AppLookup::identity(running(), process)});
    }
    return rows;
}

std::vector<EnergyShare> Store::energyShares(const Night& night) const {
    if (demoState_.demo()) {
        auto found = demoState_.demoEnergy().find(night.id);
        return found == demoState_.demoEnergy().end() ? std::vector<EnergyShare>{} : found->second;
    }
    return EnergyMath::shares(energy_->file(), night.start, night.end, night.lost(), sampleMinutes() * 60.0);
}

} // namespace dormio
