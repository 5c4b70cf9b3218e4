#pragma once

// One recording of the application's own windows inside a region of the screen, for a scripted demo. The
// movie ("raw.mov") holds only the windows; the pointer is the recorder's own: it never moves the real
// pointer nor sends an event, it only logs where its pointer is, where it clicks and which caption shows,
// so that a later editing step can draw them over the movie.
//
// Everything runs on the main thread: the frame timer on the kit's clock, and the steps, coroutines that
// sleep on that clock (see Step). A frame is therefore captured only between a script's steps. The recorder
// must outlive every step it hands out.

#include "OstrelKit/Capture/CaptureFailure.h"
#include "OstrelKit/Capture/Step.h"
#include "OstrelKit/KitClock.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QObject;

namespace dormio {

class ComposedFrame;
class MovieWriter;

class DemoRecorder {
public:
    using Failure = CaptureFailure;
    struct Caption {
        double start;
        double end;
        QString text;
    };
    // [t, x, y]: the recording time, and the pointer as fractions of the region from its left and its top
    // edge, not clamped.
    using Row = std::array<double, 3>;
    // What the recording cost the main thread, and whether the encoder kept up.
    struct Stats {
        int ticks = 0;      // of the frame timer
        int writerBusy = 0; // ticks that found every buffer still waiting for the encoder
        // Main-thread time of each frame written, from the tick to the hand-over, and whether it was drawn
        // (or written as the frame before, nothing having changed).
        QList<double> captureSeconds;
        QList<bool> drawn;
    };

    // Makes the folder and the movie's writer for the region (in Qt's global coordinates) at `fps` frames a
    // second over a backdrop gradient. Throws Failure.
    DemoRecorder(const QString& folder, const QRectF& region, int fps, const QList<QColor>& backdrop,
                 KitClock& clock = KitClock::shared());
    ~DemoRecorder();
    DemoRecorder(const DemoRecorder&) = delete;
    DemoRecorder& operator=(const DemoRecorder&) = delete;

    const QString& folder() const { return folder_; }
    QRect region() const { return region_; }
    // Later frames show the new region, stretched to the same frame size; later rows are fractions of it.
    // An empty region is ignored.
    void setRegion(const QRectF& region);
    int fps() const { return fps_; }
    qreal scale() const { return scale_; }
    QSize pixelSize() const { return pixelSize_; }
    int framesWritten() const { return framesWritten_; }
    QPointF cursor() const { return cursor_; }
    const QList<Row>& cursorLog() const { return cursorLog_; }
    const QList<Row>& clicks() const { return clicks_; }
    const QList<Caption>& captions() const { return captions_; }
    const Stats& stats() const { return stats_; }
    int encoderQueuePeak() const;

    // Seconds since `start`; 0 before.
    double elapsed() const;

    // Starts the movie with a first frame and the frame timer. Once per recorder.
    void start();

    Step wait(double seconds);
    // Eases the pointer to a point in Qt's global coordinates, one logged step per frame of the duration.
    Step move(QPointF to, double duration);
    // To the centre of a demo anchor; a name never reported is said on standard output and skipped.
    Step move(QString anchor, double duration);
    // Moves, then logs a click where the pointer is (also when the anchor was missing).
    Step click(QString anchor, double duration);
    Step click(QPointF at, double duration);
    // Hands `into` the text typed so far, one character after another; spaces take longer.
    Step type(QString text, std::function<void(const QString&)> into, double perCharacter);

    // Closes the caption showing, then shows this one.
    void caption(const QString& text);
    // A caption shown for 0.2 s or less is dropped.
    void clearCaption();

    // Ends the movie and writes "events.json", "captions.json" and "project.json" beside it. Throws Failure.
    void finish(const QString& name);

private:
    void captureFrame();
    bool appendComposed(double t);
    Row row() const;
    Step press();
    void writeFiles(const QString& name, double duration) const;

    KitClock& clock_;
    QString folder_;
    QRect region_;
    int fps_;
    qreal scale_;
    QList<QColor> backdrop_;
    std::unique_ptr<MovieWriter> writer_;
    std::unique_ptr<ComposedFrame> frame_;
    bool frameUnwritten_ = false; // composed but not yet in the movie
    // For each buffer of the writer's pool, by its memory: what was drawn anew since it held the frame.
    QHash<const uchar*, QRegion> staleIn_;
    QSize pixelSize_;
    bool started_ = false;
    double startTime_ = 0;
    std::unique_ptr<QObject> timer_; // the frame timer runs while this lives
    double lastFrameTime_ = -1;
    int failedCaptures_ = 0;
    int framesWritten_ = 0;
    QPointF cursor_;
    QList<Row> cursorLog_;
    QList<Row> clicks_;
    QList<Caption> captions_;
    std::optional<std::pair<double, QString>> openCaption_;
    Stats stats_;
};

} // namespace dormio
