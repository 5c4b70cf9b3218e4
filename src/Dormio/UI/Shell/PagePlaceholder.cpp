#include "Dormio/UI/Shell/PagePlaceholder.h"

#include "Dormio/UI/Kit/Theme.h"
#include "Dormio/UI/Shell/PageLabels.h"

#include <QPainter>

namespace dormio {

PagePlaceholder::PagePlaceholder(Page page, QWidget* parent) : QWidget(parent), page_(page) {
    setWindowTitle(PageLabels::title(page));
    setMinimumHeight(120);
}

void PagePlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(Theme::paper));
    const Font& font = Theme::Typo::title();
    const QString title = windowTitle();
    painter.setPen(QColor(Theme::ink3));
    font.draw(painter, {(width() - font.width(title)) / 2, (height() - font.height()) / 2 + font.ascent()},
              title);
}

} // namespace dormio
