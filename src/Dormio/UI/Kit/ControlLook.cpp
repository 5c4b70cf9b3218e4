#include "Dormio/UI/Kit/ControlLook.h"

#include "Dormio/UI/Kit/Buttons.h"
#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Toggle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionButton>
#include <cmath>

namespace dormio::ControlLook {

namespace {

const ButtonStyle& quiet() {
    static const ButtonStyle style = QuietButtonStyle{Theme::ink, false};
    return style;
}

class LookStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) return int(Toggle::boxSide);
        if (metric == PM_CheckBoxLabelSpacing) return int(Toggle::titleGap);
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override {
        if (type != CT_PushButton) return QProxyStyle::sizeFromContents(type, option, contents, widget);
        return {int(std::ceil(quiet().font.width(static_cast<const QStyleOptionButton*>(option)->text) +
                              2 * quiet().padding)),
                int(quiet().height)};
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        switch (element) {
        case PE_IndicatorCheckBox:
            Toggle::paintBox(*painter, QRectF(option->rect), option->state & State_On, keyboardFocus(option));
            return;
        case PE_FrameFocusRect: // the box or the button shows focus itself
            return;
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
        }
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_PushButtonBevel) {
            const bool hover = option->state & State_MouseOver;
            const Button::Look look = Button::look(quiet(), hover ? 1 : 0, option->state & State_Sunken,
                                                   option->state & State_Enabled);
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setOpacity(look.opacity);
            Shapes::fill(*painter, QRectF(option->rect), Theme::Radius::control, look.fill);
            Shapes::strokeInside(*painter, QRectF(option->rect), Theme::Radius::control, look.outline);
            if (keyboardFocus(option))
                Shapes::strokeInside(*painter, QRectF(option->rect), Theme::Radius::control,
                                     Theme::indigo.opacity(0.6), 1.5);
            painter->restore();
            return;
        }
        if (element == CE_PushButtonLabel) {
            const auto* button = static_cast<const QStyleOptionButton*>(option);
            const Font& font = quiet().font;
            painter->save();
            painter->setPen(QColor(quiet().label));
            font.draw(*painter,
                      {option->rect.x() + (option->rect.width() - font.width(button->text)) / 2,
                       option->rect.y() + (option->rect.height() - font.height()) / 2 + font.ascent()},
                      button->text);
            painter->restore();
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    static bool keyboardFocus(const QStyleOption* option) {
        return (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange);
    }
};

QStyle* lookStyle() {
    static QStyle* style = [] {
        auto* made = new LookStyle;
        made->setParent(qApp);
        return made;
    }();
    return style;
}

} // namespace

void adopt(QAbstractButton* control) {
    control->setStyle(lookStyle());
    control->setAttribute(Qt::WA_Hover);
    control->setFont(Theme::Typo::body());
}

} // namespace dormio::ControlLook
