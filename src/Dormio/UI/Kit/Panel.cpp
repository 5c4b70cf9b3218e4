#include "Dormio/UI/Kit/Panel.h"

#include "Dormio/UI/Kit/Shapes.h"

#include <QBoxLayout>
#include <QPainter>

namespace dormio {

Panel::Panel(const std::optional<QString>& title, const std::optional<QString>& note, qreal padding,
             QWidget* content, QWidget* parent)
    : QWidget(parent), stack_(new QVBoxLayout(this)) {
    const int inset = int(std::lround(padding));
    stack_->setContentsMargins(inset, inset, inset, inset);
    stack_->setSpacing(int(Theme::Space::m));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setHeader(title, note);
    setContent(content);
}

void Panel::setHeader(const std::optional<QString>& title, const std::optional<QString>& note) {
    if (header_ && title == header_->title()) {
        header_->setNote(note);
        return;
    }
    delete header_;
    header_ = nullptr;
    if (!title) return;
    header_ = new SectionHeader(*title, note, this);
    stack_->insertWidget(0, header_);
}

void Panel::setContent(QWidget* content) {
    delete content_;
    content_ = content;
    if (!content_) return;
    stack_->addWidget(content_);
    // A layout shows what it takes in only at the next turn of the event loop: a panel in view would
    // be drawn and measured without its new content until then.
    content_->show();
}

void Panel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = rect();
    Shapes::fill(painter, card, Theme::Radius::panel, Theme::panel);
    Shapes::strokeInside(painter, card, Theme::Radius::panel, Theme::rule);
}

} // namespace dormio
