#include "Dormio/Core/System/LogSources.h"

#include "Dormio/Core/System/LinuxPower.h"
#include "Dormio/Core/System/PowerLogFile.h"
#include "DormioKit/PowerLogParser.h"
#include "DormioKit/Utf8.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>

namespace dormio {

using PowerLogParser::RunOutcome;

namespace {

bool hasPmset() {
    return QFileInfo::exists(QStringLiteral("/usr/bin/pmset"));
}

std::atomic<int> storesShowingSampleData = 0;

} // namespace

PowerLogParser::SystemLog FixturePowerLog::read(Date) {
    return readPowerLogFile(path_);
}

std::vector<LiveAssertion> FixtureAssertions::read(Date) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!Utf8::isWellFormed(text)) return {};
    return AssertionReader::parse(text);
}

PowerLogParser::SystemLog SystemPowerLog::read(Date now) {
    if (hasPmset()) return PowerLogParser::loadSystemLog();
    const LinuxPower::LogText read = LinuxPower::systemPowerLog(int64_t(now.unix()));
    // Debian lets only root and the adm and systemd-journal groups read the journal; a desktop user outside
    // them would otherwise never learn why no night appears.
    if (read.access == JournalAccess::unreadable)
        return {PowerLog(), RunOutcome::completed,
                "Dormio can’t read the system journal. Add yourself to the systemd-journal group and log in "
                "again."};
    if (read.access != JournalAccess::read) return {PowerLog(), RunOutcome::couldNotStart};
    return {PowerLogParser::parse(read.text), RunOutcome::completed};
}

std::vector<LiveAssertion> SystemAssertions::read(Date now) {
    if (hasPmset()) return AssertionReader::current().assertions;
    return AssertionReader::parse(LinuxPower::systemAssertions(int64_t(now.unix())));
}

DataSources LogSources::named() {
    const bool offMac = !hasPmset() && storesShowingSampleData == 0;
    return {offMac && !qEnvironmentVariableIsSet("DORMIO_LOG_FIXTURE"),
            offMac && !qEnvironmentVariableIsSet("DORMIO_ASSERTIONS_FIXTURE")};
}

void LogSources::showSampleData(bool shown) {
    storesShowingSampleData += shown ? 1 : -1;
}

std::shared_ptr<PowerLogSource> LogSources::powerLog() {
    if (qEnvironmentVariableIsSet("DORMIO_LOG_FIXTURE"))
        return std::make_shared<FixturePowerLog>(qEnvironmentVariable("DORMIO_LOG_FIXTURE"));
    return std::make_shared<SystemPowerLog>();
}

std::shared_ptr<AssertionSource> LogSources::assertions() {
    if (qEnvironmentVariableIsSet("DORMIO_ASSERTIONS_FIXTURE"))
        return std::make_shared<FixtureAssertions>(qEnvironmentVariable("DORMIO_ASSERTIONS_FIXTURE"));
    return std::make_shared<SystemAssertions>();
}

} // namespace dormio
