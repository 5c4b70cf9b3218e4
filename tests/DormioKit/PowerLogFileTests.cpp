// A log read from a file in pieces is the log of its whole text, and a log's texts live as long as any
// copy of it.

#include "DormioKit/PowerLogParser.h"
#include "PowerLogLines.h"
#include "Random.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace dormio;
namespace Parser = dormio::PowerLogParser;

namespace {

std::string optionalText(const auto& value) {
    if (!value) return "-";
    std::ostringstream out;
    out << *value;
    return out.str();
}

// Every field of every record, one record a line, so that two logs compare as texts.
std::string describe(const PowerLog& log) {
    std::ostringstream out;
    out.precision(17);
    for (const PowerEvent& e : log.events)
        out << "event " << e.date.seconds << ' ' << rawValue(e.kind) << " [" << e.raw << "] [" << e.cause
            << "] " << optionalText(e.onBattery) << ' ' << optionalText(e.charge) << '\n';
    for (const WakeRequest& r : log.requests)
        out << "request " << r.logged.seconds << " [" << r.process << "] [" << r.request << "] "
            << (r.wakeAt ? std::to_string(r.wakeAt->seconds) : "-") << " [" << r.info << "] " << r.chosen
            << '\n';
    for (const AssertionRelease& r : log.releases)
        out << "release " << r.end.seconds << ' ' << r.duration << ' ' << r.pid << " [" << r.process << "] ["
            << r.type << "] [" << r.name << "]\n";
    for (const DisplayChange& d : log.display)
        out << "display " << d.date.seconds << ' ' << d.on << '\n';
    out << "first " << (log.firstDate ? std::to_string(log.firstDate->seconds) : "-") << " skipped "
        << log.skippedLines << '\n';
    return out.str();
}

// Lines of every kind the reader keeps or counts, in an order drawn from `seed`, some with CR LF ends and
// some far longer than a piece of the file reader, so that lines straddle every kind of piece boundary.
std::string mixedLog(uint64_t seed, std::size_t bytes) {
    Random random(seed);
    int64_t now = 1773100800; // 2026-03-10
    std::string text = "Time stamp                Domain                  \tMessage\tDuration\tDelay\n";
    while (text.size() < bytes) {
        now += random.between(0, 90);
        const std::string date = LogLines::date(now);
        std::string line;
        switch (random.between(0, 7)) {
        case 0:
            line = LogLines::line(date, "Sleep",
                                  "Entering Sleep state due to 'Idle Sleep': Using Batt (Charge:80%)",
                                  "12 secs");
            break;
        case 1:
            line =
                LogLines::line(date, "DarkWake", "DarkWake from Deep Idle [CDNP] : due to RTC/Maintenance");
            break;
        case 2:
            line = LogLines::line(date, "Assertions",
                                  "PID " + std::to_string(random.between(1, 9000)) + "(proc" +
                                      std::to_string(random.between(0, 30)) +
                                      ") Released PreventUserIdleSystemSleep \"task " +
                                      std::to_string(random.between(0, 5)) + "\" " +
                                      LogLines::hms(random.between(0, 4000)) + "  id:0x0x1");
            break;
        case 3:
            line = LogLines::line(date, "Assertions", "PID 9(a) Created PreventSystemSleep \"x\" 00:00:00");
            break;
        case 4:
            line = LogLines::line(date, "Wake Requests",
                                  "[*process=dasd request=Maintenance wakeAt=" + LogLines::clock(now + 600) +
                                      " info=\"com.apple.dasd [" + std::to_string(random.between(0, 3)) +
                                      "]\"] [process=powerd request=Wake]");
            break;
        case 5:
            line = LogLines::line(date, "Notification",
                                  random.chance(0.5) ? "Display is turned on" : "Display is turned off");
            break;
        case 6:
            line = LogLines::line(
                date, "Kernel Client Acks",
                std::string(random.chance(0.01) ? random.between(300'000, 600'000) : random.between(10, 200),
                            'x'));
            break;
        default:
            line = date.substr(0, 10) + " no tab in this line at all, but long enough\n";
            break;
        }
        if (random.chance(0.2)) line.insert(line.size() - 1, "\r");
        text += line;
    }
    return text + LogLines::line(LogLines::date(now + 1), "Wake", "Wake due to lid").substr(0, 60); // no LF
}

class PowerLogFile : public testing::Test {
protected:
    std::string write(const std::string& text) {
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }

    ~PowerLogFile() override { std::filesystem::remove(path_); }

private:
    std::string path_ = testing::TempDir() + "power-log-" + std::to_string(::getpid()) + ".log";
};

TEST_F(PowerLogFile, ReadsTheLogOfItsWholeText) {
    for (const uint64_t seed : {1u, 2u, 3u}) {
        const std::string text = mixedLog(seed, 3 << 20);
        const std::optional<PowerLog> read = Parser::parseFile(write(text)).log;
        ASSERT_TRUE(read) << seed;
        const PowerLog whole = Parser::parse(text);
        ASSERT_GT(whole.releases.size(), 100u);
        ASSERT_GT(whole.requests.size(), 100u);
        ASSERT_GT(whole.skippedLines, 10);
        EXPECT_EQ(describe(*read), describe(whole)) << seed;
    }
}

TEST_F(PowerLogFile, ReadsSmallAndEmptyFilesLikeTheirText) {
    for (const std::string& text :
         {std::string(), std::string("\n"), std::string("2026-03-10 23:15:02 +0000 Sleep"),
          LogLines::line("2026-03-10 23:15:02 +0000", "Sleep", "Entering Sleep") + "\r",
          LogLines::line("2026-03-10 23:15:02 +0000", "Start", "x")}) {
        const std::optional<PowerLog> read = Parser::parseFile(write(text)).log;
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(describe(*read), describe(Parser::parse(text))) << text;
    }
}

TEST_F(PowerLogFile, RefusesWhatCannotBeReadOrIsNotUtf8) {
    EXPECT_EQ(Parser::parseFile(testing::TempDir() + "no-such-power.log").problem,
              Parser::FileProblem::unreadable);
    // The ill-formed byte stands far beyond the first piece, after many lines already read.
    const std::string text =
        mixedLog(4, 1 << 20) + "\n" +
        LogLines::line("2026-03-10 23:15:02 +0000", "Kernel Client Acks", "bad \xFF byte");
    const Parser::FileLog read = Parser::parseFile(write(text));
    EXPECT_FALSE(read.log);
    EXPECT_EQ(read.problem, Parser::FileProblem::notUtf8);
}

// A read that could never end, or end only when memory runs out, is refused before it starts.
TEST_F(PowerLogFile, RefusesWhatIsNoRegularFileUnread) {
    const std::string fifo = testing::TempDir() + "power-log-pipe-" + std::to_string(::getpid());
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), testing::TempDir()}) {
        const Parser::FileLog read = Parser::parseFile(path);
        EXPECT_FALSE(read.log) << path;
        EXPECT_EQ(read.problem, Parser::FileProblem::notAFile) << path;
    }
    ::unlink(fifo.c_str());
}

TEST_F(PowerLogFile, RefusesAFileLargerThanTheLimitAlsoWhenItsSizeIsNotKnownAhead) {
    const std::string text = LogLines::line("2026-03-10 23:15:02 +0000", "Sleep", "Entering Sleep");
    EXPECT_TRUE(Parser::parseFile(write(text), text.size()).log);
    EXPECT_EQ(Parser::parseFile(write(text), text.size() - 1).problem, Parser::FileProblem::tooLarge);
    // A regular file that tells no size before it is read.
    EXPECT_EQ(Parser::parseFile("/proc/self/maps", 16).problem, Parser::FileProblem::tooLarge);
}

TEST_F(PowerLogFile, StopsWhenAskedBetweenPieces) {
    const std::string path = write(mixedLog(5, 4 << 20));
    // Read whole or in parts on threads of their own, the question is put one at a time, and not again once
    // answered yes.
    for (const unsigned parts : {1u, 3u}) {
        int asked = 0;
        const Parser::FileLog read = Parser::parseFile(
            path, Parser::largestLogFile, [&] { return ++asked > 2; }, parts);
        EXPECT_FALSE(read.log) << parts;
        EXPECT_EQ(read.problem, Parser::FileProblem::abandoned) << parts;
        EXPECT_EQ(asked, 3) << parts;
    }
}

// Texts whose few lines fall on every side of the cuts between parts, however many parts there are.
std::vector<std::string> cutTexts() {
    const auto line = [](const char* date, const char* type, const std::string& message) {
        return LogLines::line(date, type, message);
    };
    const std::string release = "PID 7(backupd) Released PreventSystemSleep \"Time Machine\" 00:00:09";
    return {
        "",
        "\n\n\n",
        // The log's first date is its first dated line's only when no state change is earlier, so a later
        // part's earlier line of another type must not count.
        line("2026-03-10 10:00:00 +0000", "Sleep", "Entering Sleep") +
            line("2026-03-10 10:00:01 +0000", "Idle", "System idle") +
            line("2026-03-10 09:00:00 +0000", "Idle", "System idle") +
            line("2026-03-10 11:00:00 +0000", "Wake", "Wake due to lid"),
        "undated first line, long enough to look like one\n" +
            line("2026-03-10 09:00:00 +0000", "Idle", "x") +
            line("2026-03-10 08:00:00 +0000", "Sleep", "Entering Sleep") +
            line("2026-03-10 07:00:00 +0000", "Idle", "x"),
        // Out of order across parts: equal dates keep their order in the text.
        line("2026-03-10 10:00:09 +0000", "Assertions", release) +
            line("2026-03-10 10:00:05 +0000", "Assertions", release) +
            line("2026-03-10 10:00:09 +0000", "Assertions",
                 "PID 8(mds) Released PreventSystemSleep \"a\" 00:00:01") +
            line("2026-03-10 10:00:05 +0000", "Wake Requests", "[*process=dasd request=Maintenance]") +
            line("2026-03-10 10:00:01 +0000", "Notification", "Display is turned off"),
        // In order at every cut of two parts, out of order within the later part only.
        line("2026-03-10 10:00:01 +0000", "Sleep", "Entering Sleep") +
            line("2026-03-10 10:00:02 +0000", "Assertions", release) +
            line("2026-03-10 10:00:03 +0000", "Wake", "Wake due to lid") +
            line("2026-03-10 10:00:04 +0000", "Assertions", release) +
            line("2026-03-10 10:00:09 +0000", "Sleep", "Entering Sleep due to 'b'") +
            line("2026-03-10 10:00:08 +0000", "Wake", "Wake due to a") +
            line("2026-03-10 10:00:09 +0000", "Assertions", release) +
            line("2026-03-10 10:00:08 +0000", "Assertions",
                 "PID 8(mds) Released PreventSystemSleep \"a\" 00:00:01"),
        // Text that is not UTF-8 in one part only, repaired there alone.
        line("2026-03-10 10:00:00 +0000", "Sleep", "Entering Sleep \xFF due to 'x'") +
            line("2026-03-10 10:00:01 +0000", "Wake", "Wake due to \xC3\xA9 lid"),
        // One line longer than every part, between two short ones, and a last line without its LF.
        line("2026-03-10 10:00:00 +0000", "Sleep", "a") +
            line("2026-03-10 10:00:01 +0000", "Wake", std::string(5000, 'w')) + "2026-03-10 10:00:02 +0000",
        line("2026-03-10 10:00:00 +0000", "Sleep", "CR LF ends") + "\r\n\r\n" +
            line("2026-03-10 10:00:01 +0000", "Wake", "x").substr(0, 40),
    };
}

// However many parts a log is read in, on threads of their own, it is the log read whole, from its text and
// from its file: the test logs, generated logs and texts whose lines fall on every side of the cuts.
TEST_F(PowerLogFile, ReadInPartsIsTheLogReadWhole) {
    std::vector<std::string> texts = cutTexts();
    for (const uint64_t seed : {6u, 7u})
        texts.push_back(mixedLog(seed, 1 << 20));
    for (const auto& entry : std::filesystem::directory_iterator(std::string(DORMIO_TEST_DATA) + "/nights"))
        if (entry.path().extension() == ".log") {
            std::ifstream in(entry.path(), std::ios::binary);
            texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    for (const std::string& text : texts) {
        const std::string whole = describe(Parser::parse(text, 1));
        const Parser::FileLog wholeFile = Parser::parseFile(write(text), Parser::largestLogFile, {}, 1);
        for (const unsigned parts : {2u, 3u, 4u, 5u, 7u, 12u}) {
            const std::string_view start = std::string_view(text).substr(0, 40);
            EXPECT_EQ(describe(Parser::parse(text, parts)), whole) << parts << " parts of " << start;
            const Parser::FileLog file = Parser::parseFile(write(text), Parser::largestLogFile, {}, parts);
            ASSERT_EQ(file.log.has_value(), wholeFile.log.has_value()) << parts << " parts of " << start;
            if (file.log)
                EXPECT_EQ(describe(*file.log), describe(*wholeFile.log)) << parts << " parts of " << start;
            else
                EXPECT_EQ(file.problem, wholeFile.problem) << parts << " parts of " << start;
        }
    }
}

TEST(PowerLogTexts, OutliveTheTextAndTheLogTheyWereReadFrom) {
    PowerLog copy;
    {
        std::string text =
            LogLines::line("2026-03-10 23:15:02 +0000", "Assertions",
                           "PID 7(a long process name) Released PreventSystemSleep \"a long "
                           "assertion name\" 00:00:09") +
            LogLines::line("2026-03-10 23:15:03 +0000", "Wake Requests",
                           "[*process=a.long.process.name request=SomeRequest info=\"an info\"]");
        const PowerLog log = Parser::parse(text);
        text.assign(text.size(), '#');
        copy = log;
    }
    ASSERT_EQ(copy.releases.size(), 1u);
    EXPECT_EQ(copy.releases[0].process, "a long process name");
    EXPECT_EQ(copy.releases[0].name, "a long assertion name");
    ASSERT_EQ(copy.requests.size(), 1u);
    EXPECT_EQ(copy.requests[0].process, "a.long.process.name");
    EXPECT_EQ(copy.requests[0].info, "an info");
}

TEST(PowerLogTexts, AreKeptOnceHoweverOftenTheyRecur) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += LogLines::line("2026-03-10 23:15:02 +0000", "Assertions",
                               "PID 7(backupd) Released PreventSystemSleep \"Time Machine backup\" 00:00:09");
    const PowerLog log = Parser::parse(text);
    ASSERT_EQ(log.releases.size(), 100u);
    for (const AssertionRelease& release : log.releases) {
        EXPECT_EQ(release.name.data(), log.releases[0].name.data());
        EXPECT_EQ(release.process.data(), log.releases[0].process.data());
    }
}

} // namespace
