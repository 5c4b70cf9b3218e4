#include "Dormio/UI/Kit/FocusRing.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace dormio {

FocusRing::FocusRing(QAbstractButton* button, qreal radius)
    : QWidget(button), button_(button), radius_(radius) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    button->setFocusPolicy(Qt::TabFocus);
    button->installEventFilter(this);
}

FocusRing* FocusRing::attach(QAbstractButton* button, qreal radius) {
    return new FocusRing(button, radius);
}

bool FocusRing::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        setGeometry(button_->rect());
        setVisible(reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason);
        raise();
        break;
    }
    case QEvent::FocusOut:
        hide();
        break;
    case QEvent::Resize:
        setGeometry(button_->rect());
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !key->isAutoRepeat()) {
            button_->click();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The indigo line shows on the page; the paper line inside it shows on a control filled with indigo.
    constexpr qreal line = 1.5;
    Shapes::strokeInside(painter, rect(), radius_, Theme::indigo.opacity(0.6), line);
    Shapes::strokeInside(painter, QRectF(rect()).adjusted(line, line, -line, -line),
                         std::max(radius_ - line, 0.0), Theme::paper, 1);
}

} // namespace dormio
