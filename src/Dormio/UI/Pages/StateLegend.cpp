#include "Dormio/UI/Pages/StateLegend.h"

#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"

#include <QHBoxLayout>
#include <QPainter>

namespace dormio {

namespace {

// A filled rectangle of a fixed size: a state's colour, or the battery line's.
class Swatch : public QWidget {
public:
    Swatch(QSize size, DynamicColor color) : color_(color) { setFixedSize(size); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(color_)); }

private:
    DynamicColor color_;
};

struct StateKey {
    DynamicColor color;
    QSize swatch;
};

StateKey keyOf(PowerState state) {
    switch (state) {
    case PowerState::asleep: return {Theme::indigo, {10, 10}};
    case PowerState::dark: return {Theme::rose, {2, 10}};
    case PowerState::awake: return {Theme::rose.opacity(0.55), {10, 10}};
    case PowerState::screenOn: return {Theme::amber, {10, 10}};
    }
    return {Theme::ink3, {10, 10}};
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

StateLegend::StateLegend(const Night& night, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(indent, 0, 0, 0);
    row->setSpacing(int(Theme::Space::l));
    for (const PowerState state : PowerStates::allCases) {
        const StateKey key = keyOf(state);
        row->addWidget(entry(new Swatch(key.swatch, key.color),
                             {caption(QString::fromUtf8(label(state).data(), qsizetype(label(state).size()))),
                              figure(QString::fromStdString(Fmt::clock(night.time(state))))}),
                       0, Qt::AlignVCenter);
    }
    row->addStretch(1);
    if (!night.hasBattery) return;
    const auto start = night.startCharge(), end = night.endCharge();
    auto* battery = new Swatch({12, 1}, Theme::ink2);
    QWidget* key = start && end ? entry(battery, {caption(QStringLiteral("Battery")),
                                                  figure(QStringLiteral("%1 \u2192 %2\u202F%").arg(*start).arg(*end))})
                                : entry(battery, {caption(QStringLiteral("Battery"))});
    row->addWidget(key, 0, Qt::AlignVCenter);
}

} // namespace dormio
