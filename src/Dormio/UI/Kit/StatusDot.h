#pragma once

// A small dot that pulses while something is live: a halo grows out of it and fades, every 1.6 s.

#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QWidget>
#include <optional>

namespace dormio {

class StatusDot : public QWidget {
public:
    StatusDot(DynamicColor color, bool live, QWidget* parent = nullptr);
    ~StatusDot() override;

    DynamicColor color() const { return color_; }
    void setColor(DynamicColor color);
    // Starts or stops the pulse at once while the dot is shown. It pulses only while it is live, shown in
    // a window that is neither hidden nor minimised, Reduce Motion is off and the animation clock is not
    // instant (as in snapshots); otherwise it shows a steady ring.
    void setLive(bool live);
    bool live() const { return live_; }
    bool pulsing() const;

    static constexpr qreal diameter = 7;
    QSize sizeHint() const override { return {int(diameter), int(diameter)}; }

    // The dot and its halo around `centre`: the steady ring without a phase, else the pulse at that phase
    // of its ease-out.
    static void paint(QPainter& painter, QPointF centre, const QColor& color, std::optional<qreal> phase);

protected:
    bool event(QEvent* event) override;

private:
    class Halo;
    void follow();
    QPointF centreInHost() const; // the dot's centre in the halo's parent

    DynamicColor color_;
    bool live_;
    Halo* halo_;
};

} // namespace dormio
