#include "Dormio/Core/EnergyRecorder.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/StoredFile.h"
#include "DormioKit/EnergyJson.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QtConcurrent>
#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

namespace dormio {

// One step of the history, made once on the main thread and replayed by the writer on its own copy, so
// that encoding and writing never wait on (or race with) the main thread's file.
struct EnergyRecorder::Change {
    std::map<std::string, EnergyAppInfo> newApps;
    bool clearSamples = false;
    std::optional<EnergySample> sample;
    std::optional<Date> pruneBefore;
    bool write = false;

    void applyTo(EnergyFile& file) const {
        for (const auto& [key, info] : newApps)
            file.apps.try_emplace(key, info);
        if (clearSamples) file.samples.clear();
        if (sample) file.samples.push_back(*sample);
        if (pruneBefore) file.prune(*pruneBefore);
    }
};

// Runs on the writer's one thread only.
struct EnergyRecorder::Writer {
    QString path;
    EnergyFile file;
    bool damaged = false; // the file on disk could not be read and must be set aside by the next write

    void write() {
        const std::optional<std::string> json = encodeEnergyFile(file);
        // The samples stay in memory either way; the next write stores them all.
        const auto failure =
            json ? StoredFile::write(path, *json, damaged)
                 : QStringLiteral("couldn’t encode the samples of “") + path + QStringLiteral("”");
        if (failure)
            qWarning("Dormio: %s", qUtf8Printable(*failure));
        else
            damaged = false;
    }
};

EnergyRecorder::EnergyRecorder(const QString& fileUrl, std::shared_ptr<EnergyProbe> probe, QObject* parent)
    : QObject(parent), url_(fileUrl), probe_(probe ? std::move(probe) : std::make_shared<ProcEnergyProbe>()),
      writer_(std::make_shared<Writer>()) {
    writerQueue_.setMaxThreadCount(1);
    writer_->path = url_;
    // The store lives until the process ends; a sample recorded just before quitting still reaches disk.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &EnergyRecorder::flush);

    const StoredFile::Contents stored = StoredFile::read(url_);
    if (stored.state == StoredFile::Contents::State::missing) return;
    const QByteArray& bytes = stored.bytes;
    std::optional<EnergyFile> decoded = decodeEnergyFile(std::string_view(bytes.constData(), bytes.size()));
    if (stored.damaged() || !decoded) {
        writer_->damaged = true;
        return;
    }
    file_ = std::move(*decoded);
    // The writer builds its own copy from the same bytes, off the main thread.
    writerQueue_.start([writer = writer_, bytes] {
        if (auto copy = decodeEnergyFile(std::string_view(bytes.constData(), bytes.size())))
            writer->file = std::move(*copy);
    });
}

EnergyRecorder::~EnergyRecorder() {
    flush();
}

void EnergyRecorder::start(int minutes) {
    if (!timer_) {
        timer_ = new QTimer(this);
        timer_->setTimerType(Qt::CoarseTimer);
        connect(timer_, &QTimer::timeout, this, &EnergyRecorder::sample);
    }
    timer_->stop();
    sample();
    // The timer counts whole milliseconds in an int; an interval beyond its reach waits as long as it can.
    const int64_t interval = int64_t(effectiveMinutes(minutes)) * 60'000;
    timer_->start(int(std::min<int64_t>(interval, std::numeric_limits<int>::max())));
}

void EnergyRecorder::stop() {
    if (timer_) timer_->stop();
}

bool EnergyRecorder::isRunning() const {
    return timer_ && timer_->isActive();
}

void EnergyRecorder::sample() {
    if (inFlight_) return;
    inFlight_ = true;
    auto* watcher = new QFutureWatcher<Collection>(this);
    connect(watcher, &QFutureWatcher<Collection>::finished, this, [this, watcher] {
        watcher->deleteLater();
        apply(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run([probe = probe_, previous = counters_, previousAbs = lastAbs_] {
        return collect(*probe, previous, previousAbs);
    }));
}

EnergyRecorder::Collection EnergyRecorder::collect(EnergyProbe& probe, const Readings& previous,
                                                   uint64_t previousAbs) {
    Collection result;
    result.abs = probe.absoluteTime();
    for (int32_t pid : probe.allPIDs()) {
        const std::optional<ProcessCounter> counter = probe.counters(pid);
        if (!counter) continue;
        std::string key;
        const auto known = previous.find(pid);
        if (known != previous.end() && known->second.counter.startAbs == counter->startAbs) {
            const ProcessCounter& before = known->second.counter;
            const double amount = EnergyMath::estimate(EnergyMath::delta(counter->energy, before.energy),
                                                       EnergyMath::delta(counter->cpu, before.cpu));
            if (amount > 0) result.deltas[known->second.key] += amount;
            key = known->second.key;
        } else {
            AppKey app = probe.appKey(pid);
            result.names.insert_or_assign(app.key, EnergyAppInfo{app.name, app.path});
            // Only a process born since the last collection is known to have used all of its counters
            // within this interval; an older one merely primes its reading.
            if (previousAbs != 0 && counter->startAbs > previousAbs) {
                const double amount = EnergyMath::estimate(counter->energy, counter->cpu);
                if (amount > 0) result.deltas[app.key] += amount;
            }
            key = std::move(app.key);
        }
        result.counters.insert_or_assign(pid, Reading{*counter, std::move(key)});
    }
    return result;
}

void EnergyRecorder::apply(Collection collection) {
    inFlight_ = false;
    const uint64_t previousAbs = lastAbs_;
    counters_ = std::move(collection.counters);
    lastAbs_ = collection.abs;

    Change change;
    for (auto& [key, info] : collection.names)
        if (!file_.apps.contains(key)) change.newApps.emplace(key, std::move(info));
    if (previousAbs != 0 && !collection.deltas.empty()) {
        const Date at = currentDate();
        change.sample = EnergySample{at, std::move(collection.deltas)};
        change.pruneBefore = at - keptSeconds;
        change.write = true;
    }
    if (change.write || !change.newApps.empty()) commit(std::move(change));
    emit sampleApplied();
}

void EnergyRecorder::clear() {
    Change change;
    change.clearSamples = true;
    change.write = true;
    commit(std::move(change));
    emit cleared();
}

void EnergyRecorder::commit(Change change) {
    change.applyTo(file_);
    writerQueue_.start([writer = writer_, change = std::move(change)] {
        change.applyTo(writer->file);
        if (change.write) writer->write();
    });
}

void EnergyRecorder::flush() {
    writerQueue_.waitForDone();
}

} // namespace dormio
