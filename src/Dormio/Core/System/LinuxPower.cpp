#include "Dormio/Core/System/LinuxPower.h"

#include "Dormio/Core/System/Inhibitors.h"
#include "Dormio/Core/System/PowerLogWriter.h"
#include "Dormio/Core/System/SystemJournal.h"
#include "Dormio/Core/System/UPowerHistory.h"
#include "Dormio/Core/System/WakeAlarms.h"
#include "Dormio/Core/System/WakeSources.h"

#include <QDBusConnection>

namespace dormio::LinuxPower {

Machine& machine() {
    static Machine machine;
    return machine;
}

LogText powerLog(JournalSource& journal, const Machine& where, const std::vector<WakeAlarm>& alarms,
                 const std::vector<WakeTimer>& timers, int64_t now) {
    const JournalRead read = journal.read((now - logSpan) * 1'000'000);
    if (read.access != JournalAccess::read) return {read.access, {}};
    const PowerLogWriter::Inputs inputs{UPowerHistory::read(where.upowerFolder, where.powerSupplyFolder),
                                        alarms, timers, WakeSources::described(read, where.pciFolder)};
    return {JournalAccess::read, PowerLogWriter::write(read, inputs)};
}

LogText systemPowerLog(int64_t now) {
    const Machine where = machine();
    SystemJournal journal(where.journalFolder);
    const std::vector<WakeTimer> timers =
        where.useBus ? WakeAlarms::timers(QDBusConnection::systemBus()) : std::vector<WakeTimer>{};
    return powerLog(journal, where, WakeAlarms::rtc(where.rtcFolder), timers, now);
}

std::string systemAssertions(int64_t now) {
    if (!machine().useBus) return {};
    const QDBusConnection system = QDBusConnection::systemBus();
    if (!system.isConnected()) return {};
    BusInhibitors source(system, QDBusConnection::sessionBus(), now);
    return AssertionListing::write(source.inhibitors(), now);
}

} // namespace dormio::LinuxPower
