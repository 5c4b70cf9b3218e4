#include "OstrelKit/Capture/DemoRecorder.h"

#include "OstrelKit/Capture/ComposedFrame.h"
#include "OstrelKit/Capture/DemoAnchors.h"
#include "OstrelKit/Capture/MovieSize.h"
#include "OstrelKit/Capture/MovieWriter.h"
#include "OstrelKit/Capture/WindowCapture.h"

#include <QDir>
#include <QFile>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace dormio {

namespace {

// Cubic ease-in-out: slow away, fast across, slow to land.
double ease(double p) {
    if (p < 0.5) return 4 * p * p * p;
    const double rest = 2 - 2 * p;
    return 1 - rest * rest * rest / 2;
}

// Seconds from one recording time to another. The clock's times differ by whole milliseconds when it is
// stepped, but as doubles a difference can land a hair off, and a rule's bound must hold exactly.
double between(double earlier, double later) {
    return std::round((later - earlier) * 1e6) / 1e6;
}

void makeFolder(const QString& folder) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error)
        throw CaptureFailure{QStringLiteral("Couldn’t make the folder “%1”: %2.")
                                 .arg(folder, QString::fromStdString(error.message()))};
}

} // namespace

DemoRecorder::DemoRecorder(const QString& folder, const QRectF& region, int fps,
                           const QList<QColor>& backdrop, KitClock& clock)
    : clock_(clock), folder_(folder), region_(region.toAlignedRect()), fps_(fps),
      scale_(MovieSize::scale(region, MovieSize::screenScale(MovieSize::screens(), region))),
      backdrop_(backdrop), pixelSize_(MovieSize::pixels(region_, scale_)), cursor_(region.center()) {
    makeFolder(folder_);
    const QString movie = QDir(folder_).filePath(QStringLiteral("raw.mov"));
    QFile::remove(movie);
    writer_ = std::make_unique<MovieWriter>(movie, pixelSize_, fps_);
    frame_ = std::make_unique<ComposedFrame>(pixelSize_, backdrop_);
}

DemoRecorder::~DemoRecorder() = default;

void DemoRecorder::setRegion(const QRectF& region) {
    // An empty region has no fractions and no frame to stretch; the recording keeps the one it had.
    if (region.isEmpty()) return;
    region_ = region.toAlignedRect();
}

int DemoRecorder::encoderQueuePeak() const {
    return writer_->queuePeak();
}

double DemoRecorder::elapsed() const {
    return started_ ? clock_.seconds() - startTime_ : 0;
}

void DemoRecorder::start() {
    if (started_) return;
    writer_->start();
    started_ = true;
    startTime_ = clock_.seconds();
    cursorLog_.append(row());
    captureFrame();
    timer_ = std::make_unique<QObject>();
    clock_.every(1.0 / fps_, timer_.get(), [this] {
        ++stats_.ticks;
        captureFrame();
    });
}

void DemoRecorder::captureFrame() {
    if (!writer_->ready()) {
        ++stats_.writerBusy;
        return;
    }
    const auto began = std::chrono::steady_clock::now();
    const double t = elapsed();
    // A tick that comes less than half a frame after the last frame would only repeat it.
    if (between(lastFrameTime_, t) < 0.5 / fps_) return;
    const QList<QWidget*> windows = WindowCapture::windowsIn(region_);
    if (windows.isEmpty()) return;
    if (const QRect drawn = frame_->update(region_, windows); !drawn.isEmpty()) {
        frameUnwritten_ = true;
        for (QRegion& stale : staleIn_)
            stale += drawn;
    }
    if (!(frameUnwritten_ ? appendComposed(t) : writer_->repeat(t))) return;
    stats_.drawn.append(std::exchange(frameUnwritten_, false));
    lastFrameTime_ = t;
    ++framesWritten_;
    stats_.captureSeconds.append(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
}

bool DemoRecorder::appendComposed(double t) {
    QImage buffer = writer_->buffer();
    if (buffer.isNull()) {
        ++failedCaptures_;
        return false;
    }
    // A buffer back from the encoder still holds the frame it carried: only what was drawn since is copied.
    // The pool's buffers and the composed frame share size and format.
    const QImage& composed = frame_->image();
    const auto known = staleIn_.constFind(buffer.constBits());
    const QRegion stale = known == staleIn_.cend() ? QRegion(composed.rect()) : *known;
    for (const QRect& rect : stale)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            std::memcpy(buffer.scanLine(y) + rect.left() * 4, composed.constScanLine(y) + rect.left() * 4,
                        size_t(rect.width()) * 4);
    staleIn_[buffer.constBits()] = QRegion();
    return writer_->append(std::move(buffer), t);
}

DemoRecorder::Row DemoRecorder::row() const {
    const QRectF region(region_);
    return {elapsed(), (cursor_.x() - region.left()) / region.width(),
            (cursor_.y() - region.top()) / region.height()};
}

Step DemoRecorder::wait(double seconds) {
    co_await Sleep(clock_, seconds);
}

Step DemoRecorder::move(QPointF to, double duration) {
    const QPointF from = cursor_;
    // One step per frame of the duration, at least one; a frame count past any sensible demo is capped.
    const double frames = duration * fps_;
    const int steps = frames >= 1 ? int(std::min(frames, 1e6)) : 1;
    for (int i = 1; i <= steps; ++i) {
        cursor_ = from + (to - from) * ease(double(i) / steps);
        cursorLog_.append(row());
        co_await Sleep(clock_, duration / steps);
    }
}

Step DemoRecorder::move(QString anchor, double duration) {
    const std::optional<QRectF> frame = DemoAnchors::shared().frame(anchor);
    if (!frame) {
        std::fputs(("demo: no anchor " + anchor.toUtf8() + "\n").constData(), stdout);
        std::fflush(stdout);
        co_return;
    }
    co_await move(frame->center(), duration);
}

Step DemoRecorder::click(QString anchor, double duration) {
    co_await move(std::move(anchor), duration);
    co_await press();
}

Step DemoRecorder::click(QPointF at, double duration) {
    co_await move(at, duration);
    co_await press();
}

Step DemoRecorder::press() {
    co_await Sleep(clock_, 0.12);
    clicks_.append(row());
    co_await Sleep(clock_, 0.18);
}

Step DemoRecorder::type(QString text, std::function<void(const QString&)> into, double perCharacter) {
    // One character as the reader sees it: an accented letter or an emoji with its modifiers goes at once.
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype typed = 0;
    for (qsizetype next = characters.toNextBoundary(); next != -1; next = characters.toNextBoundary()) {
        const bool space = text.mid(typed, next - typed) == QLatin1String(" ");
        typed = next;
        if (into) into(text.left(typed));
        co_await Sleep(clock_, perCharacter * (space ? 1.6 : 1.0));
    }
}

void DemoRecorder::caption(const QString& text) {
    clearCaption();
    openCaption_.emplace(elapsed(), text);
}

void DemoRecorder::clearCaption() {
    if (!openCaption_) return;
    const auto [start, text] = *std::exchange(openCaption_, std::nullopt);
    const double now = elapsed();
    if (between(start, now) > 0.2) captions_.append({start, now, text});
}

void DemoRecorder::finish(const QString& name) {
    clearCaption();
    timer_.reset();
    captureFrame();
    const double duration = elapsed();
    if (framesWritten_ < 1) {
        writer_->cancel();
        throw Failure{
            QStringLiteral("No frames were captured (%1 failed). Is the window on screen inside the "
                           "region?")
                .arg(failedCaptures_)};
    }
    if (const std::optional<QString> error = writer_->finish()) throw Failure{*error};
    writeFiles(name, duration);
}

} // namespace dormio
