// The recorder's pointer, clicks, captions and typing, on a clock the test steps.
#include "OstrelKit/Capture/DemoAnchors.h"
#include "RecorderFixture.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

namespace dormio::test {
namespace {

using Row = DemoRecorder::Row;

TEST_F(RecorderTest, BeforeStartNothingIsRecordedAndTheTimeIsZero) {
    show(QRect(10, 10, 100, 100));
    auto recorder = record(QRectF(0, 0, 200, 200));
    clock.advance(1);
    EXPECT_EQ(recorder->elapsed(), 0);
    EXPECT_EQ(recorder->framesWritten(), 0);

    recorder->start();
    EXPECT_EQ(recorder->framesWritten(), 1) << "start captures a frame at once";
    clock.advance(0.5);
    EXPECT_DOUBLE_EQ(recorder->elapsed(), 0.5);
    EXPECT_EQ(recorder->framesWritten(), 1 + 15);
}

TEST_F(RecorderTest, AMoveEasesInOneLoggedStepPerFrameAndSleepsAfterEach) {
    auto recorder = record(QRectF(0, 0, 100, 100), 4);
    recorder->start();
    ASSERT_EQ(recorder->cursor(), QPointF(50, 50)) << "the pointer starts at the region's centre";

    // At 4 frames a second a one-second move has four steps: p = 0.25, 0.5, 0.75, 1.
    Step move = recorder->move(QPointF(150, 50), 1);
    clock.advance(0.999);
    EXPECT_FALSE(move.done()) << "the last step sleeps too";
    clock.advance(0.001);
    EXPECT_TRUE(move.done());
    const QList<Row> expected{
        {0, 0.5, 0.5}, {0, 0.5625, 0.5}, {0.25, 1.0, 0.5}, {0.5, 1.4375, 0.5}, {0.75, 1.5, 0.5}};
    EXPECT_EQ(recorder->cursorLog(), expected) << "ease 0.0625 at a quarter, 0.5 at half; x past 1 unclamped";
    EXPECT_EQ(recorder->cursor(), QPointF(150, 50));
}

TEST_F(RecorderTest, AMoveOfNoTimeIsOneStepAndOneEmptySleep) {
    auto recorder = record(QRectF(0, 0, 100, 100));
    recorder->start();
    Step move = recorder->move(QPointF(0, 0), 0);
    EXPECT_EQ(recorder->cursor(), QPointF(0, 0));
    EXPECT_EQ(recorder->cursorLog().size(), 2);
    EXPECT_FALSE(move.done()) << "it still yields to the event loop once";
    clock.advance(0);
    EXPECT_TRUE(move.done());

    Step second = recorder->move(QPointF(100, 100), 1);
    clock.advance(1);
    EXPECT_TRUE(second.done());
    EXPECT_EQ(recorder->cursorLog().size(), 2 + 30) << "one second at 30 frames a second";
}

TEST_F(RecorderTest, RowsAreFractionsOfTheRegionFromItsTopLeftCorner) {
    auto recorder = record(QRectF(100, 50, 200, 100));
    recorder->start();
    for (const QPointF to : {QPointF(100, 50), QPointF(300, 150), QPointF(400, 0)}) {
        Step move = recorder->move(to, 0);
        clock.advance(0);
    }
    recorder->setRegion(QRectF(0.5, 0, 399.2, 99.5)); // made integral: 0, 0, 400 x 100
    EXPECT_EQ(recorder->region(), QRect(0, 0, 400, 100));
    Step last = recorder->move(QPointF(100, 25), 0);
    const QList<Row> expected{{0, 0.5, 0.5}, {0, 0, 0}, {0, 1, 1}, {0, 1.5, -0.5}, {0, 0.25, 0.25}};
    EXPECT_EQ(recorder->cursorLog(), expected);
    EXPECT_EQ(recorder->pixelSize(), QSize(200, 100)) << "the movie keeps its size";
}

TEST_F(RecorderTest, AMissingAnchorIsSaidAndSkippedButItsClickIsStillLogged) {
    auto recorder = record(QRectF(0, 0, 100, 100));
    recorder->start();
    ::testing::internal::CaptureStdout();
    Step move = recorder->move(QStringLiteral("never-laid-out"), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "demo: no anchor never-laid-out\n");
    EXPECT_TRUE(move.done()) << "no move and no wait";
    EXPECT_EQ(recorder->cursorLog().size(), 1);
    EXPECT_EQ(recorder->cursor(), QPointF(50, 50));

    ::testing::internal::CaptureStdout();
    Step click = recorder->click(QStringLiteral("never-laid-out"), 1);
    ::testing::internal::GetCapturedStdout();
    clock.advance(0.119);
    EXPECT_TRUE(recorder->clicks().isEmpty());
    clock.advance(0.001);
    EXPECT_EQ(recorder->clicks(), (QList<Row>{{0.12, 0.5, 0.5}}))
        << "the click lands 0.12 s in, where the pointer is";
    clock.advance(0.179);
    EXPECT_FALSE(click.done());
    clock.advance(0.001);
    EXPECT_TRUE(click.done()) << "and the press ends 0.18 s later";
}

TEST_F(RecorderTest, AClickOnAnAnchorAimsAtItsCentre) {
    demoAnchor(&show(QRect(40, 20, 20, 10)), QStringLiteral("quit-Music"));
    auto recorder = record(QRectF(0, 0, 100, 100));
    recorder->start();
    Step click = recorder->click(QStringLiteral("quit-Music"), 0);
    clock.advance(0.3);
    EXPECT_TRUE(click.done());
    EXPECT_EQ(recorder->cursor(), QPointF(50, 25));
    EXPECT_EQ(recorder->clicks(), (QList<Row>{{0.12, 0.5, 0.25}}));

    Step at = recorder->click(QPointF(10, 90), 0);
    clock.advance(0.3);
    EXPECT_EQ(recorder->clicks().back(), (Row{0.42, 0.1, 0.9}));
}

TEST_F(RecorderTest, ACaptionIsKeptOnlyWhenShownForMoreThanAFifthOfASecond) {
    auto recorder = record(QRectF(0, 0, 100, 100));
    recorder->caption(QStringLiteral("before the start")); // starts at 0
    recorder->start();
    clock.advance(0.1);
    recorder->caption(QStringLiteral("brief"));
    clock.advance(0.1);
    recorder->caption(QStringLiteral("long enough"));
    clock.advance(0.3);
    recorder->caption(QStringLiteral("last"));
    clock.advance(1);
    recorder->clearCaption();
    recorder->clearCaption(); // none open: nothing happens
    ASSERT_EQ(recorder->captions().size(), 2);
    EXPECT_EQ(recorder->captions()[0].text, QStringLiteral("long enough"));
    EXPECT_DOUBLE_EQ(recorder->captions()[0].start, 0.2);
    EXPECT_DOUBLE_EQ(recorder->captions()[0].end, 0.5) << "ends when it is replaced";
    EXPECT_EQ(recorder->captions()[1].text, QStringLiteral("last"));
    EXPECT_DOUBLE_EQ(recorder->captions()[1].end, 1.5);
}

TEST_F(RecorderTest, ACaptionShownForAFifthOfASecondOrLessIsDroppedWheneverItIsShown) {
    struct Case {
        double shown;
        bool kept;
    };
    const Case cases[] = {{0.15, false}, {0.2, false}, {0.21, true}};
    // Late in a recording the times' difference as doubles lands a hair off the milliseconds stepped.
    for (const double opened : {0.0, 2.0, 7.3}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << "opened at " << opened << ", shown " << c.shown);
            KitClock stepped(KitClock::Mode::step);
            DemoRecorder recorder(folder(), QRectF(0, 0, 100, 100), 30, {Qt::white}, stepped);
            recorder.start();
            stepped.advance(opened);
            recorder.caption(QStringLiteral("shown"));
            stepped.advance(c.shown);
            recorder.clearCaption();
            ASSERT_EQ(recorder.captions().size(), c.kept ? 1 : 0);
            if (c.kept) {
                EXPECT_DOUBLE_EQ(recorder.captions()[0].start, opened);
                EXPECT_DOUBLE_EQ(recorder.captions()[0].end, opened + c.shown);
            }
        }
    }
}

TEST_F(RecorderTest, TypingHandsOverTheTextSoFarAndPausesLongerAfterASpace) {
    struct Case {
        QString text;
        QStringList typed;
        QList<double> pauses; // in units of the per-character time
    };
    const QList<Case> cases{
        {"a b", {"a", "a ", "a b"}, {1.0, 1.6, 1.0}},
        // A letter and its combining accent are one character.
        {QStringLiteral("e\u0301 "), {QStringLiteral("e\u0301"), QStringLiteral("e\u0301 ")}, {1.0, 1.6}}};
    auto recorder = record(QRectF(0, 0, 100, 100));
    recorder->start();
    const double perCharacter = 0.1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        QStringList typed;
        Step typing = recorder->type(
            c.text, [&](const QString& text) { typed << text; }, perCharacter);
        for (qsizetype i = 0; i < c.pauses.size(); ++i) {
            EXPECT_EQ(typed, c.typed.mid(0, i + 1));
            clock.advance(c.pauses[i] * perCharacter - 0.001);
            EXPECT_EQ(typed.size(), i + 1) << "still pausing after character " << i;
            clock.advance(0.001);
        }
        EXPECT_TRUE(typing.done());
        EXPECT_EQ(typed, c.typed);
    }
    EXPECT_EQ(recorder->cursorLog().size(), 1) << "typing moves no pointer";
}

TEST_F(RecorderTest, AScriptDroppedWhileItSleepsNeverRunsAgain) {
    auto recorder = record(QRectF(0, 0, 100, 100));
    recorder->start();
    int steps = 0;
    {
        Step typing = recorder->type(
            "abc", [&](const QString&) { ++steps; }, 0.1);
        clock.advance(0.1);
        EXPECT_EQ(steps, 2);
    }
    clock.advance(1);
    EXPECT_EQ(steps, 2);
}

TEST_F(RecorderTest, AMakingThatCannotBeDoneSaysWhy) {
    QFile blocker(home.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto failure = [&](const QString& folder, int fps) -> QString {
        try {
            const DemoRecorder recorder(folder, QRectF(0, 0, 100, 100), fps, {Qt::white}, clock);
        } catch (const DemoRecorder::Failure& failure) {
            return failure.message;
        }
        return QString();
    };
    EXPECT_TRUE(
        failure(home.filePath("file/demo"), 30).startsWith(QStringLiteral("Couldn’t make the folder “")));
    EXPECT_EQ(failure(folder(), 0), QStringLiteral("can't add input"));
    ASSERT_TRUE(QDir().mkpath(file("raw.mov/inside")));
    EXPECT_TRUE(failure(folder(), 30).startsWith(QStringLiteral("Couldn’t create the movie “")))
        << "a folder in the movie's place is not deleted";
}

TEST_F(RecorderTest, AnOldMovieIsReplacedAndAnUnfinishedOneLeavesNoFile) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile old(file("raw.mov"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an old movie");
    old.close();
    {
        auto recorder = record(QRectF(0, 0, 100, 100));
        EXPECT_EQ(QFileInfo(file("raw.mov")).size(), 0) << "made anew";
        recorder->start();
    }
    EXPECT_FALSE(QFile::exists(file("raw.mov")));
}

} // namespace
} // namespace dormio::test
