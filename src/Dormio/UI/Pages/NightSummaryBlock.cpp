#include "Dormio/UI/Pages/NightSummaryBlock.h"

#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"

#include <QVBoxLayout>
#include <algorithm>

namespace dormio {

namespace {

// The sentence and the narrative never grow wider than a comfortable line.
constexpr qreal textWidth = 760;

SummaryFigure batteryFigure(const Night& night) {
    const auto lost = night.lost();
    if (!night.hasBattery || !lost) return {QStringLiteral("AC"), QStringLiteral("mains power")};
    const QString value =
        night.pluggedIn && *lost <= 0 ? QStringLiteral("+0\u202F%") : text(Fmt::drop(*lost));
    return {value, night.pluggedIn ? QStringLiteral("on charger") : QStringLiteral("battery")};
}

QString bedtime(const Night& night) {
    const auto event = night.bedtime();
    if (!event || event->label == "Already asleep") return QStringLiteral("\u2014");
    return text(Fmt::clockTime(event->date));
}

} // namespace

std::array<SummaryFigure, 4> summaryFigures(const Night& night) {
    const int64_t wakes = night.wakeCount();
    return {{
        {night.asleep() >= 60 ? text(Fmt::duration(night.asleep(), false)) : QStringLiteral("0 m"),
         QStringLiteral("asleep")},
        {QString::number(wakes), wakes == 1 ? QStringLiteral("wake") : QStringLiteral("wakes"), wakes > 0},
        batteryFigure(night),
        {bedtime(night), QStringLiteral("asleep from")},
    }};
}

SummaryFigures::SummaryFigures(const Night& night, QWidget* parent) : QWidget(parent) {
    const auto shown = summaryFigures(night);
    for (size_t i = 0; i < shown.size(); ++i)
        figures_[i] =
            new Figure(shown[i].value, shown[i].label, shown[i].rose ? Theme::rose : Theme::ink, this);
    grade_ = new RestGrade(int(night.score()), false, this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

// Hidden, as the page tells a kept body the next night, the figures and the grade take their new values
// without rolling or filling in.
void SummaryFigures::setNight(const Night& night) {
    const auto shown = summaryFigures(night);
    for (size_t i = 0; i < shown.size(); ++i) {
        figures_[i]->setValue(shown[i].value);
        figures_[i]->setLabel(shown[i].label);
        figures_[i]->setTint(shown[i].rose ? Theme::rose : Theme::ink);
    }
    grade_->setScore(int(night.score()));
    updateGeometry();
    place();
}

int SummaryFigures::figuresWidth(qreal spacing) const {
    int width = int(spacing) * int(figures_.size() - 1);
    for (const Figure* figure : figures_)
        width += figure->sizeHint().width();
    return width;
}

int SummaryFigures::figuresHeight() const {
    int height = 0;
    for (const Figure* figure : figures_)
        height = std::max(height, figure->sizeHint().height());
    return height;
}

bool SummaryFigures::oneRow(int width) const {
    return figuresWidth(Theme::Space::xxl) + grade_->sizeHint().width() <= width;
}

QSize SummaryFigures::sizeHint() const {
    return {figuresWidth(Theme::Space::xxl) + grade_->sizeHint().width(), heightForWidth(QWIDGETSIZE_MAX)};
}

// The height follows the width (heightForWidth); the least height is the single row's, so that a layout
// never keeps room for the grade's second line when the row fits.
QSize SummaryFigures::minimumSizeHint() const {
    return {std::max(figuresWidth(Theme::Space::xl), grade_->sizeHint().width()),
            heightForWidth(QWIDGETSIZE_MAX)};
}

int SummaryFigures::heightForWidth(int width) const {
    const int grade = grade_->sizeHint().height();
    if (oneRow(width)) return std::max(figuresHeight(), grade);
    return figuresHeight() + int(Theme::Space::l) + grade;
}

void SummaryFigures::resizeEvent(QResizeEvent*) {
    place();
}

void SummaryFigures::place() {
    const bool row = oneRow(width());
    const qreal spacing = row ? Theme::Space::xxl : Theme::Space::xl;
    const QSize gradeSize = grade_->sizeHint();
    // One row is bottom-aligned: figures and grade share the row's foot.
    const int rowHeight = row ? std::max(figuresHeight(), gradeSize.height()) : figuresHeight();
    int x = 0;
    for (Figure* figure : figures_) {
        const QSize size = figure->sizeHint();
        figure->setGeometry(x, rowHeight - size.height(), size.width(), size.height());
        x += size.width() + int(spacing);
    }
    if (row)
        grade_->setGeometry(width() - gradeSize.width(), rowHeight - gradeSize.height(), gradeSize.width(),
                            gradeSize.height());
    else
        grade_->setGeometry(0, rowHeight + int(Theme::Space::l), gradeSize.width(), gradeSize.height());
}

NightSummaryBlock::NightSummaryBlock(const Night& night, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(int(Theme::Space::l));

    sentence_ = new Label(text(NightSummary::sentence(night)), Theme::Typo::lede(), Theme::ink);
    sentence_->setWrapping(textWidth);
    stack->addWidget(sentence_, 0, Qt::AlignLeading);

    figures_ = new SummaryFigures(night);
    stack->addWidget(figures_);

    narrative_ = new Label(QString(), Theme::Typo::body(), Theme::ink2);
    narrative_->setWrapping(textWidth);
    stack->addWidget(narrative_, 0, Qt::AlignLeading);
    showNarrative(night);
}

Label* NightSummaryBlock::narrative() const {
    return narrative_->isHidden() ? nullptr : narrative_;
}

void NightSummaryBlock::setNight(const Night& night) {
    sentence_->setText(text(NightSummary::sentence(night)));
    figures_->setNight(night);
    showNarrative(night);
}

// A night with nothing to tell has no narrative: the label is hidden and empty.
void NightSummaryBlock::showNarrative(const Night& night) {
    const std::string story = NightSummary::narrative(night);
    narrative_->setText(text(story));
    narrative_->setVisible(!story.empty());
}

} // namespace dormio
