// Times the power log's Linux source: reading a busy week of journal through libsystemd and writing the
// log's text from it. The journal is generated as an export (dozens of boots, thousands of entries: the
// kernel's and the login manager's chatter around many suspends a day, and other programs' lines) and
// turned into journal files by systemd-journal-remote.

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

class Export {
public:
    void entry(int64_t when, int64_t sinceBoot, const std::string& boot, const char* identifier,
               const std::string& message) {
        text_ += "__REALTIME_TIMESTAMP=" + std::to_string(when) +
                 "\n__MONOTONIC_TIMESTAMP=" + std::to_string(sinceBoot) + "\n_BOOT_ID=" + boot +
                 "\n_TRANSPORT=" + (std::string_view(identifier) == "kernel" ? "kernel" : "journal") +
                 "\nSYSLOG_IDENTIFIER=" + identifier + "\nMESSAGE=" + message + "\n\n";
        ++entries_;
    }
    const std::string& text() const { return text_; }
    int entries() const { return entries_; }

private:
    std::string text_;
    int entries_ = 0;
};

Export busyWeek() {
    std::mt19937_64 random(42);
    const auto between = [&](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };
    Export out;
    const int64_t second = 1'000'000;
    const int64_t start = (weekEnd - int64_t{days} * 86400) * second;
    const int64_t bootLength = 86400 * second / bootsPerDay;
    for (int b = 0; b < days * bootsPerDay; ++b) {
        char boot[33];
        std::snprintf(boot, sizeof boot, "%032x", b + 1);
        int64_t now = start + b * bootLength, sinceBoot = 2 * second, asleep = 0;
        const auto add = [&](const char* identifier, const std::string& message) {
            out.entry(now, sinceBoot, boot, identifier, message);
        };
        add("kernel", "Linux version 6.1.0-18-amd64 (debian-kernel@lists.debian.org)");
        for (int i = 0; i < 120; ++i)
            add("kernel", "usb 1-3: new high-speed USB device number " + std::to_string(i));
        const int64_t end = now + bootLength - 60 * second;
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
                const int64_t sleep = between(30, 3600) * second;
                now += sleep;
                asleep += sleep;
                add("kernel", "PM: Triggering wakeup from IRQ 9");
                add("kernel", "PM: suspend exit");
                add("systemd-sleep", "System returned from sleep state.");
                add("systemd-logind", "Lid opened.");
            }
        }
    }
    return out;
}

struct Week {
    QTemporaryDir folder;
    int entries = 0;
    bool ready = false;

    Week() {
        const Export week = busyWeek();
        entries = week.entries();
        QProcess convert;
        convert.start(QStringLiteral("/lib/systemd/systemd-journal-remote"),
                      {QStringLiteral("--output=") + folder.filePath(QStringLiteral("system.journal")),
                       QStringLiteral("-")});
        convert.write(week.text().data(), qint64(week.text().size()));
        convert.closeWriteChannel();
        ready = convert.waitForFinished(120000) && convert.exitCode() == 0;
    }
};

void readAndWrite(benchmark::State& state) {
    static Week week;
    if (!week.ready) {
        state.SkipWithError("systemd-journal-remote could not make the journal");
        return;
    }
    std::size_t kept = 0, bytes = 0;
    for (auto _ : state) {
        const auto read = SystemJournal(week.folder.path().toStdString())
                              .read((weekEnd - days * 86400) * int64_t{1'000'000});
        const std::string text = PowerLogWriter::write(read.value(), {}, {});
        kept = read->entries.size();
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["journal_entries"] = week.entries;
    state.counters["boots"] = days * bootsPerDay;
    state.counters["kept"] = double(kept);
    state.counters["log_bytes"] = double(bytes);
}
BENCHMARK(readAndWrite)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
