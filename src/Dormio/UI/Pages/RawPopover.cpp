#include "Dormio/UI/Pages/RawPopover.h"

#include "Dormio/UI/Kit/ScrollBars.h"
#include "Dormio/UI/Kit/SelectableText.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Text.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Pages/SourceTexts.h"
#include "DormioKit/Fmt.h"
#include "DormioKit/ProcessNames.h"

#include <QBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <algorithm>

namespace dormio {

namespace {

constexpr qreal arrowDepth = 8;
constexpr qreal arrowHalfWidth = 8;
constexpr int recordsHeight = 150;

QString clock(Date date) {
    return text(Fmt::clockTime(date));
}

// The rounded paper box behind the raw records, outlined with a rule.
class RecordsBox : public QScrollArea {
public:
    explicit RecordsBox(QWidget* lines) {
        ScrollBars::makeColumn(this);
        viewport()->setAutoFillBackground(false);
        setWidget(lines);
        // Taking the lines turns their fill on, which would cover the box's rounded ground and outline.
        lines->setAutoFillBackground(false);
    }

    QSize sizeHint() const override {
        const int content =
            widget() ? widget()->heightForWidth(int(RawPopover::cardWidth - 2 * Theme::Space::l)) : 0;
        return {int(RawPopover::cardWidth - 2 * Theme::Space::l), std::min(recordsHeight, content)};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(viewport());
            painter.setRenderHint(QPainter::Antialiasing);
            const QRectF box = viewport()->rect();
            Shapes::fill(painter, box, Theme::Radius::control, Theme::paper);
            Shapes::strokeInside(painter, box, Theme::Radius::control, Theme::rule);
        }
        QScrollArea::paintEvent(event);
    }
};

QWidget* recordLines(const QStringList& records) {
    auto* lines = new QWidget;
    auto* stack = new QVBoxLayout(lines);
    stack->setContentsMargins(10, 10, 10, 10);
    stack->setSpacing(6);
    static const Font font = Theme::systemFont(10.5, QFont::Normal, true);
    for (const QString& record : records)
        stack->addWidget(new SelectableText(record, font, Theme::ink, true));
    return lines;
}

RawPopup*& openPopup() {
    static RawPopup* popup = nullptr;
    return popup;
}

} // namespace

RawPopover::RawPopover(const StoryItem& item, QWidget* parent) : QWidget(parent) {
    setFixedWidth(int(cardWidth));
    auto* stack = new QVBoxLayout(this);
    const int padding = int(Theme::Space::l);
    stack->setContentsMargins(padding, padding, padding, padding);
    stack->setSpacing(int(Theme::Space::m));

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(new Kicker(SourceTexts::recordKicker() + clock(item.first().date), Theme::ink3));
    header->addWidget(new Label(text(item.first().label), Theme::Typo::bodyStrong(), Theme::ink));
    stack->addLayout(header);

    for (const auto& [label, value] : facts(item))
        stack->addWidget(spec(label, value));

    auto* box = new RecordsBox(recordLines(records(item)));
    box->setMaximumHeight(recordsHeight);
    stack->addWidget(box);
}

std::vector<std::pair<QString, QString>> RawPopover::facts(const StoryItem& item) {
    std::vector<std::pair<QString, QString>> facts;
    const NightEvent& first = item.first();
    if (item.isGroup()) facts.emplace_back(QStringLiteral("Times"), times(item));
    if (first.scheduledBy) facts.emplace_back(QStringLiteral("Asked by"), text(*first.scheduledBy));
    if (first.culprit)
        facts.emplace_back(QStringLiteral("Held by"), text(ProcessNames::friendly(*first.culprit)));
    facts.emplace_back(QStringLiteral("Lasted"), text(Fmt::duration(item.totalDuration(), false)));
    return facts;
}

QString RawPopover::times(const StoryItem& item) {
    const qsizetype count = qsizetype(item.events.size());
    QStringList clocks;
    for (qsizetype i = 0; i < std::min<qsizetype>(count, shownTimes); ++i)
        clocks << clock(item.events[size_t(i)].date);
    QString times = QString::number(count) + QStringLiteral("\u00D7 \u00B7 ") + clocks.join(QLatin1Char(' '));
    if (count > shownTimes) times += QStringLiteral(" \u2026");
    return times;
}

QStringList RawPopover::records(const StoryItem& item) {
    QStringList records;
    for (const NightEvent& event : item.events)
        records << text(event.raw);
    records.sort();
    records.removeDuplicates();
    return records.mid(0, shownRecords);
}

QWidget* RawPopover::spec(const QString& label, const QString& value) {
    auto* pair = new QWidget;
    auto* line = new QHBoxLayout(pair);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    auto* caption = new Kicker(label, Theme::ink3);
    caption->setFixedWidth(64);
    static const Font font = Theme::systemFont(11, QFont::Normal, true);
    auto* shown = new SelectableText(value, font, Theme::ink2, true);
    // On the caption's baseline: both start at the top, and the value's first line is as tall as the
    // caption's within a pixel.
    line->addWidget(caption, 0, Qt::AlignTop);
    line->addWidget(shown, 1, Qt::AlignTop);
    return pair;
}

// Inside its popup the popup draws the card, arrow and all; a popover standing alone draws its own.
void RawPopover::paintEvent(QPaintEvent*) {
    if (!isWindow()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    Shapes::fill(painter, rect(), Theme::Radius::panel, Theme::panel);
    Shapes::strokeInside(painter, rect(), Theme::Radius::panel, Theme::ruleStrong);
}

RawPopup::RawPopup(const StoryItem& item, QWidget* anchor, std::function<void()> closed)
    : QWidget(anchor, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint), anchor_(anchor),
      content_(new RawPopover(item, this)), closed_(std::move(closed)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    // The click that closes the card must not reach the button under it, which would open it again.
    setAttribute(Qt::WA_NoMouseReplay);
}

RawPopup::~RawPopup() {
    if (openPopup() == this) openPopup() = nullptr;
}

RawPopup* RawPopup::current() {
    return openPopup();
}

void RawPopup::open(Edge edge) {
    if (RawPopup* other = openPopup(); other && other != this) other->close();
    openPopup() = this;

    const QSize inner = content_->sizeHint();
    const QSize whole(inner.width() + int(arrowDepth), inner.height());
    resize(whole);
    const QRect button(anchor_->mapToGlobal(QPoint(0, 0)), anchor_->size());
    const QRect screen = anchor_->screen() ? anchor_->screen()->availableGeometry() : QRect();
    const bool rightToLeft = anchor_->layoutDirection() == Qt::RightToLeft;
    // Trailing is to the right of the button in a left-to-right layout.
    const auto onRight = [&](Edge e) { return (e == Edge::trailing) != rightToLeft; };
    const auto fits = [&](Edge e) {
        return screen.isEmpty() || (onRight(e) ? button.right() + whole.width() <= screen.right()
                                               : button.left() - whole.width() >= screen.left());
    };
    edge_ = fits(edge) || !fits(edge == Edge::leading ? Edge::trailing : Edge::leading)
                ? edge
                : (edge == Edge::leading ? Edge::trailing : Edge::leading);

    const int x = onRight(edge_) ? button.right() + 1 : button.left() - whole.width();
    int y = button.center().y() - whole.height() / 2;
    if (!screen.isEmpty())
        y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() - whole.height()));
    move(x, y);
    arrowY_ = std::clamp<qreal>(button.center().y() - y, Theme::Radius::panel + arrowHalfWidth,
                                whole.height() - Theme::Radius::panel - arrowHalfWidth);
    content_->move(onRight(edge_) ? int(arrowDepth) : 0, 0);
    show();
}

QRectF RawPopup::card() const {
    const bool arrowLeft = content_->x() > 0;
    return QRectF(arrowLeft ? arrowDepth : 0, 0, width() - arrowDepth, height());
}

void RawPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = card();
    const bool arrowLeft = body.left() > 0;
    QPainterPath shape = Shapes::continuousRect(body, Theme::Radius::panel);
    const qreal base = arrowLeft ? body.left() + 1 : body.right() - 1;
    const qreal tip = arrowLeft ? 0 : width();
    QPainterPath arrow;
    arrow.moveTo(base, arrowY_ - arrowHalfWidth);
    arrow.lineTo(tip, arrowY_);
    arrow.lineTo(base, arrowY_ + arrowHalfWidth);
    arrow.closeSubpath();
    shape = shape.united(arrow);
    painter.fillPath(shape, QColor(Theme::panel));
    painter.strokePath(shape, Shapes::pen(Theme::ruleStrong, 1));
}

void RawPopup::closeEvent(QCloseEvent* event) {
    if (openPopup() == this) openPopup() = nullptr;
    QWidget::closeEvent(event);
    if (closed_) std::exchange(closed_, nullptr)();
}

} // namespace dormio
