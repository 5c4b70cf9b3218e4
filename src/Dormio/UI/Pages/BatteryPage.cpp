#include "Dormio/UI/Pages/BatteryPage.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Charts/ChartCanvas.h"
#include "Dormio/UI/Charts/DrainPlot.h"
#include "Dormio/UI/Charts/HealthGauge.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/BatteryTexts.h"
#include "Dormio/UI/Pages/SpecSheet.h"
#include "DormioKit/Fmt.h"

#include <QBoxLayout>
#include <algorithm>

namespace dormio {

namespace {

const Font& figureFont() {
    static const Font font = Theme::systemFont(34, QFont::Medium, true);
    return font;
}

QWidget* stackOf(QBoxLayout* layout) {
    auto* box = new QWidget;
    box->setLayout(layout);
    layout->setContentsMargins(0, 0, 0, 0);
    return box;
}

} // namespace

std::vector<Night> BatteryPage::overnight(const std::vector<Night>& nights) {
    std::vector<Night> kept;
    std::copy_if(nights.begin(), nights.end(), std::back_inserter(kept),
                 [](const Night& night) { return !night.inProgress && night.lost(); });
    if (kept.size() > overnightLimit) kept.erase(kept.begin(), kept.end() - overnightLimit);
    return kept;
}

std::optional<QString> BatteryPage::overnightNote(std::size_t count) {
    if (count == 0) return std::nullopt;
    // "nights" also for one: the card's note reads the same whatever the count.
    return QStringLiteral("last ") + QString::number(count) +
           QStringLiteral(" nights \u00B7 % of charge used");
}

int64_t BatteryPage::shownValue(const BatteryInfo& battery) {
    return battery.healthPercent().value_or(battery.percent);
}

BatteryPage::BatteryPage(Store& store, QWidget* parent)
    : PageScroll(QStringLiteral("Battery"), parent), store_(store),
      header_(new PageHeader(QString(), QStringLiteral("Battery"), nullptr)), body_(new QWidget),
      cards_(new QVBoxLayout(body_)) {
    cards_->setContentsMargins(0, 0, 0, 0);
    cards_->setSpacing(int(Theme::Space::xl));
    addBlock(header_);
    addBlock(body_);
    followBattery();
    connect(&store_, &Store::batteryChanged, this, [this] { followBattery(); });
    connect(&store_, &Store::nightsChanged, this, [this] {
        if (overnightCard_) showOvernight();
    });
}

void BatteryPage::followBattery() {
    const std::optional<BatteryInfo>& battery = store_.battery();
    const bool has = battery.has_value();
    header_->setKicker(has ? QStringLiteral("Internal battery \u00B7 read now")
                           : QStringLiteral("No internal battery"));
    if (hadBattery_ != has) {
        clearBody();
        has ? buildBatteryCards() : buildMainsPower();
        hadBattery_ = has;
    }
    if (has) showBattery(*battery);
}

void BatteryPage::clearBody() {
    while (QLayoutItem* item = cards_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    gaugeCard_ = nullptr;
    figure_ = word_ = line_ = nullptr;
    gauge_ = drainPlot_ = nullptr;
    specSheet_ = nullptr;
    overnightCard_ = nullptr;
    mainsPower_ = nullptr;
}

void BatteryPage::buildBatteryCards() {
    figure_ = new Label(QString(), figureFont(), Theme::ink);
    figure_->setTransition(TextTransition::numeric, Motion::standardOrReduced());
    word_ = new Label(QString(), Theme::Typo::lede(), Theme::ink);
    line_ = new Label(QString(), Theme::Typo::body(), Theme::ink2);
    line_->setWrapping(QWIDGETSIZE_MAX);

    // The word's first baseline on the figure's.
    auto* words = new QVBoxLayout;
    words->setSpacing(2);
    words->addWidget(word_);
    words->addWidget(line_);
    QWidget* wordsBox = stackOf(words);
    words->setContentsMargins(0, int(std::lround(figureFont().ascent() - Theme::Typo::lede().ascent())), 0,
                              0);

    auto* reading = new QHBoxLayout;
    reading->setSpacing(int(Theme::Space::l));
    reading->addWidget(figure_, 0, Qt::AlignTop);
    reading->addWidget(wordsBox, 1, Qt::AlignTop);

    gauge_ = new ChartCanvas({});
    gauge_->setFixedHeight(58);

    auto* content = new QVBoxLayout;
    content->setSpacing(int(Theme::Space::m));
    content->addWidget(stackOf(reading));
    content->addWidget(gauge_);
    gaugeCard_ = new dormio::Panel(QStringLiteral("Health"), std::nullopt, Theme::Space::l, stackOf(content));

    specSheet_ = new SpecSheet({});
    auto* specCard =
        new dormio::Panel(QStringLiteral("Spec sheet"), std::nullopt, Theme::Space::l, specSheet_);

    overnightCard_ =
        new dormio::Panel(QStringLiteral("Overnight drain"), std::nullopt, Theme::Space::l, nullptr);

    for (QWidget* card : {gaugeCard_, specCard, overnightCard_})
        cards_->addWidget(card);
    showOvernight();
}

void BatteryPage::buildMainsPower() {
    mainsPower_ = new EmptyState(
        QStringLiteral("Mains power"), QStringLiteral("This Mac runs on mains power"),
        QStringLiteral(
            "There\u2019s no battery to report on. Dormio still shows when your Mac slept, what woke "
            "it and what kept it awake."),
        QStringLiteral("See Last Night"), [this] { store_.setPage(Page::night); });
    auto* padded = new QVBoxLayout;
    const int s = int(Theme::Space::s);
    padded->addWidget(mainsPower_);
    QWidget* box = stackOf(padded);
    padded->setContentsMargins(0, s, 0, s);
    cards_->addWidget(new dormio::Panel(std::nullopt, std::nullopt, Theme::Space::l, box));
}

void BatteryPage::showBattery(const BatteryInfo& battery) {
    const bool calibrated = battery.healthPercent().has_value();
    const QString title = calibrated ? QStringLiteral("Health") : QStringLiteral("Charge");
    const std::optional<QString> note =
        calibrated ? std::optional<QString>(QStringLiteral("full charge vs. design capacity")) : std::nullopt;
    if (gaugeCard_->header()->title() != title || gaugeCard_->header()->note() != note)
        gaugeCard_->setHeader(title, note);

    const int64_t value = shownValue(battery);
    figure_->setText(QString::fromStdString(Fmt::percent(value)));
    word_->setText(BatteryTexts::healthWord(battery));
    line_->setText(BatteryTexts::healthLine(battery));
    gauge_->setAccessibleName(HealthGauge::accessibleLabel(calibrated));
    gauge_->setAccessibleDescription(HealthGauge::accessibleValue(value));
    gauge_->setPaint([value, calibrated](QPainter& painter, QSizeF size, const CanvasPalette& palette) {
        HealthGauge::paint(painter, size, value, calibrated, palette);
    });
    specSheet_->setRows(BatteryTexts::specs(battery));
}

void BatteryPage::showOvernight() {
    const std::vector<Night> nights = overnight(store_.nights());
    overnightCard_->setHeader(QStringLiteral("Overnight drain"), overnightNote(nights.size()));
    drainPlot_ = nullptr;
    if (nights.empty()) {
        overnightCard_->setContent(new Label(QStringLiteral("No unplugged nights on record yet."),
                                             Theme::Typo::body(), Theme::ink2));
        return;
    }
    std::vector<DrainPlot::Drain> drains = DrainPlot::drains(nights);
    drainPlot_ = new ChartCanvas({});
    drainPlot_->setFixedHeight(140);
    drainPlot_->setAccessibleName(QStringLiteral("Overnight battery drain"));
    drainPlot_->setAccessibleDescription(DrainPlot::accessibleValue(drains));
    drainPlot_->setPaint(
        [drains = std::move(drains)](QPainter& painter, QSizeF size, const CanvasPalette& palette) {
            DrainPlot::paint(painter, size, drains, palette);
        });
    auto* advice =
        new Label(QStringLiteral("A sleeping Mac should use only a few percent overnight. Tall stems "
                                 "usually line up with busy rows in History."),
                  Theme::Typo::small(), Theme::ink3);
    advice->setWrapping(QWIDGETSIZE_MAX);
    auto* content = new QVBoxLayout;
    content->setSpacing(int(Theme::Space::s));
    content->addWidget(drainPlot_);
    content->addWidget(advice);
    overnightCard_->setContent(stackOf(content));
}

} // namespace dormio
