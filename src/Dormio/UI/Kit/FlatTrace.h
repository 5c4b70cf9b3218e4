#pragma once

// A flat stand-in for a night's trace while there is none: a baseline with hour ticks under a dashed
// line, and, while something is being read, a scan line sweeping across.

#include "Dormio/UI/Kit/CanvasPalette.h"
#include "Dormio/UI/Kit/Motion.h"

#include <QWidget>

namespace dormio {

class FlatTrace : public QWidget {
public:
    explicit FlatTrace(bool scanning, QWidget* parent = nullptr);

    bool scanning() const { return scanning_; }
    bool sweeping() const { return sweep_.running(); }
    // Where the scan line stands, as a fraction of the width: the sweep's, else still at 0.62.
    qreal phase() const;
    QSize sizeHint() const override { return {220, 26}; }

    struct Data {
        bool scanning = false;
        qreal phase = 0;
    };
    static void paint(QPainter& painter, QSizeF size, const Data& data, const CanvasPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool scanning_;
    Motion::Loop sweep_;
};

} // namespace dormio
