#pragma once

// The application's one stateful object: what the windows show, the user's night-window and energy
// settings, the fields the sample data and the developer modes set, and the bookkeeping of log reads.
// It lives on the main thread; slow reads run on the thread pool and only the main thread assigns results.

#include "Dormio/Core/DemoState.h"
#include "Dormio/Core/LiveRow.h"
#include "Dormio/Core/Page.h"
#include "Dormio/Core/Platform.h"
#include "Dormio/Core/System/BatteryInfo.h"
#include "Dormio/Core/System/RunningApps.h"
#include "DormioKit/Date.h"
#include "DormioKit/Energy.h"
#include "DormioKit/Night.h"
#include "DormioKit/ProcessRunner.h"

#include <QObject>
#include <QSettings>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dormio {

class ClockTimer;
class EnergyRecorder;
class SleepWatcher;
class Toast;
struct LogRead;
struct LiveRead;

class Store final : public QObject {
    Q_OBJECT
    Q_PROPERTY(dormio::Page page READ page WRITE setPage NOTIFY pageChanged)
    Q_PROPERTY(std::vector<dormio::Night> nights READ nights WRITE setNights NOTIFY nightsChanged)
    Q_PROPERTY(std::optional<std::string> selectedNightID READ selectedNightID WRITE setSelectedNightID NOTIFY
                   selectedNightIDChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(bool loadedOnce READ loadedOnce WRITE setLoadedOnce NOTIFY loadedOnceChanged)
    Q_PROPERTY(std::optional<QString> logFailure READ logFailure NOTIFY logFailureChanged)
    Q_PROPERTY(std::vector<dormio::LiveRow> live READ live WRITE setLive NOTIFY liveChanged)
    Q_PROPERTY(std::optional<dormio::BatteryInfo> battery READ battery WRITE setBattery NOTIFY batteryChanged)
    Q_PROPERTY(std::optional<dormio::Date> lastLiveRead READ lastLiveRead NOTIFY lastLiveReadChanged)
    Q_PROPERTY(bool showWelcome READ showWelcome WRITE setShowWelcome NOTIFY showWelcomeChanged)
    Q_PROPERTY(bool loginItemEnabled READ loginItemEnabled NOTIFY loginItemEnabledChanged)
    Q_PROPERTY(std::optional<QString> loginItemMessage READ loginItemMessage NOTIFY loginItemMessageChanged)
    Q_PROPERTY(int nightStartHour READ nightStartHour WRITE setNightStartHour NOTIFY nightStartHourChanged)
    Q_PROPERTY(int nightEndHour READ nightEndHour WRITE setNightEndHour NOTIFY nightEndHourChanged)
    Q_PROPERTY(int sampleMinutes READ sampleMinutes WRITE setSampleMinutes NOTIFY sampleMinutesChanged)
    Q_PROPERTY(bool trackEnergy READ trackEnergy WRITE setTrackEnergy NOTIFY trackEnergyChanged)
    Q_PROPERTY(bool showMenuBar READ showMenuBar WRITE setShowMenuBar NOTIFY showMenuBarChanged)
    Q_PROPERTY(bool welcomeDone READ welcomeDone WRITE setWelcomeDone NOTIFY welcomeDoneChanged)

public:
    // The application's instance, made on first use and kept for the life of the process.
    static Store& shared();

    // The machine is read through `platform`: the Linux layers, or fakes. What the store has to say goes to
    // `toast`, where the windows show it.
    Store(Platform platform, Toast& toast, QObject* parent = nullptr);
    // The machine as the store reads it: the self-test asks it, as a quit does, whether a pid is an app.
    const Platform& platform() const { return platform_; }
    ~Store() override;

    // The one transient message, which the store, the pages and the windows share.
    Toast& toast() const { return toast_; }

    // The support folder, evaluated and created afresh on every call.
    static QString supportDir();
    // "nights.json" in the support folder as it was when the store was made.
    const QString& historyURL() const { return historyURL_; }

    // Published state.
    Page page() const { return page_; }
    void setPage(Page page);
    const std::vector<Night>& nights() const { return *nights_; }
    void setNights(std::vector<Night> nights);
    const std::optional<std::string>& selectedNightID() const { return selectedNightID_; }
    void setSelectedNightID(std::optional<std::string> id);
    bool loading() const { return loading_; }
    bool loadedOnce() const { return loadedOnce_; }
    void setLoadedOnce(bool loadedOnce);
    // Why the last log read gave nothing, as a sentence for the user; none once a read succeeds.
    const std::optional<QString>& logFailure() const { return logFailure_; }
    const std::vector<LiveRow>& live() const { return live_; }
    void setLive(std::vector<LiveRow> live);
    const std::optional<BatteryInfo>& battery() const { return battery_; }
    void setBattery(std::optional<BatteryInfo> battery);
    std::optional<Date> lastLiveRead() const { return lastLiveRead_; }
    bool showWelcome() const { return showWelcome_; }
    void setShowWelcome(bool show);
    bool loginItemEnabled() const { return loginItemEnabled_; }
    const std::optional<QString>& loginItemMessage() const { return loginItemMessage_; }

    // The fields the sample data and the developer modes set; with `demo` on, the store shows sample
    // data and reads nothing.
    DemoState& demoState() { return demoState_; }
    const DemoState& demoState() const { return demoState_; }

    // Settings, kept in the user's settings file under the property names (declared in Settings.h, with the
    // values each may take: a stored value that is not one reads as the default). Every assignment reacts,
    // also one of the value already held: the night hours start a log read, the energy settings start or
    // stop sampling.
    int nightStartHour() const;
    void setNightStartHour(int hour);
    int nightEndHour() const;
    void setNightEndHour(int hour);
    int sampleMinutes() const;
    void setSampleMinutes(int minutes);
    bool trackEnergy() const;
    void setTrackEnergy(bool on);
    bool showMenuBar() const;
    void setShowMenuBar(bool show);
    bool welcomeDone() const;
    void setWelcomeDone(bool done);

    EnergyRecorder& energy() const { return *energy_; }

    // Navigation and titles.
    // The selected night, else the last one; null without nights. Valid until `nights` changes.
    const Night* selectedNight() const;
    // The last night not in progress, else the last night.
    std::optional<std::string> defaultNightID() const;
    bool canStep(int offset) const;
    void step(int offset);
    void go(Page page) { setPage(page); }
    void open(const Night& night);
    QString title(const Night& night) const;
    QString menuSummary() const;

    // Log reads: at most one runs, and one more is remembered.
    void start(bool sampleEnergy);
    void refresh(bool announce);
    void refreshLog();

    // Live reads: every call starts one; a read that finishes after a newer one was applied is dropped.
    void refreshNow();
    std::vector<LiveRow> noteworthy() const;
    std::vector<LiveRow> screenKeepers() const;
    std::vector<LiveRow> otherLive() const;
    // The distinct names of the noteworthy holders, sorted.
    std::vector<std::string> holderNames() const;
    std::vector<KeptAwakeRow> keptAwakeRows(const Night& night) const;
    std::vector<EnergyShare> energyShares(const Night& night) const;

    // Asking holders to quit, and the login item.
    void quit(const LiveRow& row);
    void quit(const KeptAwakeRow& row);
    // The running user application a kept-awake row stands for, among those of the last live read.
    std::optional<RunningApp> runningApp(const KeptAwakeRow& row) const;
    void setLoginItem(bool on);

signals:
    void pageChanged();
    void nightsChanged();
    void selectedNightIDChanged();
    void loadingChanged();
    void loadedOnceChanged();
    void logFailureChanged();
    void liveChanged();
    void batteryChanged();
    void lastLiveReadChanged();
    void showWelcomeChanged();
    void loginItemEnabledChanged();
    void loginItemMessageChanged();
    void nightStartHourChanged();
    void nightEndHourChanged();
    void sampleMinutesChanged();
    void trackEnergyChanged();
    void showMenuBarChanged();
    void welcomeDoneChanged();

private:
    void setLoading(bool loading);
    void setLogFailure(std::optional<QString> failure);
    void setLastLiveRead(std::optional<Date> date);
    void setLoginItemEnabled(bool enabled);
    void setLoginItemMessage(std::optional<QString> message);
    void finishLogRead(LogRead read);
    // Shows `nights` in place of the nights shown, which `equal` says they are the same as.
    void replaceNights(std::vector<Night> nights, bool equal);
    // Off the main thread: the listing at `now`, the battery and the rows' identities.
    static LiveRead readLive(AssertionSource& assertions, BatterySource& battery, RunningAppsSource& apps,
                             Date now);
    void finishLiveRead(uint64_t number, LiveRead read);
    // The running applications of the last live read; taken now when there was none yet.
    const RunningAppsSnapshot& running() const;
    static std::optional<RunningApp> runningApp(const KeptAwakeRow& row, const RunningAppsSnapshot& running);
    void refreshNowLater();
    void announce(const LogRead& read);

    Page page_ = Page::night;
    // Never changed in place: a log read compares its nights with the list it was started with, off the
    // main thread, while the list stays shown.
    std::shared_ptr<const std::vector<Night>> nights_ = std::make_shared<const std::vector<Night>>();
    std::optional<std::string> selectedNightID_;
    bool loading_ = false;
    bool loadedOnce_ = false;
    std::optional<QString> logFailure_;
    std::vector<LiveRow> live_;
    std::optional<BatteryInfo> battery_;
    std::optional<Date> lastLiveRead_;
    bool showWelcome_ = false;
    bool loginItemEnabled_ = false;
    std::optional<QString> loginItemMessage_;
    Platform platform_;
    Toast& toast_;
    mutable std::shared_ptr<const RunningAppsSnapshot> running_;
    DemoState demoState_;
    QSettings settings_;
    std::unique_ptr<EnergyRecorder> energy_;
    ClockTimer* liveTimer_ = nullptr;
    SleepWatcher* sleepWatcher_ = nullptr;
    bool reloadPending_ = false;
    bool announceNext_ = false;
    QString historyURL_;
    uint64_t liveReadsStarted_ = 0;
    uint64_t liveReadApplied_ = 0;
};

} // namespace dormio
