#pragma once

// What a test can know of a movie file by reading it back with FFmpeg's libraries.

#include <QImage>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace dormio::test {

struct MovieFile {
    QString container; // the demuxer's names, such as "mov,mp4,m4a,3gp,3g2,mj2"
    QString codec;     // the video codec's name, such as "h264"
    int width = 0;
    int height = 0;
    int timeBaseNum = 0;
    int timeBaseDen = 0;
    bool bFrames = false;    // any packet decoded in another order than shown
    QList<long long> stamps; // each frame's presentation time, in the time base
    QList<int> keyFrames;    // indexes of the key frames
    int decodedFrames = 0;   // every frame the decoder gave back
    QList<QImage> frames;    // the frames asked for, decoded, as RGB, in the order shown
};

// Which frames to decode, by presentation time in the stream's time base.
using FrameChoice = std::function<bool(long long stamp)>;
inline bool everyFrame(long long) {
    return true;
}

// Reads `path` whole, decoding the frames chosen; none when it is no movie with a video stream.
std::optional<MovieFile> readMovie(const QString& path, const FrameChoice& decode = everyFrame);

} // namespace dormio::test
