#include "DormioKit/ProcessRunner.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace dormio::PowerLogParser {
void PrintTo(RunOutcome outcome, std::ostream* out) {
    constexpr const char* names[] = {"completed", "timedOut", "couldNotStart"};
    *out << names[static_cast<int>(outcome)];
}
} // namespace dormio::PowerLogParser

using namespace dormio;
using PowerLogParser::RunOutcome;

namespace {

using Seconds = std::chrono::duration<double>;

struct TimedRun {
    PowerLogParser::RunResult result;
    double seconds;
};

TimedRun runTimed(const std::string& path, const std::vector<std::string>& args, double timeout,
                  double grace = PowerLogParser::terminationGrace) {
    const auto start = std::chrono::steady_clock::now();
    auto result = PowerLogParser::run(path, args, timeout, grace);
    return {std::move(result), Seconds(std::chrono::steady_clock::now() - start).count()};
}

TimedRun shell(const std::string& script, double timeout, double grace = PowerLogParser::terminationGrace) {
    return runTimed("/bin/sh", {"-c", script}, timeout, grace);
}

// A grace the test waits out, short to keep the tests quick; and one so long that a run ending well
// before it shows that the child was ended by the termination request, not by the kill.
constexpr double shortGrace = 0.3;
constexpr double longGrace = 30;
// Room for a loaded machine's scheduling.
constexpr double slack = 1.5;
// A time-out long enough for a child to reach the point the test is about (a trap set, a grandchild
// started, a process group left) before it is asked to end, also on a loaded machine.
constexpr double settled = 0.5;

struct OutputCase {
    const char* what;
    std::string script;
    std::string expected;
};

} // namespace

TEST(ProcessRunner, HandsBackStandardOutputOnly) {
    const std::vector<OutputCase> cases = {
        {"standard output", "printf 'hello\\nworld\\n'", "hello\nworld\n"},
        {"nothing printed", "exit 0", ""},
        {"standard error only", "echo oops >&2", ""},
        {"both streams", "echo out; echo err >&2; echo more", "out\nmore\n"},
        {"a failing exit status is still output", "echo partial; exit 3", "partial\n"},
        {"no final line ending, CR LF kept", "printf 'a\\r\\nb'", "a\r\nb"},
        {"a lone 0xFF is replaced, the rest intact", "printf 'before\\377after\\n'",
         "before\xEF\xBF\xBD"
         "after\n"},
        {"a cut multi-byte sequence is one replacement", "printf 'x\\342\\200y'", "x\xEF\xBF\xBDy"},
    };
    for (const auto& c : cases) {
        const auto run = shell(c.script, 5);
        EXPECT_EQ(run.result.text, c.expected) << c.what;
        EXPECT_EQ(run.result.outcome, RunOutcome::completed) << c.what;
    }
}

TEST(ProcessRunner, PassesArgumentsAsGivenWithoutAShell) {
    const auto run = runTimed("/bin/echo", {"a  b", "$HOME", "*", "'q'"}, 5);
    EXPECT_EQ(run.result.text, "a  b $HOME * 'q'\n");
    EXPECT_EQ(run.result.outcome, RunOutcome::completed);
}

TEST(ProcessRunner, AProgramThatCannotStartReturnsAtOnce) {
    const std::vector<std::pair<const char*, std::string>> paths = {
        {"missing file", "/nonexistent/dormio-no-such-tool"},   {"a directory", "/"},
        {"not executable", DORMIO_TEST_DATA "/assertions.txt"}, {"empty path", ""},
        {"NUL inside the path", std::string("/bin/sh\0x", 9)},
    };
    for (const auto& [what, path] : paths) {
        const auto run = runTimed(path, {"-c", "echo hi"}, 5);
        EXPECT_EQ(run.result.text, "") << what;
        EXPECT_EQ(run.result.outcome, RunOutcome::couldNotStart) << what;
        EXPECT_LT(run.seconds, 1.0) << what;
    }
    const auto withNulArgument = runTimed("/bin/echo", {std::string("a\0b", 3)}, 5);
    EXPECT_EQ(withNulArgument.result.outcome, RunOutcome::couldNotStart);
}

TEST(ProcessRunner, EndlessOutputIsCutAtTheTimeOut) {
    const auto run = shell("while :; do echo 0123456789; done", 0.2, longGrace);
    EXPECT_EQ(run.result.outcome, RunOutcome::timedOut);
    EXPECT_GE(run.seconds, 0.2);
    EXPECT_LT(run.seconds, 0.2 + slack);
    ASSERT_FALSE(run.result.text.empty());
    // Every whole line is intact; only the last one may be cut.
    const std::string& text = run.result.text;
    const size_t lastBreak = text.rfind('\n');
    for (size_t at = 0; lastBreak != std::string::npos && at < lastBreak; at += 11)
        ASSERT_EQ(text.substr(at, 11), "0123456789\n") << "at " << at;
}

TEST(ProcessRunner, AChildThatIgnoresTheTerminationRequestIsKilledAfterTheGrace) {
    const auto run = shell("trap '' TERM; echo started; sleep 30", settled, shortGrace);
    EXPECT_EQ(run.result.outcome, RunOutcome::timedOut);
    EXPECT_EQ(run.result.text, "started\n");
    EXPECT_GE(run.seconds, settled + shortGrace - 0.05);
    EXPECT_LT(run.seconds, settled + shortGrace + slack);

    // Without a grace the kill follows the request at once.
    for (const double none : {0.0, std::nan("")}) {
        const auto killed = shell("trap '' TERM; echo started; sleep 30", settled, none);
        EXPECT_EQ(killed.result.outcome, RunOutcome::timedOut) << none;
        EXPECT_EQ(killed.result.text, "started\n") << none;
        EXPECT_LT(killed.seconds, settled + slack) << none;
    }
}

TEST(ProcessRunner, TheTerminationReachesGrandchildren) {
    // Only the child's process group ending too lets the pipe close before the grace runs out.
    const auto run = shell("sleep 30 & echo waiting; wait", settled, longGrace);
    EXPECT_EQ(run.result.outcome, RunOutcome::timedOut);
    EXPECT_EQ(run.result.text, "waiting\n");
    EXPECT_LT(run.seconds, settled + slack);
}

TEST(ProcessRunner, AGrandchildHoldingThePipeDoesNotHangTheRun) {
    const auto run = shell("sleep 30 & echo $!", 20, shortGrace);
    EXPECT_EQ(run.result.outcome, RunOutcome::completed);
    EXPECT_GE(run.seconds, shortGrace - 0.05);
    EXPECT_LT(run.seconds, shortGrace + slack);
    const pid_t grandchild = std::stoi(run.result.text);
    ASSERT_GT(grandchild, 1);
    ::kill(grandchild, SIGKILL);
}

TEST(ProcessRunner, AChildThatLeavesItsProcessGroupIsStillEnded) {
    // It moves into the test's own group, out of reach of a signal to the group it was started in.
    const auto run =
        runTimed("/usr/bin/perl",
                 {"-e", "setpgrp(0, getpgrp(getppid())) or die; $| = 1; print qq(moved\\n); sleep 30"},
                 settled, longGrace);
    EXPECT_EQ(run.result.outcome, RunOutcome::timedOut);
    EXPECT_EQ(run.result.text, "moved\n");
    EXPECT_LT(run.seconds, settled + slack);
}

TEST(ProcessRunner, AChildThatClosesItsOutputIsStillBoundByTheTimeOut) {
    const auto run = shell("echo bye; exec >&-; sleep 30", settled, longGrace);
    EXPECT_EQ(run.result.outcome, RunOutcome::timedOut);
    EXPECT_EQ(run.result.text, "bye\n");
    EXPECT_LT(run.seconds, settled + slack);
}

TEST(ProcessRunner, AMebibyteOnStandardErrorDoesNotBlockTheChild) {
    const auto run = shell("head -c 1048576 /dev/zero >&2; echo done", 1);
    EXPECT_EQ(run.result.outcome, RunOutcome::completed);
    EXPECT_EQ(run.result.text, "done\n");
}

TEST(ProcessRunner, LargeOutputArrivesWhole) {
    const auto run = shell("head -c 3000000 /dev/zero | tr '\\0' x", 20);
    EXPECT_EQ(run.result.outcome, RunOutcome::completed);
    EXPECT_EQ(run.result.text, std::string(3000000, 'x'));
}

TEST(ProcessRunner, TimeOutsThatAreNotPositiveEndTheChildAtOnce) {
    for (const double timeout : {0.0, -5.0, std::nan("")}) {
        const auto run = shell("exec sleep 30", timeout, longGrace);
        EXPECT_EQ(run.result.outcome, RunOutcome::timedOut) << timeout;
        EXPECT_LT(run.seconds, slack) << timeout;
    }
    const auto endless = shell("echo quick", std::numeric_limits<double>::infinity());
    EXPECT_EQ(endless.result.outcome, RunOutcome::completed);
    EXPECT_EQ(endless.result.text, "quick\n");
}

TEST(ProcessRunner, RunsConcurrently) {
    std::vector<std::thread> threads;
    std::vector<std::string> texts(8);
    for (size_t i = 0; i < texts.size(); ++i)
        threads.emplace_back(
            [&texts, i] { texts[i] = PowerLogParser::run("/bin/echo", {std::to_string(i)}, 5).text; });
    for (auto& thread : threads)
        thread.join();
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], std::to_string(i) + "\n");
}

TEST(ProcessRunner, LoadingTheSystemLogPassesOnThatTheToolCouldNotStart) {
    if (std::filesystem::exists("/usr/bin/pmset")) GTEST_SKIP() << "the power tool exists here";
    const auto loaded = PowerLogParser::loadSystemLog();
    EXPECT_EQ(loaded.outcome, RunOutcome::couldNotStart);
    EXPECT_TRUE(loaded.log.events.empty());
    EXPECT_FALSE(loaded.log.firstDate.has_value());
    EXPECT_EQ(loaded.log.skippedLines, 0);
}
