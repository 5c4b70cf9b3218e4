#include "OstrelKit/Capture/Repaints.h"

#include <QApplication>
#include <QGraphicsEffect>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QWidget>
#include <utility>

namespace dormio {

Repaints::Repaints() {
    qApp->installEventFilter(this);
}

Repaints::~Repaints() {
    qApp->removeEventFilter(this);
}

void Repaints::paintPending(const QList<QWidget*>& windows) {
    // A widget's update is a request posted to its window, answered when the event loop comes round; a
    // frame taken from inside a step, or on a stepped clock, must not wait for that.
    for (QWidget* window : windows) {
        QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
        QList<QWidget*> parts = window->findChildren<QWidget*>();
        parts.append(window);
        for (const QWidget* part : parts) {
            const QGraphicsEffect* effect = part->graphicsEffect();
            if (effect && effect->isEnabled() && part->isVisible())
                area_ += effect->boundingRect().toAlignedRect().translated(part->mapToGlobal(QPoint()));
        }
    }
}

QRegion Repaints::take() {
    return std::exchange(area_, QRegion());
}

bool Repaints::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Paint && type != QEvent::Move && type != QEvent::Resize) return false;
    if (!watched->isWidgetType()) return false;
    const auto* widget = static_cast<QWidget*>(watched);
    if (type == QEvent::Paint) {
        if (quiet_ == 0)
            area_ += static_cast<QPaintEvent*>(event)->region().translated(widget->mapToGlobal(QPoint()));
        return false;
    }
    // A window's own geometry is the caller's to compare; a part's is in its parent's coordinates.
    const QWidget* parent = widget->parentWidget();
    if (widget->isWindow() || !parent) return false;
    QRect was = widget->geometry();
    if (type == QEvent::Move)
        was.moveTopLeft(static_cast<QMoveEvent*>(event)->oldPos());
    else
        was.setSize(static_cast<QResizeEvent*>(event)->oldSize());
    const QPoint origin = parent->mapToGlobal(QPoint());
    area_ += was.translated(origin);
    area_ += widget->geometry().translated(origin);
    return false;
}

} // namespace dormio
