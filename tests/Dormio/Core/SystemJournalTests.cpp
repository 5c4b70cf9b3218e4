// The journal reader over libsystemd, on journal files made from the recorded exports by systemd's own
// converter (systemd-journal-remote), against the same exports read directly.

#include "Dormio/Core/System/SystemJournal.h"
#include "JournalExport.h"
#include "JournalRecording.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dormio {

void PrintTo(const JournalEntry& e, std::ostream* out) {
    *out << e.realtime << " " << e.monotonic << " " << e.bootId << " " << e.source << ": " << e.message
         << " (" << e.unit << ")";
}

bool operator==(const JournalEntry& a, const JournalEntry& b) {
    return a.realtime == b.realtime && a.monotonic == b.monotonic && a.bootId == b.bootId &&
           a.source == b.source && a.message == b.message && a.unit == b.unit;
}

namespace {

const QString converter = QStringLiteral("/lib/systemd/systemd-journal-remote");

// A folder holding the export as a journal file; empty when the converter is missing or fails.
QString journalFolder(const QTemporaryDir& dir, const QString& exportFile) {
    QProcess convert;
    convert.setStandardInputFile(exportFile);
    convert.start(converter, {QStringLiteral("--output=") + dir.filePath(QStringLiteral("system.journal")),
                              QStringLiteral("-")});
    if (!convert.waitForFinished(30000) || convert.exitCode() != 0) return {};
    return dir.path();
}

QString exportFile(const char* name) {
    return QStringLiteral(DORMIO_TEST_DATA "/journal/") + QString::fromLatin1(name) +
           QStringLiteral(".export");
}

TEST(SystemJournal, ReadsWhatTheExportHolds) {
    if (!QFile::exists(converter)) GTEST_SKIP() << "systemd-journal-remote is not installed";
    for (const char* name : {"back-to-back", "boot-in-the-night", "clock-changes"}) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString folder = journalFolder(dir, exportFile(name));
        ASSERT_FALSE(folder.isEmpty());
        JournalExport recorded = JournalExport::fromFile(exportFile(name));
        const JournalRead expected = recorded.read(0);
        const JournalRead read = SystemJournal(folder.toStdString()).read(0);
        EXPECT_EQ(read.access, JournalAccess::read);
        EXPECT_EQ(read.entries, expected.entries);
        EXPECT_EQ(read.bootStarts, expected.bootStarts);
        EXPECT_EQ(read.bootEnds, expected.bootEnds);
        EXPECT_FALSE(read.entries.empty());
    }
}

TEST(SystemJournal, StopsAtTheFirstEntryOlderThanAsked) {
    if (!QFile::exists(converter)) GTEST_SKIP() << "systemd-journal-remote is not installed";
    QTemporaryDir dir;
    const QString folder = journalFolder(dir, exportFile("boot-in-the-night"));
    ASSERT_FALSE(folder.isEmpty());
    const JournalRead all = SystemJournal(folder.toStdString()).read(0);
    ASSERT_EQ(all.bootStarts.size(), 2u);
    // From the second boot on: the first boot's sleep and start are left out.
    const int64_t since = all.bootStarts[1].realtime;
    const JournalRead recent = SystemJournal(folder.toStdString()).read(since);
    ASSERT_EQ(recent.bootStarts.size(), 1u);
    EXPECT_EQ(recent.bootStarts[0].bootId, all.bootStarts[1].bootId);
    for (const JournalEntry& entry : recent.entries)
        EXPECT_GE(entry.realtime, since);
    EXPECT_LT(recent.entries.size(), all.entries.size());
}

TEST(SystemJournal, AFolderWithoutJournalFilesIsNoJournal) {
    QTemporaryDir dir;
    EXPECT_EQ(SystemJournal(dir.path().toStdString()).read(0).access, JournalAccess::none);
    EXPECT_EQ(SystemJournal(dir.filePath(QStringLiteral("missing")).toStdString()).read(0).access,
              JournalAccess::none);
}

// What a user who may not read the journal meets: files there, none of them opened.
TEST(SystemJournal, JournalFilesNoneOfWhichCanBeOpenedAreAFailure) {
    QTemporaryDir damaged;
    QFile garbage(damaged.filePath(QStringLiteral("system.journal")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    EXPECT_EQ(SystemJournal(damaged.path().toStdString()).read(0).access, JournalAccess::unreadable);

    if (!JournalRecording::canConvert()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("system.journal"));
    ASSERT_FALSE(journalFolder(dir, exportFile("lid-s3")).isEmpty());
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(file).constData(), 0600);
    // Root may read any file: the reading is done by a child that has given up root.
    if (::geteuid() != 0) {
        EXPECT_EQ(SystemJournal(dir.path().toStdString()).read(0).access, JournalAccess::unreadable);
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? int(SystemJournal(dir.path().toStdString()).read(0).access) : 100);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), int(JournalAccess::unreadable));
}

// A sender chooses its SYSLOG_IDENTIFIER and may rename its process; the journal records who it really is.
TEST(SystemJournal, KeepsOnlyWhatTheSystemsOwnWritersLogged) {
    if (!JournalRecording::canConvert()) GTEST_SKIP() << "systemd-journal-remote is not installed";
    using Writer = JournalRecording::Writer;
    JournalRecording journal;
    const JournalRecording::Boot boot{"2c2c2c2c2c2c2c2c2c2c2c2c2c2c2c2c", 1'700'000'000};
    const double t = 1'700'000'100;
    journal.add(boot, t, Writer::login, "Lid closed.");
    journal.addWithFields(
        boot, t + 1,
        "_TRANSPORT=syslog\n_PID=3000\n_UID=1000\nSYSLOG_IDENTIFIER=systemd-logind\n_COMM=logger\n"
        "_EXE=/usr/bin/logger\n",
        "Lid opened.");
    journal.addWithFields(boot, t + 2,
                          "_TRANSPORT=journal\n_PID=3001\n_UID=1000\nSYSLOG_IDENTIFIER=systemd-logind\n"
                          "_COMM=systemd-logind\n_EXE=/home/user/systemd-logind\n",
                          "Power key pressed short.");
    journal.addWithFields(boot, t + 3,
                          "_TRANSPORT=journal\n_PID=3002\n_UID=0\nSYSLOG_IDENTIFIER=systemd-sleep\n"
                          "_COMM=systemd-sleep\n_EXE=/usr/bin/python3.11\n",
                          "Entering sleep state 'suspend'...");
    journal.addWithFields(boot, t + 4, "_TRANSPORT=syslog\n_PID=3003\n_UID=1000\nSYSLOG_IDENTIFIER=kernel\n",
                          "PM: suspend entry (deep)");
    journal.addWithFields(
        boot, t + 5,
        "_TRANSPORT=journal\n_PID=3004\n_UID=1000\nSYSLOG_IDENTIFIER=systemd\n_COMM=systemd\n"
        "MESSAGE_ID=7d4958e842da4a758f6c1cdc7b36dcc5\nUNIT=apt-daily-upgrade.service\n",
        "Starting apt-daily-upgrade.service - Daily apt upgrade and clean activities...");
    journal.add(boot, t + 6, Writer::kernel, "PM: suspend entry (deep)");
    journal.add(boot, t + 7, Writer::manager, "Starting apt-daily-upgrade.service - Daily apt upgrade...",
                "apt-daily-upgrade.service");
    QTemporaryDir dir;
    ASSERT_TRUE(journal.writeInto(dir.path()));
    const JournalRead read = SystemJournal(dir.path().toStdString()).read(0);
    std::vector<std::pair<std::string, std::string>> kept;
    for (const JournalEntry& entry : read.entries)
        kept.emplace_back(entry.source, entry.message);
    EXPECT_EQ(kept, (std::vector<std::pair<std::string, std::string>>{
                        {"systemd-logind", "Lid closed."},
                        {"kernel", "PM: suspend entry (deep)"},
                        {"systemd", "Starting apt-daily-upgrade.service - Daily apt upgrade..."}}));
}

} // namespace
} // namespace dormio
