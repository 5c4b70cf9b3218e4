#include "Dormio/UI/Pages/HistoryPage.h"

#include "Dormio/Core/Store.h"
#include "Dormio/UI/Charts/ChartCanvas.h"
#include "Dormio/UI/Charts/RestTrend.h"
#include "Dormio/UI/Kit/EmptyState.h"
#include "Dormio/UI/Kit/Figures.h"
#include "Dormio/UI/Kit/Headers.h"
#include "Dormio/UI/Kit/Panel.h"
#include "Dormio/UI/Kit/ScrollBars.h"
#include "Dormio/UI/Kit/SegmentedPicker.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/Actogram.h"
#include "Dormio/UI/Pages/HistoryTexts.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QBoxLayout>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QScrollArea>

namespace dormio {

namespace {

constexpr qreal pickerWidth = 170;
constexpr qreal trendWidth = 180;
constexpr qreal trendHeight = 30;
// The rest trend needs a few nights to say anything.
constexpr std::size_t trendFrom = 3;

QWidget* bare(QWidget* child, int top, int bottom) {
    auto* holder = new QWidget;
    auto* stack = new QVBoxLayout(holder);
    stack->setContentsMargins(0, top, 0, bottom);
    stack->setSpacing(0);
    stack->addWidget(child);
    return holder;
}

// Brings a new body in as a list change does, fading from nothing, then drops the effect, which would
// otherwise draw the whole body through an offscreen picture at every repaint.
class FadeIn : public QObject {
public:
    explicit FadeIn(QWidget* body)
        : QObject(body), effect_(new QGraphicsOpacityEffect),
          fade_(body, 0, [this](qreal opacity) { effect_->setOpacity(opacity); }) {
        effect_->setOpacity(0);
        body->setGraphicsEffect(effect_);
        fade_.animateTo(1, Motion::standardOrReduced(), [this, body] {
            body->setGraphicsEffect(nullptr);
            deleteLater();
        });
    }

private:
    QGraphicsOpacityEffect* effect_;
    Motion::Value fade_;
};

} // namespace

HistoryPage::HistoryPage(Store& store, QWidget* parent) : QWidget(parent), store_(store) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea;
    ScrollBars::makeColumn(scroll_);
    scroll_->viewport()->setAutoFillBackground(false);
    outer->addWidget(scroll_);

    // The column keeps to 1180 points and stands centred on wider windows.
    auto* canvas = new QWidget;
    auto* centring = new QHBoxLayout(canvas);
    centring->setContentsMargins(0, 0, 0, 0);
    centring->setSpacing(0);
    auto* column = new QWidget;
    column->setMaximumWidth(int(maxWidth));
    column->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // The column takes all the width up to its maximum; only what is left goes to the margins.
    centring->addStretch(0);
    centring->addWidget(column, 1);
    centring->addStretch(0);
    column_ = new QVBoxLayout(column);
    const int side = int(Theme::Space::xxl), end = int(Theme::Space::xl);
    column_->setContentsMargins(side, end, side, end);
    column_->setSpacing(int(Theme::Space::xl));
    header_ = new PageHeader(HistoryTexts::kicker({}), QStringLiteral("History"), spanPicker());
    column_->addWidget(header_);
    column_->addStretch(1);
    scroll_->setWidget(canvas);
    // The page's own paper shows through: the scroll area would fill its content with Qt's window colour.
    canvas->setAutoFillBackground(false);

    connect(&store_, &Store::nightsChanged, this, [this] { follow(); });
    connect(&store_.demoState(), &DemoState::demoHistorySpanChanged, this, [this] { follow(); });
    follow();
}

QWidget* HistoryPage::spanPicker() {
    picker_ = new SegmentedPicker(
        {{QStringLiteral("7 nights"), spans[0]}, {QStringLiteral("30 nights"), spans[1]}}, pickerWidth);
    picker_->setToolTip(QStringLiteral("How many nights to show"));
    picker_->onPick([this](int span) { pick(span); });
    // The demo clicks the "30 nights" half by this clear area over it, which lets every click through.
    auto* thirty = new QWidget(picker_);
    thirty->setAttribute(Qt::WA_TransparentForMouseEvents);
    thirty->setGeometry(picker_->segment(1).toRect());
    demoAnchor(thirty, QStringLiteral("span30"));
    return picker_;
}

std::vector<Night> HistoryPage::shownNights(const std::vector<Night>& nights, int span) {
    std::vector<Night> finished;
    for (const Night& night : nights)
        if (!night.inProgress) finished.push_back(night);
    if (span >= 0 && finished.size() > std::size_t(span))
        finished.erase(finished.begin(), finished.end() - span);
    return finished;
}

int HistoryPage::effectiveSpan() const {
    return store_.demoState().demoHistorySpan().value_or(span_);
}

void HistoryPage::pick(int span) {
    store_.demoState().setDemoHistorySpan(std::nullopt);
    span_ = span;
    follow();
}

void HistoryPage::follow() {
    const int span = effectiveSpan();
    picker_->setSelection(span);
    std::vector<Night> shown = shownNights(store_.nights(), span);
    std::optional<std::string> defaultID = store_.defaultNightID();
    // The rows follow the span as well as the nights: their height is the span's.
    if (built_ && shown == shown_ && defaultID == defaultID_ && span == shownSpan_) return;
    const bool replacing = built_;
    built_ = true;
    shown_ = std::move(shown);
    defaultID_ = std::move(defaultID);
    shownSpan_ = span;

    header_->setKicker(HistoryTexts::kicker(shown_));
    emptyState_ = nullptr;
    actogram_ = nullptr;
    figures_.clear();
    trend_ = nullptr;
    delete body_;
    body_ = shown_.empty() ? emptyBody() : nightsBody();
    column_->insertWidget(1, body_);
    if (replacing) new FadeIn(body_);
}

QWidget* HistoryPage::emptyBody() {
    emptyState_ = new EmptyState(QStringLiteral("Actogram empty"), QStringLiteral("No history yet"),
                                 SourceTexts::noHistoryYet(), QStringLiteral("Read the Power Log Again"),
                                 [store = &store_] { store->refresh(true); });
    const int pad = int(Theme::Space::s);
    return new Panel(std::nullopt, std::nullopt, Theme::Space::l, bare(emptyState_, pad, pad));
}

QWidget* HistoryPage::nightsBody() {
    auto* body = new QWidget;
    auto* stack = new QVBoxLayout(body);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(int(Theme::Space::xl));
    if (QWidget* row = figuresRow()) stack->addWidget(row);

    const qreal rowHeight = shownSpan_ > 7 ? 11 : 22;
    actogram_ = new Actogram(store_, shown_, rowHeight);
    auto* content = new QWidget;
    auto* inside = new QVBoxLayout(content);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->setSpacing(0);
    inside->addWidget(actogram_);
    inside->addWidget(new ActogramLegend);
    stack->addWidget(new Panel(QStringLiteral("Actogram"),
                               QStringLiteral("one row per night \u00B7 click a row to open it"),
                               Theme::Space::l, content));
    return body;
}

QWidget* HistoryPage::figuresRow() {
    const std::optional<NightSummary::Averages> averages = NightSummary::averages(shown_);
    if (!averages) return nullptr;
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(int(Theme::Space::xxl));
    line->setAlignment(Qt::AlignBottom);
    figures_.push_back(new Figure(QString::number(averages->rest), QStringLiteral("avg rest"), Theme::ink));
    figures_.push_back(
        new Figure(QString::number(averages->wakes), QStringLiteral("wakes / night"), Theme::rose));
    if (averages->drain)
        figures_.push_back(new Figure(QString::fromStdString(Fmt::drop(*averages->drain)),
                                      QStringLiteral("drain / night"), Theme::ink));
    for (Figure* figure : figures_)
        line->addWidget(figure, 0, Qt::AlignBottom);
    line->addSpacerItem(
        new QSpacerItem(int(Theme::Space::l), 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    if (shown_.size() >= trendFrom) {
        std::vector<int64_t> scores;
        for (const Night& night : shown_)
            scores.push_back(night.score());
        auto* block = new QWidget;
        auto* stack = new QVBoxLayout(block);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(4);
        stack->addWidget(new Kicker(QStringLiteral("Rest trend"), Theme::ink3), 0, Qt::AlignTrailing);
        trend_ = new ChartCanvas([scores](QPainter& painter, QSizeF size, const CanvasPalette& palette) {
            RestTrend::paint(painter, size, scores, palette);
        });
        trend_->setFixedSize(int(trendWidth), int(trendHeight));
        trend_->setAccessibleName(QStringLiteral("Rest trend"));
        trend_->setAccessibleDescription(RestTrend::accessibleValue(scores));
        stack->addWidget(trend_, 0, Qt::AlignTrailing);
        line->addWidget(block, 0, Qt::AlignBottom);
    }
    return row;
}

void HistoryPage::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(Theme::paper));
}

} // namespace dormio
