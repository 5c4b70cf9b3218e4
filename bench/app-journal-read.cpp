// Times the power log's Linux source: reading a busy week of journal through libsystemd and writing the
// log's text from it, alone and behind 700 older boots kept in 100 files. The journal is generated as
// exports (dozens of boots a week, thousands of entries: the kernel's and the login manager's chatter around
// many suspends a day, and other programs' lines) and turned into journal files by systemd-journal-remote.

#include "Dormio/Core/System/PowerLogWriter.h"
#include "Dormio/Core/System/SystemJournal.h"

#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>
#include <string>

namespace {

using namespace dormio;

constexpr int64_t weekEnd = 1'796'800'000; // seconds since 1970
constexpr int days = 7;
constexpr int bootsPerDay = 4;
constexpr int olderBoots = 700; // kept from the months before the week
constexpr int olderFiles = 100;

class Export {
public:
    void entry(int64_t when, int64_t sinceBoot, const std::string& boot, const char* identifier,
               const std::string& message) {
        text_ += "__REALTIME_TIMESTAMP=" + std::to_string(when) +
                 "\n__MONOTONIC_TIMESTAMP=" + std::to_string(sinceBoot) + "\n_BOOT_ID=" + boot +
                 "\n_TRANSPORT=" + (std::string_view(identifier) == "kernel" ? "kernel" : "journal") +
                 "\n_UID=0\n_COMM=" + identifier + "\n_EXE=/usr/lib/systemd/" + identifier +
                 "\nSYSLOG_IDENTIFIER=" + identifier + "\nMESSAGE=" + message + "\n\n";
        ++entries_;
    }
    const std::string& text() const { return text_; }
    int entries() const { return entries_; }

private:
    std::string text_;
    int entries_ = 0;
};

// Boots of `length` seconds each from `start`, each with its start-up chatter and, every hour or so, a
// suspend of up to an hour with the login manager's, systemd-sleep's and the kernel's messages.
Export generate(std::mt19937_64& random, int first, int count, int64_t start, int64_t length) {
    const auto between = [&](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };
    Export out;
    const int64_t second = 1'000'000;
    for (int b = first; b < first + count; ++b) {
        char boot[33];
        std::snprintf(boot, sizeof boot, "%032x", b + 1);
        int64_t now = (start + (b - first) * length) * second, sinceBoot = 2 * second;
        const auto add = [&](const char* identifier, const std::string& message) {
            out.entry(now, sinceBoot, boot, identifier, message);
        };
        add("kernel", "Linux version 6.1.0-18-amd64 (debian-kernel@lists.debian.org)");
        for (int i = 0; i < 120; ++i)
            add("kernel", "usb 1-3: new high-speed USB device number " + std::to_string(i));
        const int64_t end = now + (length - 60) * second;
        while (now < end) {
            const int64_t step = between(60, 900) * second;
            now += step;
            sinceBoot += step;
            for (int i = 0; i < 6; ++i)
                add(i % 2 ? "NetworkManager" : "kernel", "wlp2s0: link becomes ready " + std::to_string(i));
            if (between(0, 3) == 0) {
                add("systemd-logind", between(0, 1) ? "Lid closed." : "System idle. Will suspend now.");
                add("systemd-logind", "The system will suspend now!");
                add("systemd-sleep", "Entering sleep state 'suspend'...");
                add("kernel", "PM: suspend entry (s2idle)");
                now += between(30, 3600) * second;
                add("kernel", "PM: Triggering wakeup from IRQ 9");
                add("kernel", "PM: suspend exit");
                add("systemd-sleep", "System returned from sleep state.");
                add("systemd-logind", "Lid opened.");
            }
        }
    }
    return out;
}

bool convert(const Export& journal, const QString& file) {
    QProcess convert;
    convert.start(QStringLiteral("/lib/systemd/systemd-journal-remote"),
                  {QStringLiteral("--output=") + file, QStringLiteral("-")});
    convert.write(journal.text().data(), qint64(journal.text().size()));
    convert.closeWriteChannel();
    return convert.waitForFinished(120000) && convert.exitCode() == 0;
}

// The busy week alone, or behind the boots of the months before it, kept in many files as a machine that
// has run for a long time keeps them.
struct Journal {
    QTemporaryDir folder;
    int entries = 0;
    int boots = 0;
    bool ready = true;

    explicit Journal(bool withOlderBoots) {
        std::mt19937_64 random(42);
        const int64_t weekStart = weekEnd - int64_t{days} * 86400;
        if (withOlderBoots) {
            // Each older boot lasts a quarter of a day, the last ending just as the week begins.
            const int64_t length = 86400 / 4;
            for (int file = 0; file < olderFiles && ready; ++file) {
                const int first = file * olderBoots / olderFiles,
                          count = (file + 1) * olderBoots / olderFiles - first;
                const Export older = generate(random, 1000 + first, count,
                                              weekStart - int64_t(olderBoots - first) * length, length);
                entries += older.entries();
                ready = convert(older, folder.filePath(QStringLiteral("system@%1.journal").arg(file)));
            }
            boots += olderBoots;
        }
        const Export week = generate(random, 0, days * bootsPerDay, weekStart, 86400 / bootsPerDay);
        entries += week.entries();
        boots += days * bootsPerDay;
        ready = ready && convert(week, folder.filePath(QStringLiteral("system.journal")));
    }
};

void readAndWrite(benchmark::State& state, bool withOlderBoots) {
    static Journal alone(false), behindOlderBoots(true);
    const Journal& journal = withOlderBoots ? behindOlderBoots : alone;
    if (!journal.ready) {
        state.SkipWithError("systemd-journal-remote could not make the journal");
        return;
    }
    std::size_t kept = 0, bytes = 0;
    for (auto _ : state) {
        const JournalRead read = SystemJournal(journal.folder.path().toStdString())
                                     .read((weekEnd - days * 86400) * int64_t{1'000'000});
        const std::string text = PowerLogWriter::write(read, {});
        kept = read.entries.size();
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["journal_entries"] = journal.entries;
    state.counters["boots"] = journal.boots;
    state.counters["kept"] = double(kept);
    state.counters["log_bytes"] = double(bytes);
}
BENCHMARK_CAPTURE(readAndWrite, busyWeek, false)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(readAndWrite, busyWeekBehind700Boots, true)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
