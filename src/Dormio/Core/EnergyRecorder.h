#pragma once

// Per-app energy, sampled every few minutes from the counters of every process and kept for 14 days in
// "energy.json". The recorder is the file's only writer; it lives on the main thread.

#include "Dormio/Core/System/EnergyProbe.h"
#include "DormioKit/Energy.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace dormio {

class EnergyRecorder : public QObject {
    Q_OBJECT
public:
    struct Reading {
        ProcessCounter counter;
        std::string key;
    };
    using Readings = std::unordered_map<int32_t, Reading>;

    // One pass over the processes.
    struct Collection {
        Readings counters;
        uint64_t abs = 0;
        std::map<std::string, double> deltas;       // millijoules per app key for this interval
        std::map<std::string, EnergyAppInfo> names; // apps met for the first time
    };

    static constexpr double keptSeconds = 1'209'600; // 14 days

    // Reads the file at `fileUrl` (a missing or damaged one counts as empty). Without a probe the
    // processes are read from /proc.
    explicit EnergyRecorder(const QString& fileUrl, std::shared_ptr<EnergyProbe> probe = {},
                            QObject* parent = nullptr);
    ~EnergyRecorder() override;

    const EnergyFile& file() const { return file_; }
    // Where the file is kept.
    const QString& url() const { return url_; }

    // The interval the timer really uses: at least one minute.
    static int effectiveMinutes(int minutes) { return minutes < 1 ? 1 : minutes; }

    // Samples at once, then every effectiveMinutes(minutes); a later call replaces the timer.
    void start(int minutes);
    void stop();
    bool isRunning() const;
    // Starts one collection off the main thread; a call while one runs is dropped.
    void sample();
    // Forgets the samples, keeps the app names, writes the file and says so.
    void clear();

    // Blocks until every write handed to the writer is on disk (or failed).
    void flush();

    // Off the main thread; touches nothing but the probe and its arguments.
    static Collection collect(EnergyProbe& probe, const Readings& previous, uint64_t previousAbs);

signals:
    // A collection's result has been applied (whether or not it recorded a sample).
    void sampleApplied();
    // The samples were forgotten: whatever shows energy shows it again.
    void cleared();

private:
    struct Writer;
    struct Change;

    void apply(Collection collection);
    void commit(Change change);

    QString url_;
    std::shared_ptr<EnergyProbe> probe_;
    EnergyFile file_;
    Readings counters_;
    uint64_t lastAbs_ = 0;
    bool inFlight_ = false;
    QTimer* timer_ = nullptr;
    std::shared_ptr<Writer> writer_;
    QThreadPool writerQueue_; // one thread: writes land in the order they were made
};

} // namespace dormio
