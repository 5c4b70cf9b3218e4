#include "Dormio/UI/Kit/Figures.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "DormioKit/RestScore.h"

#include <QBoxLayout>
#include <QPainter>
#include <cmath>

namespace dormio {

namespace {

const Font& scoreFont(bool compact) {
    return compact ? Theme::Typo::figureSmall() : Theme::Typo::figure();
}

QString word(int score) {
    return QString::fromStdString(RestScore::word(score));
}

} // namespace

Figure::Figure(const QString& value, const QString& label, DynamicColor tint, QWidget* parent)
    : QWidget(parent), value_(new Label(value, Theme::Typo::figure(), tint)),
      label_(new Kicker(label, Theme::ink3)) {
    value_->setElide(Qt::ElideNone);
    value_->setTransition(TextTransition::numeric);
    label_->setElide(Qt::ElideNone);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(3);
    stack->setSizeConstraint(QLayout::SetFixedSize);
    stack->addWidget(value_);
    stack->addWidget(label_);
}

void Figure::setValue(const QString& value) {
    value_->setText(value);
}

void Figure::setLabel(const QString& label) {
    label_->setText(label);
}

void Figure::setTint(DynamicColor tint) {
    value_->setColor(tint);
}

RestGrade::RestGrade(int score, bool compact, QWidget* parent)
    : QWidget(parent), score_(score), compact_(compact), litBefore_(int(RestScore::ticks(score))),
      ticks_(this, 1), change_(this) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Rest score %1 of 100, %2").arg(score).arg(word(score)));
}

void RestGrade::setScore(int score) {
    if (score == score_) return;
    const bool animate = isVisible() && !Motion::reduceMotion();
    if (animate) change_.start(QString::number(score_), TextTransition::numeric, Motion::snappy());
    litBefore_ = geometry(score_, compact_).lit;
    score_ = score;
    setAccessibleName(QStringLiteral("Rest score %1 of 100, %2").arg(score).arg(word(score)));
    if (animate) {
        ticks_.jumpTo(0);
        ticks_.animateTo(1, Motion::snappy());
    } else {
        ticks_.jumpTo(1);
    }
    updateGeometry();
    update();
}

RestGrade::Geometry RestGrade::geometry(int score, bool compact) {
    const Font kicker = Kicker::font();
    const Font& figure = scoreFont(compact);
    const Font& small = Theme::Typo::small();
    const QString number = QString::number(score);

    // The row of texts, on one baseline, 6 px apart.
    qreal ascent = std::max(kicker.ascent(), figure.ascent());
    qreal descent = std::max(kicker.descent(), figure.descent());
    if (!compact) {
        ascent = std::max(ascent, small.ascent());
        descent = std::max(descent, small.descent());
    }
    Geometry g;
    g.kicker = {0, ascent};
    g.score = {kicker.width(QStringLiteral("REST")) + 6, ascent};
    g.word = {g.score.x() + figure.width(number) + 6, ascent};
    const qreal rowWidth = compact ? g.word.x() - 6 : g.word.x() + small.width(word(score));

    // Ten bars centred on the middle of a strip as high as the tallest; every fifth one is taller.
    const qreal barWidth = compact ? 2 : 2.5;
    const qreal spacing = compact ? 2 : 3;
    const qreal strip = compact ? 8 : 11;
    const qreal top = ascent + descent + (compact ? 3 : 5);
    for (int i = 0; i < 10; ++i) {
        const bool fifth = i == 4 || i == 9;
        const qreal height = fifth ? strip : (compact ? 6 : 8);
        g.bars[size_t(i)] = QRectF(i * (barWidth + spacing), top + (strip - height) / 2, barWidth, height);
    }
    g.lit = int(RestScore::ticks(score));
    g.size = {std::max(rowWidth, g.bars.back().right()), top + strip};
    return g;
}

QSize RestGrade::sizeHint() const {
    const QSizeF size = geometry(score_, compact_).size;
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

void RestGrade::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Geometry g = geometry(score_, compact_);
    painter.setPen(QColor(Theme::ink3));
    Kicker::font().draw(painter, g.kicker, QStringLiteral("REST"));
    painter.setPen(QColor(Theme::ink));
    change_.draw(painter, scoreFont(compact_), g.score, QString::number(score_));
    if (!compact_) {
        painter.setPen(QColor(Theme::ink2));
        Theme::Typo::small().draw(painter, g.word, word(score_));
    }
    const QColor lit = Theme::ink;
    const QColor unlit = Theme::ruleStrong;
    const qreal t = ticks_.value();
    for (int i = 0; i < 10; ++i) {
        const QColor before = i < litBefore_ ? lit : unlit;
        const QColor after = i < g.lit ? lit : unlit;
        painter.fillRect(g.bars[size_t(i)], Shapes::mix(before, after, t));
    }
}

} // namespace dormio
