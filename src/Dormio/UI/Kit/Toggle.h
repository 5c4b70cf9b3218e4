#pragma once

// A settings toggle: a check box and its title, drawn in the theme's colours. The box's outline stands at
// least 3:1 against the card in both appearances; a ring shows keyboard focus.

#include <QCheckBox>

class QPainter;

namespace dormio {

class Toggle : public QCheckBox {
public:
    static constexpr qreal boxSide = 14;
    static constexpr qreal titleGap = 8;

    explicit Toggle(const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The box where it is drawn, centred on the title's line.
    QRectF box() const;
    // A box, ticked or empty, with the ring of keyboard focus around it when `focused`.
    static void paintBox(QPainter& painter, const QRectF& box, bool checked, bool focused);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& point) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool keyboardFocus_ = false;
};

} // namespace dormio
