#include "Dormio/UI/Kit/SegmentedPicker.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace dormio {

namespace {

constexpr qreal pickerHeight = 24;
constexpr qreal inset = 2; // between the frame and the raised card

const Font& labelFont() {
    static const Font font(12, QFont::Medium);
    return font;
}

} // namespace

SegmentedPicker::SegmentedPicker(std::vector<Option> options, qreal width, QWidget* parent)
    : QWidget(parent), options_(std::move(options)), width_(width) {
    if (!options_.empty()) selection_ = options_.front().value;
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void SegmentedPicker::setSelection(int value) {
    if (value == selection_) return;
    selection_ = value;
    update();
}

QRectF SegmentedPicker::segment(std::size_t index) const {
    const qreal each = width_ / qreal(std::max<std::size_t>(options_.size(), 1));
    return {each * qreal(index), 0, each, pickerHeight};
}

QSize SegmentedPicker::sizeHint() const {
    return {int(std::ceil(width_)), int(pickerHeight)};
}

int SegmentedPicker::indexAt(QPointF point) const {
    for (std::size_t i = 0; i < options_.size(); ++i)
        if (segment(i).contains(point)) return int(i);
    return -1;
}

void SegmentedPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(0, 0, width_, pickerHeight);
    Shapes::fill(painter, frame, Theme::Radius::control, Theme::wash);
    Shapes::strokeInside(painter, frame, Theme::Radius::control, Theme::rule);
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const QRectF area = segment(i);
        const bool chosen = options_[i].value == selection_;
        const QRectF card = area.adjusted(inset, inset, -inset, -inset);
        if (chosen) {
            Shapes::fill(painter, card, Theme::Radius::control - inset, Theme::panel);
            Shapes::strokeInside(painter, card, Theme::Radius::control - inset, Theme::ruleStrong);
        } else if (int(i) == hovered_) {
            Shapes::fill(painter, card, Theme::Radius::control - inset, Theme::wash);
        }
        const QString& text = options_[i].label;
        const Font& font = labelFont();
        const QPointF origin(area.center().x() - font.width(text) / 2,
                             area.center().y() + (font.ascent() - font.descent()) / 2);
        painter.setPen(QColor(chosen ? Theme::ink : Theme::ink2));
        font.draw(painter, origin, text);
    }
}

void SegmentedPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int index = indexAt(event->position());
    if (index >= 0 && pick_) pick_(options_[std::size_t(index)].value);
}

void SegmentedPicker::mouseMoveEvent(QMouseEvent* event) {
    const int index = indexAt(event->position());
    if (index == hovered_) return;
    hovered_ = index;
    update();
}

void SegmentedPicker::leaveEvent(QEvent*) {
    hovered_ = -1;
    update();
}

} // namespace dormio
