#include "Dormio/UI/Kit/HolderGlyph.h"

#include "Dormio/Core/System/AppLookup.h"
#include "Dormio/UI/Kit/AppIcons.h"
#include "Dormio/UI/Kit/Symbols.h"
#include "Dormio/UI/Kit/Theme.h"
#include "DormioKit/ProcessNames.h"

#include <QFileInfo>
#include <QPainter>
#include <cmath>

namespace dormio {

HolderGlyph::HolderGlyph(const std::optional<std::string>& path, const std::string& process, qreal size,
                         QWidget* parent)
    : QWidget(parent), path_(path), process_(process), size_(size) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool HolderGlyph::showsIcon() const {
    if (!AppLookup::isApplication(path_)) return false;
    return QFileInfo::exists(QString::fromStdString(*path_));
}

QSize HolderGlyph::sizeHint() const {
    const int side = int(std::ceil(size_));
    return {side, side};
}

void HolderGlyph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF frame((width() - size_) / 2, (height() - size_) / 2, size_, size_);
    if (showsIcon()) {
        const qreal ratio = painter.device()->devicePixelRatioF();
        const QPixmap icon = AppLookup::grayIcon(path_).pixmap(frame.size().toSize(), ratio);
        painter.setOpacity(0.85);
        painter.drawPixmap(frame, icon, QRectF(QPointF(0, 0), icon.size()));
        return;
    }
    const qreal glyph = size_ * 0.72;
    const QRectF symbol(frame.center() - QPointF(glyph, glyph) / 2, QSizeF(glyph, glyph));
    Symbols::paint(painter, symbol, ProcessNames::symbol(process_), Theme::ink2);
}

} // namespace dormio
