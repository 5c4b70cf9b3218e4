#pragma once

// A machine of the test's making: a battery, running applications, a login item, a quit signal, energy
// counters, a power log and an assertion listing that answer what the test set and remember what they were
// asked.

#include "Dormio/Core/Platform.h"
#include "DormioKit/PowerLogParser.h"

#include <QHash>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace dormio::testing {

class FakeBattery final : public BatterySource {
public:
    std::optional<BatteryInfo> info;
    std::atomic<int> reads = 0;

    std::optional<BatteryInfo> read() override {
        ++reads;
        return info;
    }
};

class FakeApps final : public RunningAppsSource {
public:
    // What runs: the applications, and the executable of every process, those of the apps included.
    void run(const RunningApp& app) {
        const std::lock_guard lock(mutex_);
        apps_.push_back(app);
        if (app.executablePath) executables_.insert(app.pid, *app.executablePath);
    }
    void runProcess(int32_t pid, const QString& executable) {
        const std::lock_guard lock(mutex_);
        executables_.insert(pid, executable);
    }
    void end(int32_t pid) {
        const std::lock_guard lock(mutex_);
        std::erase_if(apps_, [&](const RunningApp& app) { return app.pid == pid; });
        executables_.remove(pid);
    }

    std::atomic<int> snapshots = 0;

    std::shared_ptr<const RunningAppsSnapshot> snapshot() override {
        ++snapshots;
        const std::lock_guard lock(mutex_);
        auto taken = std::make_shared<RunningAppsSnapshot>();
        taken->apps = apps_;
        std::sort(taken->apps.begin(), taken->apps.end(),
                  [](const RunningApp& a, const RunningApp& b) { return a.pid < b.pid; });
        taken->executables = executables_;
        taken->installed = std::make_shared<InstalledAppCatalog>();
        return taken;
    }
    std::optional<RunningApp> runningApp(int32_t pid) override {
        const std::lock_guard lock(mutex_);
        for (const RunningApp& app : apps_)
            if (app.pid == pid) return app;
        return std::nullopt;
    }
    std::optional<ProcessStamp> stamp(int32_t pid) override {
        const std::lock_guard lock(mutex_);
        for (const RunningApp& app : apps_)
            if (app.pid == pid && app.executablePath) return ProcessStamp{app.startTime, *app.executablePath};
        return std::nullopt;
    }

private:
    std::mutex mutex_;
    std::vector<RunningApp> apps_;
    QHash<int32_t, QString> executables_;
};

class FakeLoginItem final : public LoginItemService {
public:
    LoginItemStatus state = LoginItemStatus::notRegistered;
    // What the next registration turns the state into, and a refusal instead.
    LoginItemStatus afterRegistering = LoginItemStatus::enabled;
    std::optional<std::string> refusal;
    std::vector<bool> requests; // true to register, false to unregister

    LoginItemStatus status() override { return state; }
    std::optional<std::string> registerApp() override {
        requests.push_back(true);
        if (refusal) return refusal;
        state = afterRegistering;
        return std::nullopt;
    }
    std::optional<std::string> unregisterApp() override {
        requests.push_back(false);
        if (refusal) return refusal;
        state = LoginItemStatus::notRegistered;
        return std::nullopt;
    }
};

class FakeQuit final : public QuitSignal {
public:
    QuitRequest answer = QuitRequest::sent;
    std::vector<int32_t> asked;

    QuitRequest terminate(const RunningApp& app) override {
        asked.push_back(app.pid);
        return answer;
    }
};

// No processes at all: a store with it samples nothing of the machine.
class NoProcesses final : public EnergyProbe {
public:
    std::vector<int32_t> allPIDs() override { return {}; }
    std::optional<ProcessCounter> counters(int32_t) override { return std::nullopt; }
    AppKey appKey(int32_t pid) override { return {"pid-" + std::to_string(pid), {}, std::nullopt}; }
    uint64_t absoluteTime() override { return 0; }
};

// A power log that answers with the text and outcome the test set, and counts the moments it was read at.
class FakePowerLog final : public PowerLogSource {
public:
    void answer(std::string text,
                PowerLogParser::RunOutcome outcome = PowerLogParser::RunOutcome::completed) {
        const std::lock_guard lock(mutex_);
        text_ = std::move(text);
        outcome_ = outcome;
    }
    std::vector<Date> readAt() {
        const std::lock_guard lock(mutex_);
        return readAt_;
    }

    PowerLogParser::SystemLog read(Date now) override {
        const std::lock_guard lock(mutex_);
        readAt_.push_back(now);
        return {PowerLogParser::parse(text_), outcome_};
    }

private:
    std::mutex mutex_;
    std::string text_;
    PowerLogParser::RunOutcome outcome_ = PowerLogParser::RunOutcome::completed;
    std::vector<Date> readAt_;
};

// An assertion listing that answers the holders the test set.
class FakeAssertions final : public AssertionSource {
public:
    void answer(std::vector<LiveAssertion> held) {
        const std::lock_guard lock(mutex_);
        held_ = std::move(held);
    }
    std::vector<Date> readAt() {
        const std::lock_guard lock(mutex_);
        return readAt_;
    }

    std::vector<LiveAssertion> read(Date now) override {
        const std::lock_guard lock(mutex_);
        readAt_.push_back(now);
        return held_;
    }

private:
    std::mutex mutex_;
    std::vector<LiveAssertion> held_;
    std::vector<Date> readAt_;
};

struct FakePlatform {
    std::shared_ptr<FakeBattery> battery = std::make_shared<FakeBattery>();
    std::shared_ptr<FakeApps> apps = std::make_shared<FakeApps>();
    std::shared_ptr<FakeLoginItem> loginItem = std::make_shared<FakeLoginItem>();
    std::shared_ptr<FakeQuit> quit = std::make_shared<FakeQuit>();
    // None: the fixture files that the test's environment names, as the application would read them.
    std::shared_ptr<PowerLogSource> log;
    std::shared_ptr<AssertionSource> assertions;

    Platform platform() const {
        return {battery,
                apps,
                loginItem,
                quit,
                std::make_shared<NoProcesses>(),
                log ? log : LogSources::powerLog(),
                assertions ? assertions : LogSources::assertions()};
    }
};

// An application that an installed entry launches, as the running-applications layer reports it.
inline RunningApp userApp(int32_t pid, const QString& name, const QString& executable,
                          uint64_t startTime = 1000, ActivationPolicy policy = ActivationPolicy::regular) {
    RunningApp app;
    app.pid = pid;
    app.localizedName = name;
    app.executablePath = executable;
    app.policy = policy;
    app.startTime = startTime;
    return app;
}

} // namespace dormio::testing
