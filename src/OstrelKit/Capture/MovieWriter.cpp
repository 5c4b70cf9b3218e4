#include "OstrelKit/Capture/MovieWriter.h"

#include "OstrelKit/Capture/CaptureFailure.h"

#include <QFile>
#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace dormio {

namespace {

// Frames painted but not yet encoded, at most: within 16 MB of pictures, but never fewer than six and never
// more than two seconds' worth. Only a frame drawn anew takes a buffer, an unchanged one being a repeat, and
// a recording of a real page at 2560 x 1600 pixels on a busy machine queued five at most; each buffer costs
// its first write before the recording, slow on a virtual machine, so more would only cost.
int poolSizeFor(QSize size, int fps) {
    const qint64 frameBytes = std::max<qint64>(qint64(size.width()) * size.height() * 4, 1);
    return int(std::clamp<qint64>((qint64(16) << 20) / frameBytes, 6, std::max(6, 2 * fps)));
}

QString describe(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

} // namespace

struct MovieWriter::Codec {
    AVFormatContext* format = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    SwsContext* converter = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    // Each packet waits here for the next, whose stamp tells how long it shows.
    AVPacket* held = nullptr;
    int frameTicks = 1;

    ~Codec() {
        av_packet_free(&held);
        av_packet_free(&packet);
        av_frame_free(&picture);
        sws_freeContext(converter);
        avcodec_free_context(&encoder);
        if (format) avio_closep(&format->pb);
        avformat_free_context(format);
    }

    // H.264 without B-frames, so that every packet's stamp is its frame's time, in the colours of HD video.
    bool openEncoder(QSize size, int fps) {
        const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
        if (!h264 || fps < 1 || !(stream = avformat_new_stream(format, nullptr)) ||
            !(encoder = avcodec_alloc_context3(h264)))
            return false;
        encoder->width = size.width();
        encoder->height = size.height();
        encoder->pix_fmt = AV_PIX_FMT_YUV420P;
        encoder->time_base = {1, timeBase};
        encoder->framerate = {fps, 1};
        encoder->bit_rate = int64_t(size.width()) * size.height() * 8;
        encoder->gop_size = fps;
        encoder->max_b_frames = 0;
        encoder->color_range = AVCOL_RANGE_MPEG;
        encoder->colorspace = AVCOL_SPC_BT709;
        encoder->color_primaries = AVCOL_PRI_BT709;
        encoder->color_trc = AVCOL_TRC_BT709;
        if (format->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        // The movie is the editing step's raw material at a generous bit rate, so the fastest preset loses
        // little; slower ones fell behind at 2560 x 1600 on a busy machine and left frames out.
        av_opt_set(encoder->priv_data, "preset", "ultrafast", 0);
        if (avcodec_open2(encoder, h264, nullptr) < 0 ||
            avcodec_parameters_from_context(stream->codecpar, encoder) < 0)
            return false;
        stream->time_base = {1, timeBase};
        frameTicks = std::max(1, timeBase / fps);

        converter = sws_getContext(size.width(), size.height(), AV_PIX_FMT_RGB32, size.width(), size.height(),
                                   AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!converter) return false;
        sws_setColorspaceDetails(converter, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                 sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
        picture = av_frame_alloc();
        packet = av_packet_alloc();
        held = av_packet_alloc();
        if (!picture || !packet || !held) return false;
        picture->format = AV_PIX_FMT_YUV420P;
        picture->width = size.width();
        picture->height = size.height();
        return av_frame_get_buffer(picture, 0) >= 0;
    }

    // Writes the held packet, now that `next` (or the end of the movie, when null) tells its duration.
    int mux(AVPacket* next) {
        if (held->data) {
            held->duration = next ? next->pts - held->pts : frameTicks;
            if (const int error = av_interleaved_write_frame(format, held); error < 0) return error;
        }
        if (next) av_packet_move_ref(held, next);
        return 0;
    }

    int drain() {
        for (;;) {
            const int received = avcodec_receive_packet(encoder, packet);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return 0;
            if (received < 0) return received;
            av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (const int error = mux(packet); error < 0) return error;
        }
    }
};

MovieWriter::MovieWriter(const QString& path, QSize size, int fps)
    : path_(path), size_(size), codec_(std::make_unique<Codec>()) {
    // The encoder's chatter (its options, its final figures) is no news; its errors still show.
    av_log_set_level(AV_LOG_ERROR);
    const QByteArray file = QFile::encodeName(path);
    if (avformat_alloc_output_context2(&codec_->format, nullptr, "mov", file.constData()) < 0)
        throw CaptureFailure{QStringLiteral("Couldn’t make a QuickTime movie writer.")};
    if (!codec_->openEncoder(size, fps)) throw CaptureFailure{QString::fromLatin1(cantAddInput)};
    if (const int error = avio_open(&codec_->format->pb, file.constData(), AVIO_FLAG_WRITE); error < 0)
        throw CaptureFailure{
            QStringLiteral("Couldn’t create the movie “%1”: %2.").arg(path, describe(error))};
    makePool(poolSizeFor(size, fps));
}

void MovieWriter::makePool(int frames) {
    // Memory is slow the first time it is written (on a virtual machine, a tenth of a second for a frame of
    // 2560 x 1600), so the pool is written once here, before the recording, and never given back.
    for (int i = 0; i < frames; ++i) {
        QImage frame(size_, QImage::Format_ARGB32_Premultiplied);
        if (frame.isNull()) break;
        frame.fill(Qt::black);
        spare_.append(std::move(frame));
    }
    pooled_ = int(spare_.size());
}

MovieWriter::~MovieWriter() {
    if (state() != State::closed) cancel();
}

MovieWriter::State MovieWriter::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

void MovieWriter::start() {
    if (state_ != State::idle) return;
    // QuickTime's own time base for the track and the movie, so a frame's stamp is exact in both.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "video_track_timescale", "600", 0);
    av_dict_set(&options, "movie_timescale", "600", 0);
    const int error = avformat_write_header(codec_->format, &options);
    av_dict_free(&options);
    if (error < 0) {
        fail(QStringLiteral("The movie couldn’t be started: %1.").arg(describe(error)));
        return;
    }
    state_ = State::writing;
    encoder_ = std::thread([this] { encodeQueued(); });
}

bool MovieWriter::ready() const {
    const std::lock_guard lock(mutex_);
    return state_ == State::writing && (!spare_.isEmpty() || pooled_ == 0);
}

QImage MovieWriter::buffer() {
    const std::lock_guard lock(mutex_);
    return spare_.isEmpty() ? QImage() : spare_.takeLast();
}

bool MovieWriter::append(QImage frame, double seconds) {
    if (frame.size() != size_) return false;
    return queue({std::move(frame), std::llround(seconds * timeBase)});
}

bool MovieWriter::repeat(double seconds) {
    return queue({QImage(), std::llround(seconds * timeBase)});
}

bool MovieWriter::queue(Job job) {
    {
        const std::lock_guard lock(mutex_);
        const bool repeatsNothing = job.frame.isNull() && lastStamp_ < 0;
        if (state_ != State::writing || job.stamp <= lastStamp_ || repeatsNothing) {
            if (!job.frame.isNull()) spare_.append(std::move(job.frame));
            return false;
        }
        lastStamp_ = job.stamp;
        jobs_.append(std::move(job));
        queuePeak_ = std::max(queuePeak_, int(jobs_.size()));
    }
    queued_.notify_one();
    return true;
}

void MovieWriter::encodeQueued() {
    Codec& codec = *codec_;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [this] { return !jobs_.isEmpty() || closing_; });
            if (jobs_.isEmpty()) return;
            job = jobs_.takeFirst();
            if (state_ != State::writing) {
                if (!job.frame.isNull()) spare_.append(std::move(job.frame));
                continue;
            }
        }
        // A repeat sends the picture converted last once more.
        int error = 0;
        if (!job.frame.isNull()) {
            error = av_frame_make_writable(codec.picture);
            if (error >= 0) {
                // libswscale reads four planes and four strides, whatever the format uses.
                const uint8_t* const planes[4] = {job.frame.constBits()};
                const int strides[4] = {int(job.frame.bytesPerLine())};
                sws_scale(codec.converter, planes, strides, 0, size_.height(), codec.picture->data,
                          codec.picture->linesize);
            }
            const std::lock_guard lock(mutex_);
            spare_.append(std::move(job.frame));
        }
        codec.picture->pts = job.stamp;
        if (error >= 0) error = avcodec_send_frame(codec.encoder, codec.picture);
        if (error >= 0) error = codec.drain();
        if (error < 0) fail(QStringLiteral("The movie couldn’t be encoded: %1.").arg(describe(error)));
    }
}

void MovieWriter::fail(const QString& message) {
    const std::lock_guard lock(mutex_);
    if (state_ == State::failed) return;
    state_ = State::failed;
    error_ = message;
}

void MovieWriter::stop(bool discardQueued) {
    {
        const std::lock_guard lock(mutex_);
        if (discardQueued) {
            for (Job& job : jobs_)
                if (!job.frame.isNull()) spare_.append(std::move(job.frame));
            jobs_.clear();
        }
        closing_ = true;
    }
    queued_.notify_all();
    if (encoder_.joinable()) encoder_.join();
}

std::optional<QString> MovieWriter::finish() {
    stop(false);
    if (state_ == State::closed) return QStringLiteral("The movie was already closed.");
    if (state_ == State::idle) fail(QStringLiteral("The movie was never started."));
    if (state_ == State::failed) {
        cancel();
        return error_;
    }
    Codec& codec = *codec_;
    int error = avcodec_send_frame(codec.encoder, nullptr);
    if (error >= 0) error = codec.drain();
    if (error >= 0) error = codec.mux(nullptr);
    if (error >= 0) error = av_write_trailer(codec.format);
    const int closed = avio_closep(&codec.format->pb);
    if (error >= 0) error = closed;
    state_ = State::closed;
    if (error < 0) return QStringLiteral("The movie couldn’t be written: %1.").arg(describe(error));
    return std::nullopt;
}

void MovieWriter::cancel() {
    stop(true);
    avio_closep(&codec_->format->pb);
    QFile::remove(path_);
    const std::lock_guard lock(mutex_);
    state_ = State::closed;
}

int MovieWriter::queuePeak() const {
    const std::lock_guard lock(mutex_);
    return queuePeak_;
}

} // namespace dormio
