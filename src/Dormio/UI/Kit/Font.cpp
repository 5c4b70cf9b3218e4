#include "Dormio/UI/Kit/Font.h"

#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>
#include <cmath>

namespace dormio {

namespace {

// The smallest of 1, 2, 4 and 8 that makes the size a whole number of pixels.
qreal wholeScale(qreal pixels) {
    for (const qreal scale : {1.0, 2.0, 4.0, 8.0})
        if (std::abs(pixels * scale - std::round(pixels * scale)) < 1e-6) return scale;
    return 1;
}

QFont makeFont(qreal pixels, std::optional<QFont::Weight> weight, Font::Design design, qreal tracking) {
    QFont font;
    // DejaVu stands in for what the faces lack.
    const bool mono = design == Font::Design::monospaced;
    font.setFamilies(mono ? QStringList{"JetBrains Mono", "DejaVu Sans Mono"}
                          : QStringList{"Inter", "DejaVu Sans"});
    font.setStyleHint(mono ? QFont::Monospace : QFont::SansSerif);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    if (weight) font.setWeight(*weight);
    if (tracking != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return font;
}

constexpr QChar narrowSpace(0x202F);

std::optional<qreal> narrowAdvance(qreal pixels, std::optional<QFont::Weight> weight, Font::Design design,
                                   qreal tracking) {
    if (design != Font::Design::monospaced) return std::nullopt;
    const QFont system = makeFont(pixels, weight, Font::Design::standard, 0);
    return QFontMetricsF(system).horizontalAdvance(narrowSpace) + tracking;
}

// A duration in running text ("1 h 12 m") breaks as one word: the spaces inside it, as the layout is asked
// where to break, are no-break spaces.
QString durationsJoined(QString text) {
    static const QRegularExpression inside(QStringLiteral("(?<=\\d) (?=[hms]\\b)|(?<=\\d h) (?=\\d)"));
    return text.replace(inside, QStringLiteral("\u00A0"));
}

// What a text measures in one font, cut or broken at one width (the elide mode, or -1).
struct Measure {
    qreal pixels;
    int weight;
    Font::Design design;
    qreal tracking;
    QString text;
    qreal width;
    int mode;
    bool operator==(const Measure&) const = default;
};

Measure measure(const Font& font, const QString& text, qreal width, int mode) {
    return {
        font.pixels(), font.weight() ? int(*font.weight()) : -1, font.design(), font.tracking(), text, width,
        mode};
}

size_t qHash(const Measure& key, size_t seed = 0) {
    return qHashMulti(seed, key.pixels, key.weight, int(key.design), key.tracking, key.text, key.width,
                      key.mode);
}

// Shaping a text is what measuring costs, and a page shows the same texts in the same few fonts again and
// again: its titles, column heads and notes on every night, the hours and holders of most. Each thread
// keeps what it measured until it has measured a few thousand texts, then starts afresh.
template <typename Value> class Measured {
public:
    template <typename Compute> Value operator()(Measure key, Compute compute) {
        if (const auto found = values_.constFind(key); found != values_.constEnd()) return *found;
        if (values_.size() >= kept) values_.clear();
        Value value = compute();
        values_.insert(std::move(key), value);
        return value;
    }

private:
    static constexpr qsizetype kept = 4096;
    QHash<Measure, Value> values_;
};

} // namespace

Font::Font(qreal pixels, std::optional<QFont::Weight> weight, Design design, qreal tracking)
    : pixels_(pixels), weight_(weight), design_(design), tracking_(tracking), scale_(wholeScale(pixels)),
      scaled_(makeFont(pixels * scale_, weight, design, tracking * scale_)), metrics_(scaled_),
      narrow_(narrowAdvance(pixels * scale_, weight, design, tracking * scale_)) {}

QFont Font::nearest() const {
    return makeFont(pixels_, weight_, design_, tracking_);
}

qreal Font::width(const QString& text) const {
    thread_local Measured<qreal> widths;
    return widths(measure(*this, text, 0, -1), [&] { return shapedWidth(text); });
}

qreal Font::shapedWidth(const QString& text) const {
    if (!narrow_ || !text.contains(narrowSpace)) return metrics_.horizontalAdvance(text) / scale_;
    qreal width = 0;
    for (const QString& piece : text.split(narrowSpace))
        width += metrics_.horizontalAdvance(piece);
    return (width + *narrow_ * qreal(text.count(narrowSpace))) / scale_;
}

QString Font::elided(const QString& text, Qt::TextElideMode mode, qreal width) const {
    if (this->width(text) <= width) return text;
    thread_local Measured<QString> elisions;
    return elisions(measure(*this, text, width, int(mode)),
                    [&] { return metrics_.elidedText(text, mode, std::max<qreal>(width, 0) * scale_); });
}

QStringList Font::wrapped(const QString& text, qreal width) const {
    thread_local Measured<QStringList> breaks;
    return breaks(measure(*this, text, width, -1), [&] { return brokenLines(text, width); });
}

QStringList Font::brokenLines(const QString& text, qreal width) const {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        const qsizetype before = lines.size();
        // The same characters, one for one, so that a line's span is the paragraph's too.
        QTextLayout layout(durationsJoined(paragraph), scaled_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max<qreal>(width, 1) * scale_);
            QString piece = paragraph.mid(line.textStart(), line.textLength());
            while (piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
            lines << piece;
        }
        layout.endLayout();
        if (lines.size() == before) lines << QString();
    }
    return lines;
}

void Font::draw(QPainter& painter, QPointF origin, const QString& text) const {
    painter.save();
    painter.setFont(scaled_);
    painter.translate(origin);
    painter.scale(1 / scale_, 1 / scale_);
    if (!narrow_ || !text.contains(narrowSpace)) {
        painter.drawText(QPointF(0, 0), text);
    } else {
        qreal x = 0;
        for (const QString& piece : text.split(narrowSpace)) {
            painter.drawText(QPointF(x, 0), piece);
            x += metrics_.horizontalAdvance(piece) + *narrow_;
        }
    }
    painter.restore();
}

} // namespace dormio
