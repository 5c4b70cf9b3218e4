#pragma once

// What a button shows and does under the keyboard: a ring while focus reached with Tab (or Shift+Tab) is on
// it, none for the focus a click gives; Return and Enter press it as Space does. Attached to any button; the
// ring is a child drawn over the button's own picture, so a button that paints itself needs no part in it.

#include <QWidget>

class QAbstractButton;

namespace dormio {

class FocusRing : public QWidget {
    Q_OBJECT
public:
    static FocusRing* attach(QAbstractButton* button, qreal radius);

    bool shown() const { return isVisible(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    FocusRing(QAbstractButton* button, qreal radius);
    QAbstractButton* button_;
    qreal radius_;
};

} // namespace dormio
