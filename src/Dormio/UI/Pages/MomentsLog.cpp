#include "Dormio/UI/Pages/MomentsLog.h"

#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/FilledBar.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/MomentRow.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"

#include <QBoxLayout>
#include <cmath>

namespace dormio {

namespace {

// A borderless text button in the brand's indigo.
ButtonStyle plainStyle() {
    ButtonStyle style{Theme::systemFont(11, QFont::Medium, true)};
    style.label = style.labelHover = Theme::indigo;
    style.fill = style.fillHover = style.fillPressed = clear;
    style.outline = style.outlineHover = clear;
    style.height = style.font.height();
    return style;
}

// Puts a cell in a line aligned on the first text baseline: `top` is how far the cell's baseline lies
// below its top edge, `baseline` the line's.
void addOnBaseline(QHBoxLayout* line, QWidget* cell, qreal top, qreal baseline, int stretch = 0) {
    auto* box = new QVBoxLayout;
    box->setContentsMargins(0, int(std::lround(baseline - top)), 0, 0);
    box->addWidget(cell);
    box->addStretch();
    line->addLayout(box, stretch);
}

} // namespace

MomentsLog::MomentsLog(const Night& night, QWidget* parent)
    : Panel(QStringLiteral("Logbook"), QString(), Theme::Space::l, nullptr, parent), night_(night),
      reveal_(this, 0, [this](qreal height) { rowsBox_->setMaximumHeight(int(std::lround(height))); }) {
    showNight();
}

void MomentsLog::setNight(const Night& night) {
    night_ = night;
    showAll_ = false;
    if (reveal_.running()) {
        reveal_.jumpTo(reveal_.value());
        rowsBox_->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    showNight();
}

void MomentsLog::showNight() {
    items_ = Story::items(night_);
    header()->setNote(QString::number(night_.events.size()) + QStringLiteral(" entries"));
    if (items_.empty()) {
        rowsBox_ = nullptr, toggle_ = nullptr, togglePad_ = nullptr, closing_ = nullptr, end_ = nullptr,
        morning_ = nullptr;
        setContent(new Label(QStringLiteral("Nothing was recorded in this window."), Theme::Typo::body(),
                             Theme::ink2));
        return;
    }
    if (!rowsBox_) setContent(list());
    // The rows already built tell the new night's first moments; showRows adds or takes away the rest.
    const std::vector<MomentRow*> built = rows();
    const std::size_t shown = cut() ? cutTo : items_.size();
    for (std::size_t i = 0; i < std::min(built.size(), shown); ++i)
        built[i]->setItem(items_[i]);
    showRows();
    toggle_->setText(toggleText(showAll_, items_.size()));
    togglePad_->setVisible(cut());
    // A night in progress has no closing line yet.
    const bool closed = !night_.inProgress;
    end_->setText(closed ? QString::fromStdString(Fmt::clockTime(night_.end)) : QString());
    morning_->setText(closed ? QString::fromStdString(NightSummary::morningLine(night_)) : QString());
    closing_->setVisible(closed);
}

QString MomentsLog::toggleText(bool showAll, std::size_t items) {
    return showAll ? QStringLiteral("Show fewer")
                   : QStringLiteral("Show all ") + QString::number(items) + QStringLiteral(" entries");
}

QWidget* MomentsLog::list() {
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    rowsBox_ = new QWidget;
    auto* rows = new QVBoxLayout(rowsBox_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    stack->addWidget(rowsBox_);
    auto* button = new Button(plainStyle(), QString());
    connect(button, &QAbstractButton::clicked, this, [this] { setShowAll(!showAll_); });
    toggle_ = button;
    togglePad_ = new QWidget;
    auto* padded = new QHBoxLayout(togglePad_);
    padded->setContentsMargins(int(hairlineInset), 8, 0, 8);
    padded->addWidget(button);
    padded->addStretch();
    stack->addWidget(togglePad_);
    stack->addWidget(closingLine());
    return content;
}

// The night's end time under the rows' times, a dash under their marks, and the morning line.
QWidget* MomentsLog::closingLine() {
    closing_ = new QWidget;
    auto* line = new QHBoxLayout(closing_);
    line->setContentsMargins(0, 8, 0, 0);
    line->setSpacing(int(MomentRow::spacing));
    end_ = new Label(QString(), Theme::Typo::time(), Theme::ink3);
    end_->setAlignment(Qt::AlignTrailing);
    end_->setFixedWidth(int(MomentRow::timeWidth));
    morning_ = new Label(QString(), Theme::Typo::small(), Theme::ink2);
    morning_->setElide(Qt::ElideRight);
    // Each label stands at its natural height, where its baseline lies its font's ascent below its top.
    const qreal endBaseline = end_->textFont().ascent();
    const qreal morningBaseline = morning_->textFont().ascent();
    const qreal baseline = std::max(endBaseline, morningBaseline);
    addOnBaseline(line, end_, endBaseline, baseline);
    // The dash floats above the baseline: its top lies 4 px over it.
    addOnBaseline(line, new FilledBar(Theme::ink3, int(MomentRow::markWidth), 1), 4, baseline);
    addOnBaseline(line, morning_, morningBaseline, baseline, 1);
    return closing_;
}

void MomentsLog::setShowAll(bool showAll) {
    if (showAll == showAll_ || !cut()) return;
    showAll_ = showAll;
    toggle_->setText(toggleText(showAll_, items_.size()));
    // The rows that come or go are revealed or covered as the list's height moves to its new length.
    const int from = reveal_.running() ? int(reveal_.value()) : rowsHeight(rows().size());
    if (showAll_) showRows();
    const int to = rowsHeight(showAll_ ? items_.size() : cutTo);
    reveal_.jumpTo(from);
    reveal_.animateTo(to, Motion::standard(), [this] {
        if (!showAll_) showRows();
        rowsBox_->setMaximumHeight(QWIDGETSIZE_MAX);
    });
}

int MomentsLog::rowsHeight(std::size_t count) const {
    // Each row and its hairline, at the width the rows have (or will have, before the first layout).
    const int width = std::max(rowsBox_->width(), 1);
    int height = 0;
    QLayout* rows = rowsBox_->layout();
    for (int i = 0; i < std::min(rows->count(), int(2 * count)); ++i) {
        const QLayoutItem* item = rows->itemAt(i);
        height += item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
    }
    return height;
}

void MomentsLog::showRows() {
    auto* rows = static_cast<QVBoxLayout*>(rowsBox_->layout());
    const std::size_t shown = cut() && !showAll_ ? cutTo : items_.size();
    const std::size_t present = std::size_t(rows->count() / 2);
    for (std::size_t i = present; i < shown; ++i) {
        // Shown now, not at the next turn of the event loop, so that they count in the list's height.
        for (QWidget* widget : {static_cast<QWidget*>(new MomentRow(items_[i])),
                                static_cast<QWidget*>(FilledBar::hairline(int(hairlineInset)))}) {
            rows->addWidget(widget);
            widget->show();
        }
    }
    while (std::size_t(rows->count() / 2) > shown) {
        for (int k = 0; k < 2; ++k) {
            QLayoutItem* item = rows->takeAt(rows->count() - 1);
            delete item->widget();
            delete item;
        }
    }
}

std::vector<MomentRow*> MomentsLog::rows() const {
    std::vector<MomentRow*> found;
    if (!rowsBox_) return found;
    for (int i = 0; i < rowsBox_->layout()->count(); ++i)
        if (auto* row = dynamic_cast<MomentRow*>(rowsBox_->layout()->itemAt(i)->widget()))
            found.push_back(row);
    return found;
}

} // namespace dormio
