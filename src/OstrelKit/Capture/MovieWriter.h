#pragma once

// Writes a QuickTime movie of H.264 frames through FFmpeg's libraries (libx264 as the encoder). The main
// thread paints each frame into a buffer of the writer's small pool and hands it in with its time; a thread
// of the writer's own converts it to the encoder's colours and encodes it, so a slow frame of the encoder
// never holds up the user interface. When every buffer is still queued the writer is not ready, and the
// caller skips the frame.

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace dormio {

class MovieWriter {
public:
    // Frame times are counted in 600ths of a second, the movie's time base.
    static constexpr int timeBase = 600;

    // Makes `path` (replacing nothing: the caller clears the way) for frames of `size` pixels, both sides
    // even, with a key frame at least every `fps` frames. Throws CaptureFailure.
    MovieWriter(const QString& path, QSize size, int fps);
    // A movie neither finished nor cancelled is cancelled.
    ~MovieWriter();
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    // Writes the movie's header and starts encoding. A header that cannot be written leaves the writer
    // failed: it takes no frames, and `finish` reports why.
    void start();
    // Writing, and a buffer is free for the next frame (or there is no pool at all: see `buffer`).
    bool ready() const;
    // A buffer to paint the next frame into, once `ready`; a null image when the memory for the pool could
    // not be had.
    QImage buffer();
    // Queues the painted buffer as the frame shown from `seconds` on. A frame whose time, in the movie's
    // time base, is not later than the last one's is refused.
    bool append(QImage frame, double seconds);
    // Queues the last frame again, shown from `seconds` on: a frame of its own in the movie, with nothing to
    // paint or convert. Refused as `append` refuses, and before any frame.
    bool repeat(double seconds);
    // Encodes what is queued and closes the movie; the error that spoilt it, if any.
    std::optional<QString> finish();
    // Stops at once and deletes the file.
    void cancel();

    // The most frames that waited for the encoder at one time.
    int queuePeak() const;

private:
    enum class State { idle, writing, failed, closed };
    struct Job {
        QImage frame; // none: the last frame again
        qint64 stamp;
    };
    struct Codec; // FFmpeg's state, touched by one thread at a time

    State state() const;
    void makePool(int frames);
    bool queue(Job job);
    void encodeQueued();
    void fail(const QString& message);
    void stop(bool discardQueued);

    const QString path_;
    const QSize size_;
    std::unique_ptr<Codec> codec_;
    std::thread encoder_;

    mutable std::mutex mutex_;
    std::condition_variable queued_;
    State state_ = State::idle;
    QString error_;
    QList<Job> jobs_;
    QList<QImage> spare_;
    int pooled_ = 0; // buffers the pool holds in all
    bool closing_ = false;
    int queuePeak_ = 0;
    qint64 lastStamp_ = -1;
};

} // namespace dormio
