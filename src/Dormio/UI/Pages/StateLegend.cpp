#include "Dormio/UI/Pages/StateLegend.h"

#include "Dormio/UI/Kit/FilledBar.h"
#include "Dormio/UI/Kit/StateStyle.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"

#include <QHBoxLayout>

namespace dormio {

namespace {

// A dark wake is a moment rather than a stretch: its swatch is a thin mark.
QSize swatchSize(PowerState state) {
    return state == PowerState::dark ? QSize(2, 10) : QSize(10, 10);
}

Label* caption(const QString& text) {
    static const Font font = Theme::systemFont(9.5, QFont::Medium, true).withTracking(0.5);
    auto* label = new Label(text, font, Theme::ink3);
    label->setUppercase(true);
    return label;
}

Label* figure(const QString& text) {
    static const Font font = Theme::systemFont(11, QFont::Normal, true);
    return new Label(text, font, Theme::ink2);
}

// A swatch and its words, kept at their ideal size: a narrow panel takes the space between them first.
QWidget* entry(QWidget* swatch, std::initializer_list<Label*> words) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->setSizeConstraint(QLayout::SetFixedSize);
    row->addWidget(swatch, 0, Qt::AlignVCenter);
    for (Label* word : words) {
        word->setElide(Qt::ElideNone);
        row->addWidget(word, 0, Qt::AlignVCenter);
    }
    return box;
}

} // namespace

StateLegend::StateLegend(const Night& night, QWidget* parent)
    : QWidget(parent), states_(new QHBoxLayout), below_(new QHBoxLayout) {
    // The entries never shrink, and neither may they hold the whole page wider than its window: on a
    // narrow panel the space between them goes first, then the battery key moves to a line of its own.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* lines = new QVBoxLayout(this);
    lines->setContentsMargins(indent, 0, 0, 0);
    lines->setSpacing(6);
    lines->addLayout(states_);
    lines->addLayout(below_);
    states_->setSpacing(int(Theme::Space::l));
    below_->addStretch(1);
    for (const PowerState state : PowerStates::allCases) {
        const QSize swatch = swatchSize(state);
        states_->addWidget(
            entry(new FilledBar(stateKey(state), swatch.width(), swatch.height()),
                  {caption(QString::fromUtf8(label(state).data(), qsizetype(label(state).size()))),
                   figure(QString::fromStdString(Fmt::clock(night.time(state))))}),
            0, Qt::AlignVCenter);
    }
    states_->addStretch(1);
    if (!night.hasBattery) return;
    const auto start = night.startCharge(), end = night.endCharge();
    auto* line = new FilledBar(Theme::ink2, 12, 1);
    battery_ = start && end
                   ? entry(line, {caption(QStringLiteral("Battery")),
                                  figure(QStringLiteral("%1 \u2192 %2\u202F%").arg(*start).arg(*end))})
                   : entry(line, {caption(QStringLiteral("Battery"))});
    states_->addWidget(battery_, 0, Qt::AlignVCenter);
}

bool StateLegend::batteryBelow() const {
    return battery_ && below_->indexOf(battery_) >= 0;
}

void StateLegend::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!battery_) return;
    int needed = indent + battery_->sizeHint().width();
    for (int i = 0; i < states_->count(); ++i)
        if (QWidget* entry = states_->itemAt(i)->widget(); entry && entry != battery_)
            needed += entry->sizeHint().width() + states_->spacing();
    const bool below = width() < needed;
    if (below == batteryBelow()) return;
    (below ? states_ : below_)->removeWidget(battery_);
    (below ? below_ : states_)->addWidget(battery_, 0, Qt::AlignVCenter);
    updateGeometry();
}

} // namespace dormio
