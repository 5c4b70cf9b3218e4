#pragma once

// Figures: a big value with its caption, and the rest grade of a night.

#include "Dormio/UI/Kit/Text.h"

#include <QWidget>
#include <array>

namespace dormio {

// A value over its caption, always at its full size: it never stretches or cuts the value. A new value
// rolls its changed digits in.
class Figure : public QWidget {
public:
    Figure(const QString& value, const QString& label, DynamicColor tint, QWidget* parent = nullptr);

    void setValue(const QString& value);
    void setLabel(const QString& label);
    void setTint(DynamicColor tint);
    Label* value() const { return value_; }
    Kicker* label() const { return label_; }

private:
    Label* value_;
    Kicker* label_;
};

// "REST", the score and its word over a bar of ten ticks, one lit per ten points.
class RestGrade : public QWidget {
public:
    RestGrade(int score, bool compact, QWidget* parent = nullptr);

    int score() const { return score_; }
    void setScore(int score);
    bool isAnimating() const { return ticks_.running() || change_.running(); }

    // Where everything goes, in the widget's own pixels; baselines for the texts.
    struct Geometry {
        QPointF kicker;
        QPointF score;
        QPointF word; // unused when compact
        std::array<QRectF, 10> bars;
        int lit = 0; // bars 0 .. lit-1 are lit
        QSizeF size;
    };
    static Geometry geometry(int score, bool compact);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int score_;
    bool compact_;
    int litBefore_ = 0;
    Motion::Value ticks_; // 0 to 1 from the old lit bars to the new
    TextChange change_;
};

} // namespace dormio
