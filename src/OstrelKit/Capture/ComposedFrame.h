#pragma once

// The frame of a recording as last composed, kept so that the next frame redraws only what the windows
// repainted since: a page that stands still costs nothing to record, and a blinking caret a few pixels.

#include "OstrelKit/Capture/Repaints.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace dormio {

class ComposedFrame {
public:
    // A frame of `pixels` over the backdrop gradient (WindowCapture::compose). The memory is written here,
    // once, before any recording.
    ComposedFrame(QSize pixels, const QList<QColor>& backdrop);

    // Brings the frame up to date with the windows in the region (Qt's global coordinates), drawing them
    // anew wherever they repainted, and everywhere when the region, the windows or their places changed.
    // The pixels drawn anew; none when nothing changed since the last call.
    QRect update(const QRect& region, const QList<QWidget*>& windows);
    const QImage& image() const { return image_; }

private:
    struct Shown {
        QPointer<QWidget> window;
        QRect geometry;
        bool operator==(const Shown&) const = default;
    };

    // The frame's pixels that show the repainted area, in one rectangle.
    QRect pixelsOf(const QRegion& global) const;

    Repaints repaints_;
    QList<QColor> backdrop_;
    QImage image_;
    QRect region_; // of the last update; none before the first
    QList<Shown> shown_;
};

} // namespace dormio
