#include "Dormio/UI/Charts/MiniHypnogramView.h"

#include "Dormio/UI/Charts/MiniHypnogram.h"
#include "DormioKit/NightSummary.h"

#include <QPainter>

namespace dormio {

MiniHypnogramView::MiniHypnogramView(bool ticks, QWidget* parent) : QWidget(parent), ticks_(ticks) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAccessibleName(QStringLiteral("Night trace"));
}

void MiniHypnogramView::setNight(const Night& night) {
    if (night == night_) return;
    night_ = night;
    setAccessibleDescription(QString::fromStdString(NightSummary::line(night_)));
    update();
}

void MiniHypnogramView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    MiniHypnogram::paint(painter, size(), night_, ticks_, CanvasPalette::current());
}

} // namespace dormio
