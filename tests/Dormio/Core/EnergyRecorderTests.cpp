#include "DamagedCopies.h"
#include "Dormio/Core/Clock.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Store.h"
#include "Dormio/Core/System/ProcessTable.h"
#include "DormioKit/EnergyJson.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <semaphore>
#include <sys/stat.h>

using namespace dormio;

namespace {

constexpr uint64_t ms = 1'000'000; // nanoseconds

struct ScriptedProcess {
    ProcessCounter counter;
    AppKey app;
    bool readable = true;
};

// Processes the test writes between collections; a collection may be held at its start.
class ScriptedProbe : public EnergyProbe {
public:
    std::map<int32_t, ScriptedProcess> processes;
    uint64_t now = 1000 * ms;
    std::atomic<int> listings = 0;
    std::atomic<int> keyLookups = 0;
    bool holdCollections = false;
    std::binary_semaphore resume{0};

    std::vector<int32_t> allPIDs() override {
        ++listings;
        if (holdCollections) resume.acquire();
        std::vector<int32_t> pids;
        for (const auto& [pid, process] : processes)
            pids.push_back(pid);
        return pids;
    }
    std::optional<ProcessCounter> counters(int32_t pid) override {
        const ScriptedProcess& process = processes.at(pid);
        if (!process.readable) return std::nullopt;
        return process.counter;
    }
    AppKey appKey(int32_t pid) override {
        ++keyLookups;
        return processes.at(pid).app;
    }
    uint64_t absoluteTime() override { return now; }
};

AppKey app(const std::string& path, const std::string& name) {
    return AppKey{path, name, path};
}

class EnergyRecorderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString url = dir.filePath("energy.json");
    ScriptedProbe* probe = nullptr;

    std::unique_ptr<EnergyRecorder> makeRecorder() {
        auto scripted = std::make_unique<ScriptedProbe>();
        probe = scripted.get();
        return std::make_unique<EnergyRecorder>(url, std::move(scripted));
    }

    static void sampleAndWait(EnergyRecorder& recorder) {
        QSignalSpy applied(&recorder, &EnergyRecorder::sampleApplied);
        recorder.sample();
        ASSERT_TRUE(applied.wait(5000));
        recorder.flush();
    }

    // Moves the clock on and lets the given processes use CPU time.
    void advance(std::initializer_list<std::pair<int32_t, uint64_t>> cpu) {
        probe->now += 300'000 * ms;
        for (auto [pid, used] : cpu)
            probe->processes.at(pid).counter.cpu += used;
    }

    std::optional<EnergyFile> onDisk() const {
        QFile file(url);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        const QByteArray bytes = file.readAll();
        return decodeEnergyFile(std::string_view(bytes.constData(), size_t(bytes.size())));
    }

    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

TEST_F(EnergyRecorderTest, TheFirstCollectionOnlyPrimesAndLearnsNames) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{5'000 * ms, 900 * ms, 10 * ms}, app("/usr/bin/music", "music")};
    sampleAndWait(*recorder);

    EXPECT_TRUE(recorder->file().samples.empty());
    EXPECT_EQ(recorder->file().apps.at("/usr/bin/music"), (EnergyAppInfo{"music", "/usr/bin/music"}));
    EXPECT_FALSE(QFile::exists(url));
}

TEST_F(EnergyRecorderTest, GrowthOfKnownProcessesIsRecordedPerApp) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 100 * ms, 10 * ms}, app("/usr/lib/firefox/firefox", "firefox")};
    probe->processes[11] = {{0, 100 * ms, 10 * ms}, app("/usr/lib/firefox/firefox", "firefox")};
    probe->processes[12] = {{0, 100 * ms, 10 * ms}, app("/usr/bin/idle", "idle")};
    sampleAndWait(*recorder);
    const int lookups = probe->keyLookups;

    advance({{10, 20 * ms}, {11, 5 * ms}});
    probe->processes[12].counter.cpu -= 50 * ms; // a counter that went backwards counts as no use
    sampleAndWait(*recorder);

    ASSERT_EQ(recorder->file().samples.size(), 1u);
    const auto& amounts = recorder->file().samples[0].apps;
    EXPECT_EQ(amounts.size(), 1u);                                  // only positive amounts are kept
    EXPECT_DOUBLE_EQ(amounts.at("/usr/lib/firefox/firefox"), 10.0); // (20 + 5) ms of CPU at 0.4 W
    EXPECT_EQ(probe->keyLookups, lookups);                          // known processes keep their key
    EXPECT_EQ(onDisk(), recorder->file());
}

TEST_F(EnergyRecorderTest, BilledEnergyWinsOverTheCpuFloorWhenLarger) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    probe->processes[10].counter.energy += 50 * ms; // 50 mJ in nanojoules
    probe->processes[10].counter.cpu += 1 * ms;
    sampleAndWait(*recorder);
    ASSERT_EQ(recorder->file().samples.size(), 1u);
    EXPECT_DOUBLE_EQ(recorder->file().samples[0].apps.at("/usr/bin/a"), 50.0);
}

TEST_F(EnergyRecorderTest, ProcessesBornSinceTheLastCollectionCountTheirWholeLife) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/old", "old")};
    sampleAndWait(*recorder);
    const uint64_t firstCollection = probe->now;

    advance({});
    probe->processes[20] = {{0, 30 * ms, firstCollection + 1}, app("/usr/bin/new", "new")};
    // Running at the first collection but unreadable then: it only primes now.
    probe->processes[21] = {{0, 500 * ms, firstCollection - 1}, app("/usr/bin/late", "late")};
    sampleAndWait(*recorder);

    ASSERT_EQ(recorder->file().samples.size(), 1u);
    const auto& amounts = recorder->file().samples[0].apps;
    EXPECT_DOUBLE_EQ(amounts.at("/usr/bin/new"), 12.0);
    EXPECT_FALSE(amounts.contains("/usr/bin/late"));
    EXPECT_TRUE(recorder->file().apps.contains("/usr/bin/late"));

    advance({{21, 10 * ms}});
    sampleAndWait(*recorder);
    ASSERT_EQ(recorder->file().samples.size(), 2u);
    EXPECT_DOUBLE_EQ(recorder->file().samples[1].apps.at("/usr/bin/late"), 4.0);
}

TEST_F(EnergyRecorderTest, AProcessSkippedOnceIsPrimedAgainWhenReadable) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    probe->processes[10].readable = false;
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);
    probe->processes[10].readable = true;
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder); // not in the previous readings and born before them: primes only
    EXPECT_TRUE(recorder->file().samples.empty());
}

TEST_F(EnergyRecorderTest, AReusedPidIsANewProcess) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/first", "first")};
    sampleAndWait(*recorder);
    const uint64_t firstCollection = probe->now;

    advance({});
    probe->processes[10] = {{0, 5 * ms, firstCollection + 7}, app("/usr/bin/second", "second")};
    const int lookups = probe->keyLookups;
    sampleAndWait(*recorder);

    EXPECT_EQ(probe->keyLookups, lookups + 1);
    ASSERT_EQ(recorder->file().samples.size(), 1u);
    EXPECT_EQ(recorder->file().samples[0].apps, (std::map<std::string, double>{{"/usr/bin/second", 2.0}}));
}

TEST_F(EnergyRecorderTest, AnAppKeepsTheNameItWasFirstSeenUnder) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/opt/tool", "Tool")};
    sampleAndWait(*recorder);
    const uint64_t firstCollection = probe->now;
    advance({});
    probe->processes[11] = {{0, 5 * ms, firstCollection + 1}, AppKey{"/opt/tool", "Renamed", std::nullopt}};
    sampleAndWait(*recorder);
    EXPECT_EQ(recorder->file().apps.at("/opt/tool"), (EnergyAppInfo{"Tool", "/opt/tool"}));
}

TEST_F(EnergyRecorderTest, NothingUsedRecordsNothing) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    advance({});
    sampleAndWait(*recorder);
    EXPECT_TRUE(recorder->file().samples.empty());
    EXPECT_FALSE(QFile::exists(url));
}

TEST_F(EnergyRecorderTest, TicksDuringACollectionAreDropped) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    probe->holdCollections = true;
    QSignalSpy applied(recorder.get(), &EnergyRecorder::sampleApplied);
    recorder->sample();
    recorder->sample();
    recorder->sample();
    probe->resume.release();
    ASSERT_TRUE(applied.wait(5000));
    QTest::qWait(50);
    EXPECT_EQ(probe->listings, 1);
    EXPECT_EQ(applied.count(), 1);

    // Once the result is in, the next tick collects again.
    recorder->sample();
    probe->resume.release();
    ASSERT_TRUE(applied.wait(5000));
    EXPECT_EQ(probe->listings, 2);
}

TEST_F(EnergyRecorderTest, TheTimerSamplesAtLeastEveryMinute) {
    struct Case {
        int minutes;
        int intervalMs;
    };
    for (Case c : {Case{0, 60'000}, Case{-3, 60'000}, Case{1, 60'000}, Case{5, 300'000}, Case{10, 600'000}}) {
        SCOPED_TRACE(c.minutes);
        auto recorder = makeRecorder();
        QSignalSpy applied(recorder.get(), &EnergyRecorder::sampleApplied);
        recorder->start(c.minutes);
        EXPECT_TRUE(recorder->isRunning());
        EXPECT_EQ(EnergyRecorder::effectiveMinutes(c.minutes) * 60'000, c.intervalMs);
        auto* timer = recorder->findChild<QTimer*>();
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), c.intervalMs);
        EXPECT_TRUE(applied.wait(5000)); // a sample at once
        recorder->stop();
        EXPECT_FALSE(recorder->isRunning());
    }
}

TEST_F(EnergyRecorderTest, AnIntervalBeyondTheTimersReachWaitsAsLongAsItCan) {
    auto recorder = makeRecorder();
    recorder->start(std::numeric_limits<int>::max());
    auto* timer = recorder->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), std::numeric_limits<int>::max());
    EXPECT_TRUE(recorder->isRunning());
}

TEST_F(EnergyRecorderTest, RestartingTheTimerDoesNotPrimeAgain) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    QSignalSpy applied(recorder.get(), &EnergyRecorder::sampleApplied);
    recorder->start(5);
    ASSERT_TRUE(applied.wait(5000));
    advance({{10, 10 * ms}});
    recorder->start(10);
    ASSERT_TRUE(applied.wait(5000));
    recorder->flush();
    EXPECT_EQ(recorder->file().samples.size(), 1u);
}

TEST_F(EnergyRecorderTest, SamplesOlderThanFourteenDaysGoAtTheNextRecordedSample) {
    const Date now = currentDate();
    EnergyFile stored;
    stored.samples = {EnergySample{now - 15 * 86'400.0, {{"/usr/bin/gone", 1}}},
                      EnergySample{now - 13 * 86'400.0, {{"/usr/bin/kept", 2}}}};
    stored.apps = {{"/usr/bin/gone", EnergyAppInfo{"gone", "/usr/bin/gone"}}};
    writeFile(url, QByteArray::fromStdString(*encodeEnergyFile(stored)));

    auto recorder = makeRecorder();
    EXPECT_EQ(recorder->file(), stored);
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    EXPECT_EQ(recorder->file().samples.size(), 2u); // priming prunes nothing

    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);
    const EnergyFile& file = recorder->file();
    ASSERT_EQ(file.samples.size(), 2u);
    EXPECT_EQ(file.samples[0].apps.count("/usr/bin/kept"), 1u);
    EXPECT_EQ(file.samples[1].apps.count("/usr/bin/a"), 1u);
    EXPECT_TRUE(file.apps.contains("/usr/bin/gone")); // app names are never pruned
    EXPECT_EQ(onDisk(), file);
}

TEST_F(EnergyRecorderTest, ClearKeepsTheAppNames) {
    auto recorder = makeRecorder();
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);
    ASSERT_EQ(recorder->file().samples.size(), 1u);

    recorder->clear();
    recorder->flush();
    EXPECT_TRUE(recorder->file().samples.empty());
    EXPECT_EQ(recorder->file().apps.size(), 1u);
    EXPECT_EQ(onDisk(), recorder->file());

    // The readings stay, so the next sample covers the time since the last collection.
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);
    EXPECT_EQ(recorder->file().samples.size(), 1u);
}

TEST_F(EnergyRecorderTest, ADamagedFileIsMovedAsideBeforeItIsReplaced) {
    writeFile(url + ".damaged", "a copy an earlier version kept aside");
    writeFile(url, R"({"samples":[]})"); // no "apps": the whole document is unreadable

    auto recorder = makeRecorder();
    EXPECT_EQ(recorder->file(), EnergyFile{});
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);

    const QStringList copies = dormio::testing::damagedCopies(url);
    ASSERT_EQ(copies.size(), 1);
    QFile kept(copies[0]);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), R"({"samples":[]})");
    EXPECT_EQ(onDisk(), recorder->file());
    // The earlier copy and the new one aside, no temporary files.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    QFile earlier(url + ".damaged");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "a copy an earlier version kept aside");

    // Later writes leave the copy alone.
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);
    ASSERT_TRUE(kept.seek(0));
    EXPECT_EQ(kept.readAll(), R"({"samples":[]})");
}

TEST_F(EnergyRecorderTest, ASecondDamagedFileKeepsTheFirstCopy) {
    for (const QByteArray& damage : {QByteArray("{damaged once"), QByteArray("{damaged twice")}) {
        writeFile(url, damage);
        auto recorder = makeRecorder();
        probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
        sampleAndWait(*recorder);
        advance({{10, 10 * ms}});
        sampleAndWait(*recorder);
        EXPECT_EQ(onDisk(), recorder->file());
    }
    const QStringList copies = dormio::testing::damagedCopies(url);
    ASSERT_EQ(copies.size(), 2);
    for (const auto& [copy, damage] :
         {std::pair{copies[0], "{damaged once"}, {copies[1], "{damaged twice"}}) {
        QFile kept(copy);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), damage);
    }
}

TEST_F(EnergyRecorderTest, AFileThatIsNoRegularFileIsDamagedAndNotWaitedOn) {
    ASSERT_EQ(mkfifo(url.toUtf8().constData(), 0600), 0);
    auto recorder = makeRecorder(); // reading the pipe would wait for a writer for ever
    EXPECT_EQ(recorder->file(), EnergyFile{});
    probe->processes[10] = {{0, 0, 10 * ms}, app("/usr/bin/a", "a")};
    sampleAndWait(*recorder);
    advance({{10, 10 * ms}});
    sampleAndWait(*recorder);

    EXPECT_EQ(onDisk(), recorder->file());
    const QStringList copies = dormio::testing::damagedCopies(url);
    ASSERT_EQ(copies.size(), 1);
    struct stat aside {};
    ASSERT_EQ(stat(copies[0].toUtf8().constData(), &aside), 0);
    EXPECT_TRUE(S_ISFIFO(aside.st_mode)) << "the pipe is kept aside";
}

TEST(EnergyRecorderOnProc, ABusyChildIsMeasured) {
    QTemporaryDir dir;
    QProcess busy;
    busy.start("/bin/sh", {"-c", "while :; do :; done"});
    ASSERT_TRUE(busy.waitForStarted());
    const std::string key = ProcEnergyProbe().appKey(int32_t(busy.processId())).key;

    EnergyRecorder recorder(dir.filePath("energy.json"));
    QSignalSpy applied(&recorder, &EnergyRecorder::sampleApplied);
    recorder.sample();
    ASSERT_TRUE(applied.wait(5000));
    // However busy the machine, the child gets its 100 ms of CPU time before the next collection.
    const auto cpu = [&] {
        return ProcessTable::stat(int32_t(busy.processId())).value_or(ProcessTable::Stat{}).cpuTicks;
    };
    const uint64_t before = cpu();
    QElapsedTimer spinning;
    spinning.start();
    while (ProcessTable::ticksToNanoseconds(cpu() - before) < 100 * ms && spinning.elapsed() < 10'000)
        QThread::msleep(20);
    recorder.sample();
    ASSERT_TRUE(applied.wait(5000));
    recorder.flush();
    busy.kill();
    busy.waitForFinished();

    ASSERT_EQ(recorder.file().samples.size(), 1u);
    const auto& amounts = recorder.file().samples[0].apps;
    ASSERT_TRUE(amounts.contains(key)) << key;
    EXPECT_GE(amounts.at(key), 0.4 * 100); // at least the 100 ms spent spinning
    EXPECT_TRUE(QFile::exists(dir.filePath("energy.json")));
}

} // namespace

#include "StoreTests.h"

namespace dormio {
namespace {

using StoreEnergy = testing::StoreTest;

// A sample taken after the night's end covers its last minutes: a night takes in samples up to one
// sampling interval after its end.
TEST_F(StoreEnergy, ANightTakesInSamplesUpToOneIntervalAfterItsEnd) {
    const Date end = currentDate() - 3600;
    const Night night = testing::storedNight("2026-01-01", end - 8 * 3600, end);
    EnergyFile file;
    file.samples = {EnergySample{end + 150, {{"/usr/bin/late", 5}}}};
    testing::writeFile(supportDir() + "/energy.json", *encodeEnergyFile(file));
    for (const auto& [minutes, takenIn] : {std::pair{2, false}, {5, true}, {10, true}}) {
        SCOPED_TRACE(minutes);
        QSettings().setValue("sampleMinutes", minutes);
        Store& store = makeStore();
        const std::vector<EnergyShare> shares = store.energyShares(night);
        ASSERT_EQ(shares.size(), takenIn ? 1u : 0u);
        if (takenIn) {
            EXPECT_EQ(shares[0].key, "/usr/bin/late");
        }
    }
}

} // namespace
} // namespace dormio
