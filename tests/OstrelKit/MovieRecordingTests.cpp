// A recording read back with FFmpeg: the container, the codec, the times and the pixels of the frames.
#include "MovieFile.h"
#include "RecorderFixture.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>
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

} // namespace
} // namespace dormio::test
