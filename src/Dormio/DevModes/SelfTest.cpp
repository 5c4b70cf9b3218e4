#include "Dormio/DevModes/SelfTest.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/EnergyRecorder.h"
#include "Dormio/Core/Settings.h"
#include "Dormio/Core/Store.h"
#include "Dormio/DevModes/SelfTestFixtures.h"

#include <QFile>
#include <QSettings>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace dormio::SelfTest {

namespace {

constexpr int fixtureNightCount = 3;

void exitAtOnce(int status) {
    std::_Exit(status);
}

std::function<void(int)>& processEnd() {
    static std::function<void(int)> end = exitAtOnce;
    return end;
}

// A line at a time, so that a reader of a pipe sees each check as it is made.
void printOnStdout(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// The one way out, whatever the status.
void end(Store& store, int status) {
    store.energy().flush();
    QSettings().sync();
    std::fflush(stdout);
    processEnd()(status);
}

} // namespace

void run(Store& store, const EnvLookup& env) {
    end(store, runAgainst(store, printOnStdout, env, [&store](int32_t pid) { return pidInUse(store, pid); }));
}

int runAgainst(Store& store, const PrintLine& print, const EnvLookup& env, const PidInUse& pidInUse) {
    const std::optional<FixturePaths> paths = fixturePaths(env);
    if (!paths) {
        print(QStringLiteral(
            "✗ self-test needs DORMIO_SUPPORT_DIR, DORMIO_LOG_FIXTURE and DORMIO_ASSERTIONS_FIXTURE"));
        return 2;
    }
    // The fixture's mornings and every count of finished nights follow from the present moment: a run that
    // the clock carries past 07:00 or 08:00 would otherwise check one morning's nights against another's.
    const HeldClock oneMoment;
    const SavedNightHours saved = SavedNightHours::take();
    Report report(print);
    Run run{store, report, paths->log, pidInUse, writeLog(paths->log, fixtureNightCount), {}};
    writeFixture(paths->assertions, assertionListing);
    QFile::remove(store.historyURL());
    // Only with the fixture in place and no history left may a change of the hours start a read: a read of
    // an earlier file would slip its nights into the history.
    const int startHour = Settings::nightStartHour.defaultValue();
    const int endHour = Settings::nightEndHour.defaultValue();
    if (store.nightStartHour() != startHour) store.setNightStartHour(startHour);
    if (store.nightEndHour() != endHour) store.setNightEndHour(endHour);

    for (const Section& section : sections) {
        report.heading(QString::fromUtf8(section.title));
        section.run(run);
    }
    saved.restore();
    report.summary();
    return report.status();
}

bool pidInUse(const Store& store, int32_t pid) {
    // 0 and the negative ids stand for groups of processes, never for a free one.
    if (pid < 1 || store.platform().apps->runningApp(pid)) return true;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

void setProcessEnd(std::function<void(int)> end) {
    processEnd() = end ? std::move(end) : exitAtOnce;
}

} // namespace dormio::SelfTest
