#include "Dormio/UI/Kit/ScrollBars.h"

#include "Dormio/UI/Kit/Shapes.h"
#include "Dormio/UI/Kit/Theme.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <algorithm>

namespace dormio::ScrollBars {

namespace {

// Lays the bar out as a groove and a thumb alone, and draws only the thumb. Qt finds what a click hits
// through these same rectangles, so a drag follows the thumb as drawn.
class ThinStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_ScrollBarExtent) return extent;
        if (metric == PM_ScrollBarSliderMin) return leastThumb;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (control != CC_ScrollBar || !bar)
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect groove = option->rect;
        const bool horizontal = bar->orientation == Qt::Horizontal;
        const int length = horizontal ? groove.width() : groove.height();
        const qint64 range = qint64(bar->maximum) - bar->minimum;
        const int thumb = range > 0
                              ? std::clamp(int(qint64(length) * bar->pageStep / (range + bar->pageStep)),
                                           std::min(leastThumb, length), length)
                              : length;
        const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                                  length - thumb, bar->upsideDown);
        const auto span = [&](int from, int to) {
            return horizontal ? QRect(groove.x() + from, groove.y(), to - from, groove.height())
                              : QRect(groove.x(), groove.y() + from, groove.width(), to - from);
        };
        switch (part) {
        case SC_ScrollBarGroove:
            return groove;
        case SC_ScrollBarSlider:
            return span(start, start + thumb);
        case SC_ScrollBarSubPage:
            return span(0, start);
        case SC_ScrollBarAddPage:
            return span(start + thumb, length);
        default:
            return {};
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        if (control != CC_ScrollBar) return QProxyStyle::drawComplexControl(control, option, painter, widget);
        const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (!bar || bar->maximum <= bar->minimum) return;
        const QRectF thumb = subControlRect(control, option, SC_ScrollBarSlider, widget);
        const qreal inset = (extent - thumbBreadth) / 2.0;
        const QRectF shape = thumb.adjusted(inset, inset, -inset, -inset);
        const bool active = (option->activeSubControls & SC_ScrollBarSlider) &&
                            (option->state & (State_MouseOver | State_Sunken));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        Shapes::fill(*painter, shape, thumbBreadth / 2.0, active ? Theme::ink2 : Theme::ink3);
        painter->restore();
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        // A click beside the thumb moves it there, as on the desktop's own thin bars.
        if (hint == SH_ScrollBar_LeftClickAbsolutePosition) return true;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

QStyle* thinStyle() {
    static QStyle* style = [] {
        auto* made = new ThinStyle;
        made->setParent(qApp);
        return made;
    }();
    return style;
}

} // namespace

void makeThin(QAbstractScrollArea* area) {
    for (QScrollBar* bar : {area->verticalScrollBar(), area->horizontalScrollBar()}) {
        bar->setStyle(thinStyle());
        bar->setAttribute(Qt::WA_Hover);
    }
}

void makeColumn(QScrollArea* area) {
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A click on the page hands it the arrow and page keys; Tab walks past it, between the controls, since
    // a page scrolled with the keyboard has no ring to show.
    area->setFocusPolicy(Qt::ClickFocus);
    makeThin(area);
}

} // namespace dormio::ScrollBars
