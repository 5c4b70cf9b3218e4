#include "Dormio/DevModes/SelfTestReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

namespace dormio::testing {
namespace {

using SelfTest::Report;

TEST(SelfTestReport, PrintsEachLineWithItsMarkAndCountsTheChecks) {
    QStringList lines;
    Report report([&](const QString& line) { lines << line; });
    report.heading("Right now");
    report.check(true, "screen keepers");
    report.note("skipped quit: fixture pid 99991 is in use on this Mac");
    report.check(false, "powerd is housekeeping");
    report.check(true, "menu bar says so");
    report.summary();
    EXPECT_EQ(lines, (QStringList{"▸ Right now", "  ✓ screen keepers",
                                  "  – skipped quit: fixture pid 99991 is in use on this Mac",
                                  "  ✗ powerd is housekeeping", "  ✓ menu bar says so",
                                  "✗ self-test: 1 failed, 2 passed"}));
    EXPECT_EQ(report.passed(), 2);
    EXPECT_EQ(report.failures(), 1);
    EXPECT_EQ(report.status(), 1);
}

TEST(SelfTestReport, ARunWithoutFailuresSaysHowManyPassed) {
    QStringList lines;
    Report report([&](const QString& line) { lines << line; });
    for (int i = 0; i < 28; ++i)
        report.check(true, "holds");
    report.summary();
    EXPECT_EQ(lines.back(), "✓ self-test: all 28 checks passed");
    EXPECT_EQ(report.status(), 0);
}

// What a background read hands back arrives as a queued call; waiting must let it in.
TEST(SelfTestReport, WaitingRunsTheEventLoopUntilTheConditionHolds) {
    bool arrived = false;
    QTimer::singleShot(0, qApp, [&] { arrived = true; });
    QElapsedTimer clock;
    clock.start();
    SelfTest::waitUntil(20, [&] { return arrived; });
    EXPECT_TRUE(arrived);
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(SelfTestReport, AConditionThatHoldsIsNotWaitedFor) {
    bool ran = false;
    QTimer::singleShot(0, qApp, [&] { ran = true; });
    SelfTest::waitUntil(20, [] { return true; });
    EXPECT_FALSE(ran);
    QCoreApplication::processEvents();
}

TEST(SelfTestReport, AWaitEndsSilentlyAtItsDeadline) {
    QElapsedTimer clock;
    clock.start();
    int asked = 0;
    SelfTest::waitUntil(0.06, [&] {
        ++asked;
        return false;
    });
    EXPECT_GE(clock.elapsed(), 60);
    EXPECT_GE(asked, 2);
}

} // namespace
} // namespace dormio::testing
