#include "Dormio/Core/System/LinuxPower.h"

#include "Dormio/Core/System/Inhibitors.h"
#include "Dormio/Core/System/PowerLogWriter.h"
#include "Dormio/Core/System/SystemJournal.h"
#include "Dormio/Core/System/UPowerHistory.h"
#include "Dormio/Core/System/WakeAlarms.h"

#include <QDBusConnection>

namespace dormio::LinuxPower {

Machine& machine() {
    static Machine machine;
    return machine;
}

std::optional<std::string> powerLog(JournalSource& journal, const QString& upowerFolder,
                                    const std::vector<WakeAlarm>& alarms, int64_t now) {
    const std::optional<JournalRead> read = journal.read((now - logSpan) * 1'000'000);
    if (!read) return std::nullopt;
    return PowerLogWriter::write(*read, UPowerHistory::read(upowerFolder), alarms);
}

std::optional<std::string> systemPowerLog(int64_t now) {
    const Machine where = machine();
    SystemJournal journal(where.journalFolder);
    std::vector<WakeAlarm> alarms = WakeAlarms::rtc(where.rtcFolder);
    if (where.useBus)
        for (WakeAlarm& alarm : WakeAlarms::timers(QDBusConnection::systemBus()))
            alarms.push_back(std::move(alarm));
    return powerLog(journal, where.upowerFolder, alarms, now);
}

std::string systemAssertions(int64_t now) {
    if (!machine().useBus) return {};
    const QDBusConnection system = QDBusConnection::systemBus();
    if (!system.isConnected()) return {};
    BusInhibitors source(system, QDBusConnection::sessionBus());
    return AssertionListing::write(source.inhibitors(), now);
}

} // namespace dormio::LinuxPower
