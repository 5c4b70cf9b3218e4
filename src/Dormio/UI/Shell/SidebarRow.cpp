#include "Dormio/UI/Shell/SidebarRow.h"

#include "Dormio/UI/Kit/FocusRing.h"
#include "Dormio/UI/Kit/RowHover.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/PageLabels.h"
#include "OstrelKit/Capture/DemoAnchors.h"

#include <QPainter>

namespace dormio {

namespace {

constexpr qreal inset = 8;         // of the symbol and the badge from the row's ends
constexpr qreal titleLeading = 32; // the title's left edge, past the symbol

} // namespace

SidebarRow::SidebarRow(Page page, QWidget* parent)
    : QAbstractButton(parent), page_(page), badgeOpacity_(this), badgeChange_(this) {
    setText(PageLabels::title(page));
    // The scripted demo clicks the rows by these names.
    demoAnchor(this,
               QStringLiteral("side-") + QString::fromUtf8(rawValue(page).data(), rawValue(page).size()));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FocusRing::attach(this, Theme::Radius::control);
    RowHover::attach(this);
}

Font SidebarRow::badgeFont() {
    return Theme::systemFont(11, QFont::DemiBold, true);
}

void SidebarRow::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    update();
}

void SidebarRow::setBadge(std::optional<int> count) {
    if (count == badge_) return;
    const QString before = badgeText_;
    badge_ = count;
    const Motion::Curve curve = Motion::unlessReduced(Motion::snappy());
    if (count) {
        badgeText_ = QString::number(*count);
        if (badgeOpacity_.target() > 0) badgeChange_.start(before, TextTransition::numeric, curve);
    }
    badgeOpacity_.animateTo(count ? 1 : 0, curve);
    update();
}

QSize SidebarRow::sizeHint() const {
    return {int(titleLeading + Theme::Typo::body().width(text()) + 40), height};
}

void SidebarRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = rect();
    if (selected_) Shapes::fill(painter, frame, Theme::Radius::control, Theme::indigo);

    const QColor label = selected_ ? QColor(Theme::white) : QColor(Theme::ink);
    const QColor symbol = selected_ ? QColor(Theme::white) : QColor(Theme::indigo);
    const qreal middle = frame.height() / 2;
    Symbols::paint(painter, QRectF(inset, middle - symbolSize / 2.0, symbolSize, symbolSize),
                   PageLabels::symbol(page_), symbol);

    const Font& font = Theme::Typo::body();
    const qreal baseline = middle + (font.ascent() - font.descent()) / 2;
    qreal badgeWidth = 0;
    if (badgeOpacity_.value() > 0) {
        const Font badge = badgeFont();
        badgeWidth = badge.width(badgeText_);
        painter.save();
        painter.setOpacity(badgeOpacity_.value());
        painter.setPen(selected_ ? QColor(Theme::white) : QColor(Theme::rose));
        badgeChange_.draw(painter, badge, {frame.width() - inset - badgeWidth, baseline}, badgeText_);
        painter.restore();
    }
    painter.setPen(label);
    const qreal room = frame.width() - titleLeading - inset - (badgeWidth > 0 ? badgeWidth + 6 : 0);
    font.draw(painter, {titleLeading, baseline}, font.elided(text(), Qt::ElideRight, room));
}

} // namespace dormio
