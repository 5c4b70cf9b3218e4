#pragma once

// What a test can know of a movie file by reading it back with FFmpeg's libraries.

#include <QImage>
#include <QList>
#include <QString>
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
    QList<QImage> frames;    // every frame decoded, as RGB
};

// Reads `path` whole; none when it is no movie with a video stream.
std::optional<MovieFile> readMovie(const QString& path);

} // namespace dormio::test
