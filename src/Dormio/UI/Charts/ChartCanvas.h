#pragma once

// A chart on screen: a transparent widget that hands its size and the palette of the appearance in
// force to a paint function on every repaint. It holds no data of its own beyond that function.

#include "Dormio/UI/Kit/CanvasPalette.h"

#include <QSizeF>
#include <QWidget>
#include <functional>

namespace dormio {

class ChartCanvas : public QWidget {
public:
    using Paint = std::function<void(QPainter&, QSizeF, const CanvasPalette&)>;

    explicit ChartCanvas(Paint paint, QWidget* parent = nullptr);
    // Draws with `paint` from now on, and repaints.
    void setPaint(Paint paint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Paint paint_;
};

} // namespace dormio
