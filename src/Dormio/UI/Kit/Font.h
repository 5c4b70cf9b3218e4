#pragma once

// A font at an exact size in device-independent pixels, fractional sizes included. Qt rounds every font
// to whole pixels, so an 11.5 px font is drawn from the 23 px font at half scale; the metrics and the
// drawing below account for that. Letter tracking is part of the font, in pixels.
//
// The monospaced face has no narrow no-break space (U+202F, between a figure and its "%"), and a fallback
// face would give it a whole cell: the monospaced design measures and draws it at the system face's narrow
// advance instead.

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

class QPainter;

namespace dormio {

class Font {
public:
    enum class Design { standard, monospaced };

    Font(qreal pixels, std::optional<QFont::Weight> weight = std::nullopt, Design design = Design::standard,
         qreal tracking = 0);

    qreal pixels() const { return pixels_; }
    std::optional<QFont::Weight> weight() const { return weight_; }
    Design design() const { return design_; }
    qreal tracking() const { return tracking_; }
    Font withTracking(qreal tracking) const { return Font(pixels_, weight_, design_, tracking); }

    // The nearest whole-pixel font, for Qt's own widgets (labels of native controls, tool tips, message
    // boxes). Drawing with it rounds a fractional size; draw() keeps it.
    QFont nearest() const;
    operator QFont() const { return nearest(); }

    qreal ascent() const { return metrics_.ascent() / scale_; }
    qreal descent() const { return metrics_.descent() / scale_; }
    qreal height() const { return metrics_.height() / scale_; }
    qreal lineSpacing() const { return metrics_.lineSpacing() / scale_; }
    qreal width(const QString& text) const;
    QString elided(const QString& text, Qt::TextElideMode mode, qreal width) const;
    // The text broken at word boundaries (or anywhere inside a word longer than the width) into lines
    // no wider than `width`.
    QStringList wrapped(const QString& text, qreal width) const;

    // Draws with the painter's pen, the baseline's left end at `origin`.
    void draw(QPainter& painter, QPointF origin, const QString& text) const;

private:
    qreal shapedWidth(const QString& text) const;
    QStringList brokenLines(const QString& text, qreal width) const;

    qreal pixels_;
    std::optional<QFont::Weight> weight_;
    Design design_;
    qreal tracking_;
    qreal scale_; // the whole font is `scale_` times larger than drawn
    QFont scaled_;
    QFontMetricsF metrics_;
    // The advance a narrow no-break space takes, in the scaled font's pixels; none where the face has it.
    std::optional<qreal> narrow_;
};

} // namespace dormio
