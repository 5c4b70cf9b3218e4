#include "Dormio/UI/Pages/MomentRow.h"

#include "Dormio/Core/DormioDemo.h"
#include "Dormio/UI/Kit/Badges.h"
#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/FilledBar.h"
#include "Dormio/UI/Kit/RowHover.h"
#include "Dormio/UI/Kit/StateStyle.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/ViewSymbols.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/ProcessNames.h"
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QBoxLayout>
#include <QHideEvent>

namespace dormio {

namespace {

QString clock(Date date) {
    return text(Fmt::clockTime(date));
}

// A cell of the row at the row's top with 1 px above it, so its text sits with the label's. A layout's
// own alignment places only the layout, so the cell carries it.
QLayout* loweredByOne(QWidget* cell) {
    auto* box = new QVBoxLayout;
    box->setContentsMargins(0, 1, 0, 0);
    box->addWidget(cell, 0, Qt::AlignTop);
    return box;
}

const Font& durationFont() {
    static const Font font = Theme::systemFont(11, QFont::Normal, true);
    return font;
}

} // namespace

MomentRow::MomentRow(StoryItem item, QWidget* parent)
    : QWidget(parent), item_(std::move(item)), time_(new Label({}, Theme::Typo::time(), Theme::ink2)),
      mark_(new FilledBar(Theme::ink3, int(markWidth), 15)),
      label_(new Label({}, Theme::Typo::bodyStrong(), Theme::ink)), count_(new Tag({}, Theme::rose)),
      detail_(new Label({}, Theme::Typo::small(), Theme::ink2)),
      duration_(new Label({}, durationFont(), Theme::ink2)),
      info_(Button::withSymbol(IconButtonStyle{22}, ViewSymbols::momentDetails)) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 7, 2, 7);
    line->setSpacing(int(spacing));

    time_->setAlignment(Qt::AlignTrailing);
    time_->setFixedWidth(int(timeWidth));
    line->addLayout(loweredByOne(time_));
    line->addLayout(loweredByOne(mark_));

    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* title = new QHBoxLayout;
    title->setSpacing(6);
    label_->setElide(Qt::ElideRight);
    title->addWidget(label_, 0, Qt::AlignVCenter);
    // A moment that is not a run of like moments has no count: the hidden tag takes no room.
    title->addWidget(count_, 0, Qt::AlignVCenter);
    title->addStretch();
    column->addLayout(title);
    detail_->setElide(Qt::ElideMiddle);
    column->addWidget(detail_);
    line->addLayout(column, 1);

    line->addSpacing(6); // the column's stretch keeps at least this much before the duration
    line->addLayout(loweredByOne(duration_));

    info_->setToolTip(SourceTexts::showRecord());
    connect(info_, &QAbstractButton::clicked, this, [this] { setShowInfo(!showInfo()); });
    line->addWidget(info_, 0, Qt::AlignTop);

    showItem();
    RowHover::attach(this);
}

void MomentRow::setItem(StoryItem item) {
    setShowInfo(false);
    item_ = std::move(item);
    showItem();
}

void MomentRow::showItem() {
    const NightEvent& first = item_.first();
    time_->setText(clock(first.date));
    mark_->setColor(mark(first));
    label_->setText(text(first.label));
    // The parts a moment has no use for are hidden and empty, as if the row had none.
    count_->setText(item_.isGroup() ? QStringLiteral("\u00D7") + QString::number(item_.events.size())
                                    : QString());
    count_->setVisible(item_.isGroup());
    detail_->setText(detail(item_));
    // Falling asleep is a moment, not a stretch: it has no duration.
    const bool lasted = first.kind != NightEvent::Kind::fellAsleep;
    duration_->setText(lasted ? text(Fmt::duration(item_.totalDuration(), false)) : QString());
    duration_->setVisible(lasted);
    demoAnchor(info_, QStringLiteral("info-") + text(item_.id()));
}

DynamicColor MomentRow::mark(const NightEvent& event) {
    switch (event.kind) {
    case NightEvent::Kind::awakeAtStart:
        return Theme::ink3;
    case NightEvent::Kind::fellAsleep:
        return stateKey(PowerState::asleep);
    case NightEvent::Kind::darkWake:
        return stateKey(PowerState::dark);
    case NightEvent::Kind::stayedAwake:
        return stateKey(PowerState::awake);
    case NightEvent::Kind::screenOn:
        return stateKey(PowerState::screenOn);
    }
    return Theme::ink3;
}

QString MomentRow::shortScheduler(const QString& scheduledBy) {
    if (!scheduledBy.contains(QStringLiteral("com.apple.dasd:"))) return scheduledBy;
    const QStringList pieces = scheduledBy.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return QStringLiteral("dasd \u00B7 ") + pieces.last();
}

QString MomentRow::detail(const StoryItem& item) {
    if (item.isGroup())
        return QStringLiteral("Between ") + clock(item.first().date) + QStringLiteral(" and ") +
               clock(item.events.back().date);
    const NightEvent& first = item.first();
    switch (first.kind) {
    case NightEvent::Kind::awakeAtStart:
        return QStringLiteral("When the night window began");
    case NightEvent::Kind::fellAsleep:
        return QStringLiteral("Slept ") + text(Fmt::duration(first.duration, false)) +
               QStringLiteral(" before anything stirred");
    case NightEvent::Kind::darkWake:
        return first.scheduledBy ? QStringLiteral("Requested by ") + shortScheduler(text(*first.scheduledBy))
                                 : QStringLiteral("Screen stayed off");
    case NightEvent::Kind::stayedAwake:
        if (first.culprit)
            return QStringLiteral("Held up by ") + text(ProcessNames::friendly(*first.culprit));
        if (first.scheduledBy) return text(*first.scheduledBy);
        return QStringLiteral("Nothing obvious was holding it");
    case NightEvent::Kind::screenOn:
        return first.scheduledBy ? text(*first.scheduledBy) : QStringLiteral("Display turned on");
    }
    return {};
}

void MomentRow::setShowInfo(bool show) {
    if (show == showInfo()) return;
    if (!show) {
        popup_->close();
        return;
    }
    popup_ = new RawPopup(item_, info_, [this] { popup_ = nullptr; });
    // The demo recorder films the card on the side facing the page, where it stays in frame.
    popup_->open(DormioDemo::recordingDemo() ? RawPopup::Edge::leading : RawPopup::Edge::trailing);
}

void MomentRow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (demoRequests_) return;
    demoRequests_ =
        connect(&DormioDemo::shared(), &DormioDemo::showInfo, this,
                [this](const std::optional<QString>& id) { setShowInfo(id == text(item_.id())); });
}

void MomentRow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A row put out of view (its night stepped away from) closes its card, as a row taken down did; a
    // window minimised leaves it to the card.
    if (!event->spontaneous()) setShowInfo(false);
    disconnect(demoRequests_);
    demoRequests_ = {};
}

} // namespace dormio
