#include "Dormio/UI/Pages/NightHeader.h"

#include "Dormio/Core/DormioDemo.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/FilledBar.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "DormioKit/Fmt.h"

#include <QBoxLayout>
#include <QKeySequence>
#include <QPainter>

namespace dormio {

namespace {

// The two step buttons share one outline.
class StepGroup : public QWidget {
public:
    StepGroup() {
        auto* line = new QHBoxLayout(this);
        line->setContentsMargins(2, 2, 2, 2);
        line->setSpacing(0);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        Shapes::strokeInside(painter, rect(), Theme::Radius::control + 2, Theme::rule);
    }
};

// "Previous night (Ctrl+[)": the menu command's shortcut as this platform names its keys.
QString withShortcut(const QString& what, Qt::Key key) {
    return what + QStringLiteral(" (") + QKeySequence(Qt::CTRL | key).toString(QKeySequence::NativeText) +
           QLatin1Char(')');
}

} // namespace

NightHeader::NightHeader(Store& store, const Night& night, QWidget* parent)
    : PageHeader(kickerText(night), store.title(night), nullptr, parent), store_(store) {
    setTrailing(trailing());
    setNight(night);
}

void NightHeader::setNight(const Night& night) {
    setKicker(kickerText(night));
    setTitle(store_.title(night));
    // A recorded demo shows sample nights as if they were the viewer's own.
    sampleTag_->setVisible(night.isDemo && !DormioDemo::recordingDemo());
    previous_->setEnabled(store_.canStep(-1));
    next_->setEnabled(store_.canStep(1));
}

QString NightHeader::kickerText(const Night& night) {
    QString kicker = QStringLiteral("Night of ") + text(Fmt::day(night.start)) + QStringLiteral(" \u00B7 ") +
                     text(Fmt::clockTime(night.start)) + QStringLiteral(" \u2192 ") +
                     text(Fmt::clockTime(night.end));
    if (night.inProgress) kicker += QStringLiteral(" \u00B7 recording");
    return kicker;
}

QWidget* NightHeader::trailing() {
    auto* trailing = new QWidget;
    auto* line = new QHBoxLayout(trailing);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(int(Theme::Space::m));
    sampleTag_ = new Tag(QStringLiteral("SAMPLE DATA"), Theme::amber);
    line->addWidget(sampleTag_, 0, Qt::AlignVCenter);

    auto* group = new StepGroup;
    const auto stepButton = [&](std::string_view symbol, int offset, const QString& tip) {
        Button* button = Button::withSymbol(IconButtonStyle{26}, symbol);
        button->setToolTip(tip);
        connect(button, &QAbstractButton::clicked, this, [this, offset] { store_.step(offset); });
        return button;
    };
    previous_ = stepButton(ViewSymbols::previousNight, -1,
                           withShortcut(QStringLiteral("Previous night"), Qt::Key_BracketLeft));
    next_ = stepButton(ViewSymbols::nextNight, 1,
                       withShortcut(QStringLiteral("Next night"), Qt::Key_BracketRight));
    group->layout()->addWidget(previous_);
    static_cast<QHBoxLayout*>(group->layout())
        ->addWidget(new FilledBar(Theme::rule, 1, 16), 0, Qt::AlignVCenter);
    group->layout()->addWidget(next_);
    line->addWidget(group, 0, Qt::AlignVCenter);
    return trailing;
}

} // namespace dormio
