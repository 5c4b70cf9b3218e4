#include "OstrelKit/Windows/KitStyle.h"

#include <QApplication>
#include <QWidget>

namespace dormio::KitStyle {

QFont font(int pixels, bool bold) {
    QFont face = QApplication::font();
    face.setPixelSize(pixels);
    face.setBold(bold);
    return face;
}

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor secondary(const QPalette& palette) {
    QColor ink = palette.color(QPalette::WindowText);
    ink.setAlphaF(0.6f);
    return ink;
}

QColor orange(const QPalette& palette) {
    return isDark(palette) ? QColor(0xFF, 0x9F, 0x0A) : QColor(0xC9, 0x6A, 0x00);
}

void setInk(QWidget* widget, const QColor& ink) {
    QPalette inked = widget->palette();
    inked.setColor(QPalette::WindowText, ink);
    widget->setPalette(inked);
}

} // namespace dormio::KitStyle
