// The journal reader over libsystemd, on journal files made from the recorded exports by systemd's own
// converter (systemd-journal-remote), against the same exports read directly.

#include "Dormio/Core/System/SystemJournal.h"
#include "JournalExport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dormio {

void PrintTo(const JournalEntry& e, std::ostream* out) {
    *out << e.realtime << " " << e.monotonic << " " << e.bootId << " " << e.identifier << ": " << e.message;
}

bool operator==(const JournalEntry& a, const JournalEntry& b) {
    return a.realtime == b.realtime && a.monotonic == b.monotonic && a.bootId == b.bootId &&
           a.identifier == b.identifier && a.message == b.message;
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
        const JournalRead expected = *recorded.read(0);
        const JournalRead read = SystemJournal(folder.toStdString()).read(0).value();
        EXPECT_EQ(read.entries, expected.entries);
        EXPECT_EQ(read.bootStarts, expected.bootStarts);
        EXPECT_FALSE(read.entries.empty());
    }
}

TEST(SystemJournal, StopsAtTheFirstEntryOlderThanAsked) {
    if (!QFile::exists(converter)) GTEST_SKIP() << "systemd-journal-remote is not installed";
    QTemporaryDir dir;
    const QString folder = journalFolder(dir, exportFile("boot-in-the-night"));
    ASSERT_FALSE(folder.isEmpty());
    const JournalRead all = SystemJournal(folder.toStdString()).read(0).value();
    ASSERT_EQ(all.bootStarts.size(), 2u);
    // From the second boot on: the first boot's sleep and start are left out.
    const int64_t since = all.bootStarts[1].realtime;
    const JournalRead recent = SystemJournal(folder.toStdString()).read(since).value();
    ASSERT_EQ(recent.bootStarts.size(), 1u);
    EXPECT_EQ(recent.bootStarts[0].bootId, all.bootStarts[1].bootId);
    for (const JournalEntry& entry : recent.entries)
        EXPECT_GE(entry.realtime, since);
    EXPECT_LT(recent.entries.size(), all.entries.size());
}

TEST(SystemJournal, AFolderWithoutJournalFilesIsNoJournal) {
    QTemporaryDir dir;
    EXPECT_EQ(SystemJournal(dir.path().toStdString()).read(0), std::nullopt);
    EXPECT_EQ(SystemJournal(dir.filePath(QStringLiteral("missing")).toStdString()).read(0), std::nullopt);
}

} // namespace
} // namespace dormio
