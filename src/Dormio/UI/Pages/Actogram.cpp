#include "Dormio/UI/Pages/Actogram.h"

#include "Dormio/Core/Clock.h"
#include "Dormio/Core/Store.h"
#include "Dormio/UI/Charts/ActogramRow.h"
#include "Dormio/UI/Charts/ChartCanvas.h"
#include "Dormio/UI/Charts/ChartPainting.h"
#include "Dormio/UI/Charts/HourRuler.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/StateStyle.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/NightSummary.h"
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace dormio {

namespace {

constexpr double defaultSpan = 8 * 3600;

// The figures' texts take the page's body face; the rows set no face of their own for them.
const Font& figureFont() {
    return Theme::Typo::body();
}

const Font& dateFace(bool tall, bool highlighted) {
    static const std::array<Font, 4> faces{
        Theme::systemFont(9.5, QFont::Normal, true), Theme::systemFont(9.5, QFont::DemiBold, true),
        Theme::systemFont(11, QFont::Normal, true), Theme::systemFont(11, QFont::DemiBold, true)};
    return faces[(tall ? 2 : 0) + (highlighted ? 1 : 0)];
}

// The column titles over the figures, placed in the same boxes as every row's values.
class FigureTitles : public QWidget {
public:
    FigureTitles() {
        static const char* const titles[] = {"Asleep", "Wakes", "Drain", "Rest"};
        for (std::size_t i = 0; i < kickers_.size(); ++i) {
            kickers_[i] = new Kicker(QString::fromLatin1(titles[i]), Theme::ink3, this);
            kickers_[i]->setAlignment(Qt::AlignTrailing);
        }
        setFixedSize(int(Actogram::figuresWidth()), kickers_[0]->sizeHint().height());
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        const auto boxes = Actogram::figureColumns(rect());
        for (std::size_t i = 0; i < kickers_.size(); ++i)
            kickers_[i]->setGeometry(boxes[i].toRect());
    }

private:
    std::array<Kicker*, 4> kickers_{};
};

} // namespace

// The actogram.

Actogram::Actogram(Store& store, std::vector<Night> nights, qreal rowHeight, QWidget* parent)
    : QWidget(parent), store_(store), nights_(std::move(nights)), rowHeight_(rowHeight) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(header());

    auto* rows = new QVBoxLayout;
    rows->setSpacing(int(rowSpacing()));
    const double shared = span(nights_);
    const std::optional<std::string> defaultID = store_.defaultNightID();
    rows_.reserve(nights_.size());
    for (const Night& night : nights_) {
        auto* line = new ActogramLine(store_, night, shared, rowHeight_, night.id == defaultID, this);
        rows->addWidget(line);
        rows_.push_back(line);
    }
    stack->addLayout(rows);

    // Only the rows that were or become the hovered night change.
    connect(&store_.demoState(), &DemoState::demoHoverNightChanged, this, [this] {
        for (ActogramLine* line : rows_)
            line->followDemoHover();
    });
}

QWidget* Actogram::header() {
    auto* header = new QWidget(this);
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(0, 0, 0, 6);
    line->setSpacing(int(columnSpacing));
    auto* nightOf = new Kicker(QStringLiteral("Night of"), Theme::ink3);
    nightOf->setFixedWidth(int(dateWidth));
    line->addWidget(nightOf, 0, Qt::AlignBottom);

    const Date start = nights_.empty() ? currentDate() : nights_.back().start;
    const double width = span(nights_);
    ruler_ = new ChartCanvas([start, width](QPainter& painter, QSizeF size, const CanvasPalette& palette) {
        HourRuler::paint(painter, size, start, width, palette);
    });
    ruler_->setFixedHeight(18);
    ruler_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    line->addWidget(ruler_, 1, Qt::AlignBottom);
    line->addWidget(new FigureTitles, 0, Qt::AlignBottom);
    return header;
}

double Actogram::span(const std::vector<Night>& nights) {
    if (nights.empty()) return defaultSpan;
    double longest = nights.front().duration();
    for (const Night& night : nights)
        longest = std::max(longest, night.duration());
    return longest;
}

qreal Actogram::figuresWidth() {
    return std::accumulate(figWidths.begin(), figWidths.end(), qreal(0)) +
           figureSpacing * qreal(figWidths.size() - 1);
}

std::array<QRectF, 4> Actogram::figureColumns(const QRectF& area) {
    std::array<QRectF, 4> boxes;
    qreal x = area.right() - figuresWidth();
    for (std::size_t i = 0; i < figWidths.size(); ++i) {
        boxes[i] = QRectF(x, area.top(), figWidths[i], area.height());
        x += figWidths[i] + figureSpacing;
    }
    return boxes;
}

std::array<ActogramFigure, 4> Actogram::figures(const Night& night) {
    const int64_t wakes = night.wakeCount();
    const std::optional<int64_t> lost = night.lost();
    return {{
        {text(Fmt::clock(night.asleep()))},
        {QString::number(wakes), wakes >= 1},
        {lost ? text(Fmt::drop(*lost)) : QStringLiteral("\u2014")},
        {QString::number(night.score())},
    }};
}

// One row.

ActogramLine::ActogramLine(Store& store, Night night, double span, qreal rowHeight, bool isDefault,
                           QWidget* parent)
    : QWidget(parent), store_(store), night_(std::move(night)), span_(span), rowHeight_(rowHeight),
      isDefault_(isDefault), label_(label(night_, isDefault)), figures_(Actogram::figures(night_)),
      highlight_(this) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(tooltip(night_));
    setAccessibleName(label());
    demoAnchor(this, QStringLiteral("history-") + text(night_.id));
    if (highlighted()) highlight_.jumpTo(1);
}

QString ActogramLine::label(const Night& night, bool isDefault) {
    QString day = text(Fmt::day(night.start)).toUpper();
    if (isDefault) day += QStringLiteral(" \u25C2");
    return day;
}

QString ActogramLine::tooltip(const Night& night) {
    return text(Fmt::longDay(night.start)) + QStringLiteral(" night \u2014 ") +
           text(NightSummary::line(night)) + QStringLiteral(". Click to open.");
}

bool ActogramLine::highlighted() const {
    return hovering_ || store_.demoState().demoHoverNight() == night_.id;
}

void ActogramLine::followDemoHover() {
    if ((highlight_.target() == 1) != highlighted()) showHighlight();
}

void ActogramLine::showHighlight() {
    highlight_.animateTo(highlighted() ? 1 : 0, Motion::snappy());
    update();
}

const Font& ActogramLine::dateFont() const {
    return dateFace(isTall(), highlight_.target() == 1);
}

QRectF ActogramLine::barRect() const {
    const qreal left = Actogram::dateWidth + Actogram::columnSpacing;
    const qreal right = width() - Actogram::figuresWidth() - Actogram::columnSpacing;
    return {left, (height() - rowHeight_) / 2, std::max<qreal>(right - left, 0), rowHeight_};
}

QSize ActogramLine::sizeHint() const {
    const qreal tallest = std::max({rowHeight_, figureFont().height(), dateFace(isTall(), true).height()});
    const qreal least = Actogram::dateWidth + 2 * Actogram::columnSpacing + Actogram::figuresWidth() + 120;
    return {int(std::ceil(least)), int(std::ceil(tallest))};
}

QSize ActogramLine::minimumSizeHint() const {
    return sizeHint();
}

void ActogramLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool on = highlight_.target() == 1;
    const qreal progress = highlight_.value();
    const qreal middle = height() / 2.0;

    const Font& date = dateFont();
    painter.setPen(Shapes::mix(Theme::ink2, Theme::ink, progress));
    date.draw(painter, QPointF(0, middle + (date.ascent() - date.descent()) / 2),
              date.elided(label_, Qt::ElideRight, Actogram::dateWidth));

    const QRectF bar = barRect();
    painter.save();
    painter.translate(bar.topLeft());
    ActogramRow::paint(painter, bar.size(), night_, span_, on, CanvasPalette::current());
    painter.restore();

    const Font& font = figureFont();
    // The figures' opacity is carried by their colours rather than the painter's: Qt draws glyphs under a
    // painter opacity span by span through its thread pool, many times slower than its direct glyph blit.
    const qreal opacity = 0.85 + 0.15 * progress;
    const auto boxes = Actogram::figureColumns(rect());
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        painter.setPen(faded(figures_[i].rose ? Theme::rose : Theme::ink, opacity));
        const QString shown = font.elided(figures_[i].text, Qt::ElideRight, boxes[i].width());
        font.draw(
            painter,
            QPointF(boxes[i].right() - font.width(shown), middle + (font.ascent() - font.descent()) / 2),
            shown);
    }
}

void ActogramLine::enterEvent(QEnterEvent*) {
    hovering_ = true;
    showHighlight();
}

void ActogramLine::leaveEvent(QEvent*) {
    hovering_ = false;
    showHighlight();
}

void ActogramLine::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    // Opening the night changes the page, which may take this row away: the store does it once the click
    // has been handled.
    QMetaObject::invokeMethod(
        &store_, [store = &store_, night = night_] { store->open(night); }, Qt::QueuedConnection);
}

// The legend.

namespace {

constexpr qreal legendTop = Theme::Space::s;
constexpr qreal swatchHeight = 10;
constexpr qreal swatchGap = 6;

const Font& legendFont() {
    static const Font font(9.5, QFont::Medium, Font::Design::monospaced, 0.5);
    return font;
}

const Font& markFont() {
    static const Font font(9.5, QFont::Normal, Font::Design::monospaced);
    return font;
}

const QString lastNight = QStringLiteral("\u25C2 last night");

} // namespace

std::vector<ActogramLegend::Item> ActogramLegend::items() {
    return {
        {QStringLiteral("Asleep"), stateSwatch(PowerState::asleep), 10},
        {QStringLiteral("Dark wake"), stateSwatch(PowerState::dark), 2},
        {QStringLiteral("Awake, screen off"), stateSwatch(PowerState::awake), 10},
        {QStringLiteral("Screen on"), stateSwatch(PowerState::screenOn), 10},
    };
}

ActogramLegend::ActogramLegend(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize ActogramLegend::sizeHint() const {
    qreal width = markFont().width(lastNight);
    for (const Item& item : items())
        width += item.width + swatchGap + legendFont().width(item.text.toUpper()) + Theme::Space::l;
    const qreal height = legendTop + std::max(swatchHeight, legendFont().height());
    return {int(std::ceil(width)), int(std::ceil(height))};
}

QSize ActogramLegend::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void ActogramLegend::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal middle = legendTop + (height() - legendTop) / 2;
    const qreal baseline = middle + (legendFont().ascent() - legendFont().descent()) / 2;
    qreal x = 0;
    painter.setPen(QColor(Theme::ink3));
    for (const Item& item : items()) {
        painter.fillRect(QRectF(x, middle - swatchHeight / 2, item.width, swatchHeight), item.swatch);
        x += item.width + swatchGap;
        const QString shown = item.text.toUpper();
        legendFont().draw(painter, QPointF(x, baseline), shown);
        x += legendFont().width(shown) + Theme::Space::l;
    }
    const qreal markX = std::max(x, width() - markFont().width(lastNight));
    markFont().draw(painter, QPointF(markX, baseline), lastNight);
}

} // namespace dormio
