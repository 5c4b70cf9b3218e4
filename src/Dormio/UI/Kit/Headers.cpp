#include "Dormio/UI/Kit/Headers.h"

#include <QBoxLayout>
#include <QPainter>
#include <cmath>

namespace dormio {

SectionHeader::SectionHeader(const QString& title, const std::optional<QString>& note, QWidget* parent)
    : QWidget(parent), title_(title), note_(note) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(title);
}

Font SectionHeader::noteFont() {
    static const Font font(10.5, QFont::Normal, Font::Design::monospaced);
    return font;
}

void SectionHeader::setNote(const std::optional<QString>& note) {
    note_ = note;
    updateGeometry();
    update();
}

QString SectionHeader::shownNote() const {
    if (!note_) return {};
    const qreal room = width() - Kicker::font().width(title_.toUpper()) - minimumGap;
    return noteFont().elided(*note_, Qt::ElideRight, room);
}

qreal SectionHeader::baseline() const {
    return std::max(Kicker::font().ascent(), noteFont().ascent());
}

QSize SectionHeader::sizeHint() const {
    qreal width = Kicker::font().width(title_.toUpper());
    if (note_) width += minimumGap + noteFont().width(*note_);
    const qreal height = baseline() + std::max(Kicker::font().descent(), noteFont().descent());
    return {int(std::ceil(width)), int(std::ceil(height))};
}

QSize SectionHeader::minimumSizeHint() const {
    const qreal width = Kicker::font().width(title_.toUpper()) + (note_ ? minimumGap : 0);
    return {int(std::ceil(width)), sizeHint().height()};
}

void SectionHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Font kicker = Kicker::font();
    const qreal y = baseline();
    painter.setPen(QColor(Theme::ink2));
    kicker.draw(painter, {0, y}, kicker.elided(title_.toUpper(), Qt::ElideRight, width()));
    const QString note = shownNote();
    if (note.isEmpty()) return;
    painter.setPen(QColor(Theme::ink3));
    noteFont().draw(painter, {width() - noteFont().width(note), y}, note);
}

PageHeader::PageHeader(const QString& kicker, const QString& title, QWidget* trailing, QWidget* parent)
    : QWidget(parent), kicker_(new Kicker(kicker, Theme::ink3)),
      title_(new Label(title, Theme::Typo::title(), Theme::ink)) {
    title_->setTransition(TextTransition::opacity);
    auto* heading = new QVBoxLayout;
    heading->setContentsMargins(0, 0, 0, 0);
    heading->setSpacing(6);
    heading->addWidget(kicker_);
    heading->addWidget(title_);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(int(Theme::Space::m));
    row->addLayout(heading, 1);
    row->addSpacerItem(
        new QSpacerItem(int(Theme::Space::s), 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    if (trailing) setTrailing(trailing);
}

void PageHeader::setTrailing(QWidget* trailing) {
    static_cast<QBoxLayout*>(layout())->addWidget(trailing, 0, Qt::AlignBottom);
}

void PageHeader::setKicker(const QString& kicker) {
    kicker_->setText(kicker);
}

void PageHeader::setTitle(const QString& title) {
    title_->setText(title);
}

} // namespace dormio
