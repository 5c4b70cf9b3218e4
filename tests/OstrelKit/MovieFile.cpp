#include "MovieFile.h"

#include <QFile>
#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace dormio::test {

namespace {

// Back to RGB by the BT.709 matrix the movie was written with, limited range, one pixel at a time: slow,
// but independent of the conversion that wrote it.
QImage toImage(const AVFrame& frame) {
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    const auto channel = [](double value) { return std::clamp(int(std::lround(value)), 0, 255); };
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const double luma = 1.164 * (frame.data[0][y * frame.linesize[0] + x] - 16);
            const double u = frame.data[1][y / 2 * frame.linesize[1] + x / 2] - 128;
            const double v = frame.data[2][y / 2 * frame.linesize[2] + x / 2] - 128;
            image.setPixel(x, y,
                           qRgb(channel(luma + 1.793 * v), channel(luma - 0.213 * u - 0.533 * v),
                                channel(luma + 2.112 * u)));
        }
    }
    return image;
}

} // namespace

std::optional<MovieFile> readMovie(const QString& path, const FrameChoice& decode) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    std::optional<MovieFile> movie;
    const int index = avformat_find_stream_info(format, nullptr) < 0
                          ? -1
                          : av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec* decoder =
        index < 0 ? nullptr : avcodec_find_decoder(format->streams[index]->codecpar->codec_id);
    AVCodecContext* context = decoder ? avcodec_alloc_context3(decoder) : nullptr;
    if (context && avcodec_parameters_to_context(context, format->streams[index]->codecpar) >= 0 &&
        avcodec_open2(context, decoder, nullptr) >= 0) {
        const AVStream& stream = *format->streams[index];
        movie.emplace();
        movie->container = QString::fromUtf8(format->iformat->name);
        movie->codec = QString::fromUtf8(avcodec_get_name(stream.codecpar->codec_id));
        movie->width = stream.codecpar->width;
        movie->height = stream.codecpar->height;
        movie->timeBaseNum = stream.time_base.num;
        movie->timeBaseDen = stream.time_base.den;
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        const auto receive = [&] {
            while (avcodec_receive_frame(context, frame) >= 0) {
                ++movie->decodedFrames;
                if (frame->format == AV_PIX_FMT_YUV420P && decode(frame->pts))
                    movie->frames.append(toImage(*frame));
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index) {
                if (packet->flags & AV_PKT_FLAG_KEY) movie->keyFrames.append(int(movie->stamps.size()));
                if (packet->dts != packet->pts) movie->bFrames = true;
                movie->stamps.append(packet->pts);
                avcodec_send_packet(context, packet);
                receive();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(context, nullptr);
        receive();
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&context);
    avformat_close_input(&format);
    return movie;
}

} // namespace dormio::test
