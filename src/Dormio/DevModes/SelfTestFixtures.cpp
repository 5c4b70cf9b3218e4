#include "Dormio/DevModes/SelfTestFixtures.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Settings.h"
#include "DormioKit/NightWindow.h"

#include <QSaveFile>
#include <QSettings>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace dormio::SelfTest {

namespace {

// The morning is the default window's end, which the run sets: a night counts as over once it has passed.
constexpr int morningHour = int(NightWindow{}.endHour);
constexpr int eveningHour = 22;
// From the evening to the morning on a night without a clock change.
constexpr int nightSeconds = (24 - eveningHour + morningHour) * 3600;

struct FixtureLine {
    int offset; // seconds after the evening
    const char* type;
    const char* message;
};

// One night: up at 22:30, asleep at 00:10 after a player held the machine awake for 40 minutes, two dark
// wakes, up again at 07:45.
const FixtureLine nightLines[] = {
    {1800, "Notification", "\tDisplay is turned on\t"},
    {1800, "Wake", "\tWake from Deep Idle [CDNVA] : due to EC.LidOpen/Lid Open Using Batt (Charge:95%) \t"},
    {6000, "Notification", "\tDisplay is turned off\t"},
    {7800, "Assertions",
     "\tPID 99991(FakePlayer) Released PreventUserIdleSystemSleep \"Playing\" 00:40:00  id:0x1 [System: "
     "PrevIdle]\t"},
    {7800, "Sleep",
     "\tEntering Sleep state due to 'Idle Sleep':TCPKeepAlive=active Using Batt (Charge:93%) \t"},
    {12600, "DarkWake",
     "\tDarkWake from Deep Idle [CDNP] : due to NUB.SPMISw3IRQ nub-spmi0.0x02 rtc/Maintenance Using Batt "
     "(Charge:92%) \t45 secs"},
    {12660, "Sleep",
     "\tEntering Sleep state due to 'Maintenance Sleep':TCPKeepAlive=active Using Batt (Charge:92%) \t"},
    {18000, "DarkWake",
     "\tDarkWake from Deep Idle [CDNP] : due to smc.sysState.Wake wifibt SMC.OutboxNotEmpty E_RX_IP_PACKET "
     "ARPT/ Using Batt (Charge:91%) \t45 secs"},
    {18060, "Sleep",
     "\tEntering Sleep state due to 'Maintenance Sleep':TCPKeepAlive=active Using Batt (Charge:91%) \t"},
    {35100, "Notification", "\tDisplay is turned on\t"},
    {35100, "Wake", "\tWake from Deep Idle [CDNVA] : due to EC.LidOpen/Lid Open Using Batt (Charge:89%) \t"},
    {36000, "Notification", "\tDisplay is turned off\t"},
    {36120, "Sleep",
     "\tEntering Sleep state due to 'Clamshell Sleep':TCPKeepAlive=active Using Batt (Charge:89%) \t"},
};

constexpr std::size_t typeWidth = 20;

// "yyyy-MM-dd HH:mm:ss ZZZ" on the calendar's wall clock, e.g. "2026-03-02 22:30:00 +0100".
std::string timeStamp(Date date, const Calendar& calendar) {
    const int offset = calendar.offsetSeconds(date);
    const std::time_t wall = std::time_t(std::floor(date.unix())) + offset;
    std::tm fields{};
    gmtime_r(&wall, &fields);
    const int minutes = std::abs(offset) / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d %c%02d%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec,
                  offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

std::string lineAt(Date date, const FixtureLine& line, const Calendar& calendar) {
    std::string type = line.type;
    type.resize(std::max(type.size(), typeWidth), ' ');
    return timeStamp(date, calendar) + ' ' + type + line.message;
}

std::optional<QVariant> stored(const QSettings& settings, const QString& key) {
    if (!settings.contains(key)) return std::nullopt;
    return settings.value(key);
}

void putBack(QSettings& settings, const QString& key, const std::optional<QVariant>& value) {
    if (value)
        settings.setValue(key, *value);
    else
        settings.remove(key);
}

} // namespace

const char* const assertionListing =
    "Assertion status system-wide:\n"
    "   PreventUserIdleSystemSleep     1\n"
    "Listed by owning process:\n"
    "   pid 99991(FakePlayer): [0x01] 00:45:00 PreventUserIdleSystemSleep named: \"Playing\"\n"
    "   pid 99992(FakeBrowser): [0x02] 00:11:00 PreventUserIdleDisplaySleep named: \"Video Wake Lock\"\n"
    "   pid 99993(caffeinate): [0x03] 01:00:00 PreventSystemSleep named: \"caffeinate command-line tool\"\n"
    "   pid 99994(powerd): [0x04] 02:00:00 PreventUserIdleSystemSleep named: \"Powerd - Prevent sleep while "
    "display is on\"\n"
    "Kernel Assertions: 0x4=USB";

std::optional<FixturePaths> fixturePaths(const EnvLookup& env) {
    const auto log = env("DORMIO_LOG_FIXTURE");
    const auto assertions = env("DORMIO_ASSERTIONS_FIXTURE");
    const auto support = env("DORMIO_SUPPORT_DIR");
    for (const auto* value : {&log, &assertions, &support})
        if (!*value || (*value)->empty()) return std::nullopt;
    return FixturePaths{QString::fromStdString(*log), QString::fromStdString(*assertions),
                        QString::fromStdString(*support)};
}

std::vector<FixtureNight> fixtureNights(Date now, int count, const Calendar& calendar) {
    std::optional<Date> latest = calendar.date(now, morningHour);
    // Only a morning still to come today belongs to a night not yet over: it moves back a day.
    if (latest && *latest > now) latest = calendar.addingDays(*latest, -1);
    if (!latest) return {};
    std::vector<FixtureNight> nights;
    for (int back = count - 1; back >= 0; --back) {
        const std::optional<Date> morning = calendar.addingDays(*latest, -back);
        if (!morning) continue;
        const std::optional<Date> dayBefore = calendar.addingDays(*morning, -1);
        const std::optional<Date> evening = dayBefore ? calendar.date(*dayBefore, eveningHour) : std::nullopt;
        if (evening) nights.push_back({*evening, *morning});
    }
    return nights;
}

std::string logText(const std::vector<FixtureNight>& nights, const Calendar& calendar) {
    std::string text = "PM ASL data store: /var/log/powermanagement";
    for (const FixtureNight& night : nights)
        for (const FixtureLine& line : nightLines) {
            const Date at = line.offset < nightSeconds ? night.evening + line.offset
                                                       : night.morning + (line.offset - nightSeconds);
            text += '\n';
            text += lineAt(at, line, calendar);
        }
    return text;
}

std::vector<Date> writeLog(const QString& path, int nights) {
    const Calendar calendar = Calendar::current();
    const std::vector<FixtureNight> fixture = fixtureNights(currentDate(), nights, calendar);
    writeFixture(path, logText(fixture, calendar));
    std::vector<Date> mornings;
    for (const FixtureNight& night : fixture)
        mornings.push_back(night.morning);
    return mornings;
}

void writeFixture(const QString& path, const std::string& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(text.data(), qint64(text.size()));
    file.commit();
}

SavedNightHours SavedNightHours::take() {
    const QSettings settings;
    SavedNightHours saved;
    saved.start_ = stored(settings, Settings::nightStartHour.key());
    saved.end_ = stored(settings, Settings::nightEndHour.key());
    return saved;
}

void SavedNightHours::restore() const {
    QSettings settings;
    putBack(settings, Settings::nightStartHour.key(), start_);
    putBack(settings, Settings::nightEndHour.key(), end_);
    settings.sync();
}

} // namespace dormio::SelfTest
