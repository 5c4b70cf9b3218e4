#include "OstrelKit/KitClock.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace dormio {
namespace {

TEST(KitClock, StepModeRunsDueTimersInTimeOrderAndMovesNow) {
    KitClock clock(KitClock::Mode::step);
    QObject owner;
    QStringList ran;
    const QDateTime start = clock.now();
    clock.every(10, &owner, [&] { ran << QString("every@%1").arg(start.secsTo(clock.now())); });
    clock.after(15, &owner, [&] { ran << QString("once@%1").arg(start.secsTo(clock.now())); });

    clock.advance(9.999);
    EXPECT_TRUE(ran.isEmpty());
    clock.advance(25.001);
    EXPECT_EQ(ran, (QStringList{"every@10", "once@15", "every@20", "every@30"}));
    EXPECT_EQ(start.msecsTo(clock.now()), 35000);
    clock.advance(100);
    EXPECT_EQ(ran.size(), 4 + 10); // the one-shot timer ran once only
}

TEST(KitClock, ATimerEndsWithItsReceiver) {
    KitClock clock(KitClock::Mode::step);
    int runs = 0;
    auto owner = std::make_unique<QObject>();
    clock.every(1, owner.get(), [&] { ++runs; });
    clock.after(5, owner.get(), [&] { ++runs; });
    clock.advance(2);
    owner.reset();
    clock.advance(10);
    EXPECT_EQ(runs, 2);
}

TEST(KitClock, ATimerSetFromATimerRunsInTheSameStepWhenDue) {
    KitClock clock(KitClock::Mode::step);
    QObject owner;
    QStringList ran;
    clock.after(1, &owner, [&] {
        ran << "first";
        clock.after(1, &owner, [&] { ran << "second"; });
    });
    clock.advance(3);
    EXPECT_EQ(ran, (QStringList{"first", "second"}));
}

} // namespace
} // namespace dormio
