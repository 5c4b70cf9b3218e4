#pragma once

// The night trace on the night page: it draws the night, scrubs it under the pointer, and tells the page
// where its plot lies in the window.

#include "Dormio/UI/Kit/Motion.h"
#include "DormioKit/Night.h"

#include <QImage>
#include <QRectF>
#include <QWidget>
#include <optional>

namespace dormio {

class HypnogramView : public QWidget {
    Q_OBJECT
public:
    // The night page's trace is 214 points high, which makes a plot 160 points high.
    static constexpr int pageHeight = 214;

    explicit HypnogramView(int height = pageHeight, QWidget* parent = nullptr);

    void setNight(const Night& night);
    // The instant marked while the pointer is not over the plot; the developer modes set it to script
    // the cursor.
    void setScrub(std::optional<Date> scrub);

    const Night& night() const { return night_; }
    std::optional<double> hoverX() const { return hoverX_; }
    QRectF plot() const;
    // The instant marked now: the pointer's, else the scrub date, else none.
    std::optional<Date> cursor() const;
    // How much of the readout shows: it fades in as a cursor appears and out, where it stood, as the
    // cursor goes.
    qreal readoutOpacity() const { return readoutOpacity_.value(); }

    QSize sizeHint() const override;

signals:
    // The plot's rectangle in the window's content, whenever it moves or changes size.
    void plotFrameChanged(QRectF frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setHoverX(std::optional<double> x);
    void followCursor();
    void dropStaticLayer();
    void publishPlotFrame();

    Night night_;
    std::optional<Date> scrub_;
    std::optional<double> hoverX_;
    // Lanes, axis, states, moments and battery as last drawn, at the screen's pixel ratio; only the cursor
    // is drawn anew while the pointer moves.
    QImage staticLayer_;
    QRectF publishedFrame_;
    // The readout's instant, kept after the cursor goes so that it fades out in place.
    std::optional<Date> readoutAt_;
    Motion::Value readoutOpacity_{this};
};

} // namespace dormio
