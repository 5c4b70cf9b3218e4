#pragma once

// The app's three kinds of button, as data a button draws from: a filled brand button, a quiet
// outlined one, and a square borderless one holding a symbol. Hover eases in and out; a press shows at
// once.

#include "Dormio/UI/Kit/Font.h"
#include "Dormio/UI/Kit/Motion.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QAbstractButton>
#include <string>
#include <string_view>

namespace dormio {

// What a button looks like at rest, under the pointer and pressed. A clear colour has no opacity.
struct ButtonStyle {
    Font font;
    DynamicColor label;
    DynamicColor labelHover;
    DynamicColor fill;
    DynamicColor fillHover;
    DynamicColor fillPressed;
    DynamicColor outline;
    DynamicColor outlineHover;
    qreal padding = 0; // left and right of the label
    qreal height = 0;
    qreal side = 0; // a square of this side whatever the label, when not 0
    qreal disabledOpacity = 1;
};

inline constexpr DynamicColor clear = Color::dynamic(0, 0, 0, 0);

// Filled with the brand indigo, white label, a rose border that fades in under the pointer.
struct PrimaryButtonStyle {
    bool large = false;
    operator ButtonStyle() const;
};

// Outlined in the tint's label colour over a wash under the pointer; for secondary actions.
struct QuietButtonStyle {
    DynamicColor tint;
    bool large = false;
    operator ButtonStyle() const;
};

// A square without border holding a symbol at half its side; the whole square takes the pointer.
struct IconButtonStyle {
    qreal size = 0;
    operator ButtonStyle() const;
};

class Button : public QAbstractButton {
public:
    Button(const ButtonStyle& style, const QString& text, QWidget* parent = nullptr);
    // A button that shows the named symbol instead of a text.
    static Button* withSymbol(const ButtonStyle& style, std::string_view symbol, QWidget* parent = nullptr);

    const ButtonStyle& style() const { return style_; }
    const std::string& symbol() const { return symbol_; }
    bool hovering() const { return hover_.target() == 1; }
    qreal hoverProgress() const { return hover_.value(); } // 0 to 1 as the hover look eases in

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The colours of a state, `hover` from 0 to 1 as the pointer's highlight eases in.
    struct Look {
        QColor label;
        QColor fill;
        QColor outline;
        qreal opacity = 1;
    };
    static Look look(const ButtonStyle& style, qreal hover, bool pressed, bool enabled);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ButtonStyle style_;
    std::string symbol_;
    Motion::Value hover_;
};

} // namespace dormio
