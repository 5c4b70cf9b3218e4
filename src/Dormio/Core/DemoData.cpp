#include "Dormio/Core/DemoData.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Store.h"
#include "DormioKit/Calendar.h"
#include "DormioKit/NightBuilder.h"
#include "DormioKit/NightWindow.h"

#include <algorithm>
#include <string>

namespace dormio {

namespace {

// xorshift64: every run draws the same numbers in the same order.
class Draws {
public:
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return double(state_ % 10000) / 10000.0;
    }

private:
    uint64_t state_ = 0xF519F86EE2385B73ull;
};

enum class WakeKind { network, maint, service };

struct WakeRow {
    WakeKind kind;
    const char* cause;
};

constexpr WakeRow wakeTable[4] = {
    {WakeKind::network, "smc.sysState.Wake wifibt SMC.OutboxNotEmpty E_RX_IP_PACKET ARPT/"},
    {WakeKind::maint, "NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance"},
    {WakeKind::service, "NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/SleepService"},
    {WakeKind::network, "smc.sysState.Wake wifibt SMC.OutboxNotEmpty E_RX_IP_PACKET ARPT/"},
};

constexpr const char* lidOpen = "EC.LidOpen/Lid Open";
constexpr const char* lidOpenText = "Wake from Deep Idle [CDNVA] : due to EC.LidOpen/Lid Open";

struct EnergyRow {
    const char* name;
    const char* path;
    double share;
};

constexpr EnergyRow energyTable[6] = {
    {"Music", "/System/Applications/Music.app", 0.34},
    {"Mail", "/System/Applications/Mail.app", 0.19},
    {"Safari", "/Applications/Safari.app", 0.14},
    {"Photos", "/System/Applications/Photos.app", 0.11},
    {"Messages", "/System/Applications/Messages.app", 0.08},
    {"Calendar", "/System/Applications/Calendar.app", 0.05},
};

// One evening's log, written at minutes after its 23:00 base.
class Evening {
public:
    Evening(PowerLog& log, Date base, int64_t charge) : log_(log), base_(base), charge_(charge) {}

    Date at(double minutes) const { return base_ + minutes * 60; }
    void drain(int64_t points) { charge_ -= points; }

    void event(double minutes, PowerEventKind kind, const std::string& text, const std::string& cause) {
        log_.events.push_back(PowerEvent{at(minutes), kind,
                                         text + " Using Batt (Charge:" + std::to_string(charge_) + "%)",
                                         cause, true, charge_});
    }
    void display(double minutes, bool on) { log_.display.push_back(DisplayChange{at(minutes), on}); }
    void release(double endMinutes, double seconds, int32_t pid, const char* process, const char* name) {
        log_.releases.push_back(
            AssertionRelease{at(endMinutes), seconds, pid, process, "PreventUserIdleSystemSleep", name});
    }
    void request(double minutes, WakeKind kind) {
        log_.requests.push_back(WakeRequest{
            at(minutes - 15), "dasd", kind == WakeKind::service ? "SleepService" : "TimerPlugin", at(minutes),
            kind == WakeKind::maint ? "com.apple.photoanalysisd.backgroundanalysis" : "com.apple.mail.fetch",
            true});
    }

private:
    PowerLog& log_;
    Date base_;
    int64_t charge_;
};

void addNight(PowerLog& log, Date morning, bool last, Draws& draws) {
    Evening evening(log, morning - 3600, last ? 84 : 70 + int64_t(draws.next() * 25));

    evening.display(-50, true);
    evening.event(-50, PowerEventKind::wake, lidOpenText, lidOpen);
    const double screenOff = last ? 38 : 10 + draws.next() * 70;
    evening.display(screenOff, false);
    const double asleep = screenOff + (last ? 43 : draws.next() * 40);
    evening.release(asleep, (asleep + 20) * 60, 901, "Music", "Playing audio");
    evening.event(asleep, PowerEventKind::sleep,
                  "Entering Sleep state due to 'Idle Sleep':TCPKeepAlive=active", "Idle Sleep");

    const int darkWakes = last ? 9 : 2 + int(draws.next() * 14);
    for (int i = 0; i < darkWakes; ++i) {
        const double a = draws.next();
        const int k = last ? i + 1 : i + int(draws.next() * 4);
        const WakeRow& row = wakeTable[k % 4];
        if (draws.next() < 0.55) evening.drain(1);
        const double t = asleep + (455 - asleep) * (i + 1) / (darkWakes + 1) + a * 8;
        evening.request(t, row.kind);
        evening.event(t, PowerEventKind::darkWake,
                      std::string("DarkWake from Deep Idle [CDNP] : due to ") + row.cause, row.cause);
        const double length = row.kind == WakeKind::maint ? 3.2 : 0.8;
        if (row.kind == WakeKind::maint)
            evening.release(t + length, 192, 77, "backupd", "Time Machine backup");
        if (row.kind == WakeKind::service) evening.release(t + length, 44, 78, "Mail", "Fetching mail");
        evening.event(t + length, PowerEventKind::sleep,
                      "Entering Sleep state due to 'Maintenance Sleep':TCPKeepAlive=active",
                      "Maintenance Sleep");
    }

    evening.drain(last ? 4 : int64_t(draws.next() * 6));
    const double up = last ? 468 : 450 + draws.next() * 60;
    evening.display(up, true);
    evening.event(up, PowerEventKind::wake, lidOpenText, lidOpen);
    evening.display(up + 60, false);
    evening.event(up + 60, PowerEventKind::sleep,
                  "Entering Sleep state due to 'Clamshell Sleep':TCPKeepAlive=active", "Clamshell Sleep");
}

LiveRow liveRow(int32_t pid, const char* process, const char* type, const char* name, double age,
                const char* identity, std::optional<std::string> path, bool userApp) {
    LiveAssertion assertion;
    assertion.pid = pid;
    assertion.process = process;
    assertion.type = type;
    assertion.name = name;
    assertion.age = age;
    return LiveRow{assertion, AppIdentity{identity, std::move(path), std::nullopt, userApp}};
}

} // namespace

std::vector<Night> DemoData::makeNights() {
    const Calendar calendar = Calendar::current();
    const Date today = calendar.startOfDay(currentDate());
    Draws draws;
    PowerLog log;
    for (int d = 30; d >= 0; --d)
        if (std::optional<Date> morning = calendar.addingDays(today, -d))
            addNight(log, *morning, d == 0, draws);

    auto byDate = [](const auto& a, const auto& b) { return a.date < b.date; };
    std::stable_sort(log.events.begin(), log.events.end(), byDate);
    std::stable_sort(log.display.begin(), log.display.end(), byDate);
    if (!log.events.empty()) log.firstDate = log.events.front().date;

    std::vector<Night> nights = NightBuilder::build(log, NightWindow{}, today + 32'400, calendar);
    for (Night& night : nights)
        night.isDemo = true;
    return nights;
}

const std::optional<Night>& DemoData::sampleNight() {
    static const std::optional<Night> night = [] {
        std::vector<Night> nights = makeNights();
        return nights.empty() ? std::optional<Night>() : std::optional<Night>(std::move(nights.back()));
    }();
    return night;
}

std::optional<AppIdentity> DemoData::identity(const std::string& process) {
    for (const EnergyRow& row : energyTable)
        if (process == row.name) return AppIdentity{row.name, std::string(row.path), std::nullopt, true};
    return std::nullopt;
}

std::vector<EnergyShare> DemoData::energy(std::optional<int64_t> lost) {
    std::vector<EnergyShare> shares;
    for (const EnergyRow& row : energyTable) {
        std::optional<double> estimate;
        if (lost) estimate = row.share * double(*lost);
        shares.push_back(EnergyShare{row.path, row.name, row.path, row.share * 90'000, row.share, estimate});
    }
    return shares;
}

void DemoData::apply(Store& store) {
    store.demoState().setDemo(true);
    store.setNights(makeNights());
    const std::vector<Night>& nights = store.nights();
    store.setSelectedNightID(nights.empty() ? std::nullopt : std::optional<std::string>(nights.back().id));
    DemoEnergy energyByNight;
    for (const Night& night : nights)
        energyByNight[night.id] = energy(night.lost());
    store.demoState().setDemoEnergy(std::move(energyByNight));
    store.setBattery(BatteryInfo{78, false, false, 545, 312, 4382, 3921, 30.6, "Normal"});
    store.setLive({
        liveRow(901, "Music", "PreventUserIdleSystemSleep", "Playing audio", 2710, "Music",
                "/System/Applications/Music.app", true),
        liveRow(902, "Safari", "PreventUserIdleDisplaySleep", "Video is playing", 640, "Safari",
                "/Applications/Safari.app", true),
        liveRow(310, "backupd", "BackgroundTask", "Time Machine backup", 95, "Time Machine (backupd)",
                "/System/Applications/Time Machine.app", false),
        liveRow(120, "powerd", "PreventUserIdleSystemSleep", "Powerd - Prevent sleep while display is on",
                4100, "powerd", std::nullopt, false),
        liveRow(488, "coreaudiod", "PreventUserIdleDisplaySleep",
                "com.apple.audio.context12.preventuseridledisplaysleep", 310, "Audio (coreaudiod)",
                std::nullopt, false),
    });
    store.setLoadedOnce(true);
}

} // namespace dormio
