#include "Dormio/UI/Kit/RowHover.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

namespace dormio {

RowHover::RowHover(QWidget* row) : QObject(row), row_(row), highlight_(row) {
    row->setAttribute(Qt::WA_Hover);
    row->installEventFilter(this);
}

RowHover* RowHover::attach(QWidget* row) {
    return new RowHover(row);
}

bool RowHover::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        highlight_.animateTo(1, Motion::unlessReduced(Motion::snappy()));
        break;
    case QEvent::Leave:
        highlight_.animateTo(0, Motion::unlessReduced(Motion::snappy()));
        break;
    case QEvent::Paint:
        // Drawn before the row paints itself, so the wash lies behind its content.
        if (highlight_.value() > 0) {
            QPainter painter(row_);
            painter.setRenderHint(QPainter::Antialiasing);
            Shapes::fill(painter, row_->rect(), Theme::Radius::control,
                         Shapes::mix(Qt::transparent, Theme::wash, highlight_.value()));
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace dormio
