// A recording read back with FFmpeg: the container, the codec, the times and the pixels of the frames.
#include "MovieFile.h"
#include "OstrelKit/Capture/MovieWriter.h"
#include "RecorderFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace dormio::test {
namespace {

// Channels within what H.264 at this bit rate and half-resolution colour keep of a flat area.
void expectColour(const QImage& frame, QPoint at, QColor expected) {
    const QColor seen = frame.pixelColor(at);
    const int off =
        std::max({std::abs(seen.red() - expected.red()), std::abs(seen.green() - expected.green()),
                  std::abs(seen.blue() - expected.blue())});
    EXPECT_LE(off, 10) << "at " << at.x() << "," << at.y() << ": " << seen.name().toStdString() << " for "
                       << expected.name().toStdString();
}

TEST_F(RecorderTest, ASecondOfAWindowOfKnownColoursReadsBackAsRecorded) {
    const QColor red(200, 40, 40), blue(40, 70, 200), top(240, 240, 240), bottom(60, 60, 60);
    QWidget& window = show(QRect(60, 40, 100, 60), red);
    auto* right = new Swatch(blue, QRect(50, 0, 50, 60), &window);
    right->show();
    auto recorder = record(QRectF(40, 20, 160, 100), 30, {top, bottom});
    recorder->start();
    Step move = recorder->move(QPointF(150, 60), 1);
    clock.advance(1);
    ASSERT_TRUE(move.done());
    recorder->finish(QStringLiteral("colours"));

    const std::optional<MovieFile> movie = readMovie(file("raw.mov"));
    ASSERT_TRUE(movie);
    EXPECT_TRUE(movie->container.contains(QStringLiteral("mov")));
    EXPECT_EQ(movie->codec, QStringLiteral("h264"));
    EXPECT_EQ(QSize(movie->width, movie->height), QSize(160, 100));
    EXPECT_EQ(movie->timeBaseNum, 1);
    EXPECT_EQ(movie->timeBaseDen, 600);
    EXPECT_FALSE(movie->bFrames);

    // Frames at the start and at every tick of 33 ms; the finish, under half a frame after the last, adds
    // none.
    EXPECT_EQ(movie->frames.size(), recorder->framesWritten());
    ASSERT_EQ(movie->stamps.size(), 31);
    for (qsizetype i = 0; i < movie->stamps.size(); ++i)
        EXPECT_NEAR(movie->stamps[i], std::llround(i * 0.033 * 600), 1) << "frame " << i;
    // The pointer's rows were logged at the same moments, a step per frame.
    for (const DemoRecorder::Row& row : recorder->cursorLog()) {
        const long long stamp = std::llround(row[0] * 600);
        EXPECT_TRUE(std::any_of(movie->stamps.begin(), movie->stamps.end(),
                                [&](long long frame) { return std::abs(frame - stamp) <= 1; }))
            << "no frame at " << row[0];
    }
    ASSERT_FALSE(movie->keyFrames.isEmpty());
    EXPECT_EQ(movie->keyFrames.front(), 0);
    QList<int> keys = movie->keyFrames;
    keys.append(int(movie->stamps.size()));
    for (qsizetype i = 1; i < keys.size(); ++i)
        EXPECT_LE(keys[i] - keys[i - 1], 30) << "a key frame every second";

    const QImage& frame = movie->frames.back();
    QDir().mkpath(QStringLiteral(OSTREL_GALLERY_DIR "/capture"));
    frame.save(QStringLiteral(OSTREL_GALLERY_DIR "/capture/known-colours-frame.png"));
    // The window stands 20 pixels in from the region's left edge and 20 down from its top.
    expectColour(frame, QPoint(24, 24), red);
    expectColour(frame, QPoint(68, 76), red);
    expectColour(frame, QPoint(74, 24), blue);
    expectColour(frame, QPoint(116, 76), blue);
    for (const int x : {17, 123})
        expectColour(frame, QPoint(x, 50), QColor(150, 150, 150));
    expectColour(frame, QPoint(80, 0), top);
    expectColour(frame, QPoint(80, 99), bottom);
}

TEST_F(RecorderTest, ASmallChangeAfterFramesOfNoChangeIsInTheMovieFromTheNextFrameOn) {
    const QColor red(200, 40, 40), blue(40, 70, 200), green(40, 160, 60);
    // A window the platform has shown tells what it repaints; one not yet shown is drawn whole each frame.
    for (const bool exposed : {true, false}) {
        SCOPED_TRACE(exposed ? "exposed" : "not yet exposed");
        windows.clear();
        QWidget& window = show(QRect(20, 20, 120, 80), red);
        auto* dot = new Swatch(blue, QRect(70, 30, 10, 10), &window);
        dot->show();
        if (exposed) QCoreApplication::processEvents();
        ASSERT_EQ(window.windowHandle()->isExposed(), exposed);
        auto recorder = record(QRectF(0, 0, 200, 120), 30, {Qt::white});
        recorder->start();
        clock.advance(0.5);
        // No event loop runs between the change and the next tick, as in a script's step.
        dot->setColour(green);
        const double changed = recorder->elapsed();
        clock.advance(0.5);
        recorder->finish(QStringLiteral("a small change"));

        const QList<bool>& drawn = recorder->stats().drawn;
        EXPECT_EQ(drawn.count(true), exposed ? 2 : drawn.size())
            << "the first frame and the one after the change";
        const std::optional<MovieFile> movie = readMovie(file("raw.mov"));
        ASSERT_TRUE(movie);
        ASSERT_EQ(movie->frames.size(), recorder->framesWritten());
        for (qsizetype i = 0; i < movie->frames.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "frame " << i);
            const bool after = double(movie->stamps[i]) / MovieWriter::timeBase > changed;
            expectColour(movie->frames[i], QPoint(20 + 75, 20 + 35), after ? green : blue);
            expectColour(movie->frames[i], QPoint(40, 40), red);
        }
    }
}

TEST_F(RecorderTest, ChangesInTurnInTwoPlacesAreAllInTheMovieWhateverBufferCarriesThem) {
    const QColor red(200, 40, 40), blue(40, 70, 200), green(40, 160, 60), yellow(230, 200, 40);
    QWidget& window = show(QRect(20, 20, 160, 80), red);
    Swatch* const dots[] = {new Swatch(blue, QRect(10, 10, 12, 12), &window),
                            new Swatch(blue, QRect(130, 50, 12, 12), &window)};
    for (Swatch* dot : dots)
        dot->show();
    QCoreApplication::processEvents();
    auto recorder = record(QRectF(0, 0, 200, 120), 30, {Qt::white});
    recorder->start();
    // Each change draws one dot anew; a buffer the encoder gave back holds an older frame, whose other dot
    // may be out of date too.
    struct Change {
        double at;
        QColor first, second; // the dots' colours from then on
    };
    QList<Change> changes{{0, blue, blue}};
    const QColor turns[] = {green, yellow, red, blue, yellow, green};
    for (int i = 0; i < 6; ++i) {
        clock.advance(0.2);
        // The encoder has time to give its buffers back, so that the next frame drawn anew reuses one.
        QThread::msleep(40);
        dots[i % 2]->setColour(turns[i]);
        Change next = changes.back();
        next.at = recorder->elapsed();
        (i % 2 ? next.second : next.first) = turns[i];
        changes.append(next);
    }
    clock.advance(0.2);
    recorder->finish(QStringLiteral("changes in turn"));

    const std::optional<MovieFile> movie = readMovie(file("raw.mov"));
    ASSERT_TRUE(movie);
    for (qsizetype i = 0; i < movie->frames.size(); ++i) {
        const double at = double(movie->stamps[i]) / MovieWriter::timeBase;
        const Change& now = *std::find_if(changes.rbegin(), changes.rend(), [&](const Change& change) {
            return change.at < at || change.at == 0;
        });
        SCOPED_TRACE(::testing::Message() << "frame " << i << " at " << at << " s");
        expectColour(movie->frames[i], QPoint(20 + 16, 20 + 16), now.first);
        expectColour(movie->frames[i], QPoint(20 + 136, 20 + 56), now.second);
    }
}

TEST_F(RecorderTest, OnTheSystemClockTheFrameTimerRecordsInRealTime) {
    show(QRect(20, 20, 60, 60));
    const auto recorder =
        std::make_unique<DemoRecorder>(folder(), QRectF(0, 0, 100, 100), 30, QList<QColor>{Qt::white});
    recorder->start();
    QEventLoop loop;
    QTimer::singleShot(600, &loop, &QEventLoop::quit);
    loop.exec();
    recorder->finish(QStringLiteral("real time"));

    EXPECT_GE(recorder->framesWritten(), 6) << "even on a busy machine";
    const std::optional<MovieFile> movie = readMovie(file("raw.mov"));
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->stamps.size(), recorder->framesWritten());
    for (qsizetype i = 1; i < movie->stamps.size(); ++i)
        EXPECT_GE(movie->stamps[i] - movie->stamps[i - 1], 10) << "at least half a frame apart";
    EXPECT_NEAR(movie->stamps.back() / 600.0, json("events.json")["duration"].toDouble(), 0.1);
}

TEST_F(RecorderTest, WhileAMenuRunsItsOwnEventLoopFramesKeepComingAndShowIt) {
    const QColor red(200, 40, 40), green(40, 160, 60);
    show(QRect(20, 20, 200, 150), red);
    const auto recorder =
        std::make_unique<DemoRecorder>(folder(), QRectF(0, 0, 300, 300), 30, QList<QColor>{Qt::white});
    recorder->start();

    QMenu menu;
    menu.setStyleSheet(QStringLiteral("QMenu { background: %1; border: none; }").arg(green.name()));
    menu.addAction(QStringLiteral("Refresh"));
    menu.addAction(QStringLiteral("Quit"));
    struct Moment {
        int frames = -1;
        double time = 0;
    };
    Moment opened, closing;
    const auto now = [&] { return Moment{recorder->framesWritten(), recorder->elapsed()}; };
    // Both run inside the menu's own loop: exec returns only once the menu is closed.
    QTimer::singleShot(0, &menu, [&] { opened = now(); });
    QTimer::singleShot(500, &menu, [&] {
        closing = now();
        menu.close();
    });
    menu.exec(QPoint(40, 40));
    ASSERT_GE(opened.frames, 1) << "the menu's loop ran";
    EXPECT_GE(closing.frames - opened.frames, 5) << "about 15 ticks are due in half a second";
    recorder->finish(QStringLiteral("menu"));

    const std::optional<MovieFile> movie = readMovie(file("raw.mov"));
    ASSERT_TRUE(movie);
    int shown = 0;
    for (qsizetype i = 0; i < movie->stamps.size(); ++i) {
        const double at = double(movie->stamps[i]) / MovieWriter::timeBase;
        // A stamp is rounded to the time base: a frame taken just after the close can read a hair before it.
        if (at <= opened.time + 0.05 || at + 1.0 / MovieWriter::timeBase >= closing.time) continue;
        ++shown;
        SCOPED_TRACE(::testing::Message() << "frame at " << at << " s");
        expectColour(movie->frames[i], QPoint(50, 48), green);
        expectColour(movie->frames[i], QPoint(200, 150), red);
    }
    EXPECT_GE(shown, 3);
}

} // namespace
} // namespace dormio::test
